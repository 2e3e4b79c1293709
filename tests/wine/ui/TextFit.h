#pragma once
// Whether each label of a dialog shows its whole text: the text's extent in the control's own
// font against the room the control gives it, word-wrapped where the control wraps.
#include <windows.h>

#include <string>
#include <vector>

namespace tev::testing {

struct TextFit {
  std::string dialog;  // filled in by the caller
  int id = 0;
  int occurrence = 0;  // among the dialog's controls with the same id and text, in window order
  std::wstring text;
  bool wraps = false;
  SIZE needed{}, room{};
  bool Fits() const { return needed.cx <= room.cx && needed.cy <= room.cy; }
};

// Every static, push button, check box and radio button with text among the dialog's children.
std::vector<TextFit> MeasureTexts(HWND dialog);

// The same control at every DPI: dialog, id, occurrence and text.
std::string FitKey(const TextFit& fit);
std::string Describe(const TextFit& fit);

}  // namespace tev::testing
