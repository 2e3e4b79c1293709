#pragma once
// The boxes a dialog opens as a test meets them: the program's message boxes, found by their
// caption, read and answered; the system's boxes (file dialogs), found by their title.
#include <windows.h>

#include <string>

#include "tests/wine/ui/ModalDialog.h"

namespace tev::testing {

// Waits for a message box of the program, posts `answer` to it and returns its text; empty when
// none came.
inline std::wstring AnswerProgramMessage(WPARAM answer, DWORD timeoutMs = 10000) {
  HWND box = nullptr;
  if (!WaitUntil(timeoutMs, [&] { return (box = ::FindWindowW(L"#32770", L"TEV USB 1.40")) != nullptr; })) return {};
  std::wstring text;
  WaitUntil(timeoutMs, [&] { return !(text = ControlText(box, 0xFFFF)).empty(); });
  ::PostMessageW(box, WM_COMMAND, answer, 0);
  WaitUntil(timeoutMs, [&] { return !::IsWindow(box); });
  return text;
}

// A visible "#32770" window of this process with that title, once it shows; null when none came.
inline HWND WaitForBox(const wchar_t* title, DWORD timeoutMs = 10000) {
  HWND box = nullptr;
  WaitUntil(timeoutMs, [&] { return (box = ::FindWindowW(L"#32770", title)) != nullptr && ::IsWindowVisible(box); });
  return box;
}

inline bool ProgramMessageShown() { return ::FindWindowW(L"#32770", L"TEV USB 1.40") != nullptr; }

}  // namespace tev::testing
