#pragma once
// The class tree of the program's dialogs. A dialog object lives on the main window's stack for one
// menu command: constructed, shown modally, destroyed. The one dialog procedure binds each dialog
// window to its object and forwards every message to it; no exception gets past that procedure.
//
// CBaseWindow::DialogProc runs, in order: the resize layout step (once the layout exists), the
// move to another DPI, the dialog's own HandleMessage, then what every dialog shares (status box
// refresh and colour, background, group frames, control colours).
//
// Names: a dialog class's private data members end in an underscore; the members the framework
// shares with the dialogs (`hwnd`, `device`, `closing`, ...) do not.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "ui/framework/DialogLayout.h"
#include "ui/framework/GroupFrame.h"
#include "ui/framework/MessageTable.h"
#include "ui/logic/StatusText.h"
#include "win32/Guards.h"

namespace tev {

class CDialogWindow {
 public:
  virtual ~CDialogWindow() = default;
  virtual INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// The program's one dialog procedure.
INT_PTR CALLBACK StaticDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

class CBaseWindow : public CDialogWindow {
 public:
  explicit CBaseWindow(int templateId);
  ~CBaseWindow() override;
  CBaseWindow(const CBaseWindow&) = delete;
  CBaseWindow& operator=(const CBaseWindow&) = delete;

  // Shows the dialog modally, owned by `owner`, until it ends.
  INT_PTR ShowModal(HWND owner);
  INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) final;

  // Appends to the status box's text and asks the dialog thread to show it; any thread.
  void AppendStatus(const std::wstring& text);
  std::wstring StatusTextNow() const { return statusText.Text(); }
  // The DPI the dialog is drawn at: its window's as it opened, then each one it moved to. Any thread.
  // A move to a screen of another DPI is the framework's alone: the controls keep their places in
  // proportion, take the template's font made for the new DPI, the dialog takes the rectangle the
  // system suggests and what the dialog draws itself is made again.
  UINT Dpi() const { return dpi_; }

  int templateId;
  HWND hwnd = nullptr;  // the dialog window; dialog thread only (workers are handed it)
  GroupFrames groupFrames;
  win32::UniqueBrush backgroundBrush;

 protected:
  // The dialog's own handling; none leaves the message to the shared handling.
  virtual MessageResult HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  // For WM_INITDIALOG: the layout with the dialog's current size as its minimum, then anchors.
  void CreateLayout();
  void Anchor(int controlId, bool topFixed, bool leftFixed, bool bottomFollows, bool rightFollows);
  // Replaces the group box by a drawn frame and anchors the frame.
  void AnchorGroupFrame(int groupBoxId, bool topFixed, bool leftFixed, bool bottomFollows, bool rightFollows);
  HWND Item(int controlId) const { return ::GetDlgItem(hwnd, controlId); }
  void EnableItem(int controlId, bool enabled) const { ::EnableWindow(Item(controlId), enabled ? TRUE : FALSE); }
  bool IsChecked(int controlId) const;
  // After a move to another DPI: what the dialog draws at a size of its own (a picture, an icon)
  // made again for the new DPI. Frames and the like measure themselves as they paint.
  virtual void RemeasureForDpi() {}

  std::unique_ptr<DialogLayout> layout;
  win32::UniqueBrush statusBrush;
  StatusText statusText;

 private:
  INT_PTR RefreshStatusBox();
  void OnInitDpi();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void ScaleChildren(UINT from, UINT to);
  INT_PTR SharedHandling(UINT message, WPARAM wParam, LPARAM lParam);

  std::atomic<UINT> dpi_{96};
  HFONT controlFont_ = nullptr;  // the controls' font now: the template's, or dpiFont_
  win32::UniqueFont dpiFont_;    // the template's font made again for the DPI moved to
};

}  // namespace tev
