#pragma once
// Finding and working another process's windows: by class and title, through posted messages
// and time-limited sends, so that a hung program fails a check instead of hanging the driver.
#include <windows.h>

#include <functional>
#include <string>

namespace tev::driver {

// Polls condition every 50 ms until it holds or the time is up; true when it held.
bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& condition);

// A top-level window of the process with that class and (unless null) that exact title.
HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title);
HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title, DWORD timeoutMs);

// The window's text through WM_GETTEXT with a time-out; empty when it does not answer.
std::wstring WindowText(HWND window);
std::wstring DialogItemText(HWND dialog, int id);

// A message box of the process with that caption, and its text (static 0xFFFF).
struct MessageBoxSeen {
  HWND window = nullptr;
  std::wstring text;
};
MessageBoxSeen WaitForMessageBox(DWORD processId, const wchar_t* caption, DWORD timeoutMs);
// Answers a message box or dialog with a button (IDOK, IDYES, IDNO, ...).
void PressButton(HWND dialog, int id);

// Waits for the common file dialog with that title, enters path and presses OK; returns the
// dialog (which may still ask something) or null when it did not come.
HWND ChooseFile(DWORD processId, const wchar_t* dialogTitle, const std::wstring& path, DWORD timeoutMs);
// A "#32770" window owned by `owner` (a question a dialog asks), once it shows.
HWND WaitForOwnedDialog(DWORD processId, HWND owner, DWORD timeoutMs);

// Any "#32770" window (message box or dialog) that the process shows now.
HWND AnyDialogOf(DWORD processId);

void PostCommand(HWND window, WORD commandId);

}  // namespace tev::driver
