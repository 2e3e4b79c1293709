#pragma once
// Finding and working another process's windows: by class and title, through posted messages
// and time-limited sends, so that a hung program fails a check instead of hanging the driver.
// The layer under Dialog (DialogDriver.h) and the system's boxes (CommonDialogs.h).
#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/WaitUntil.h"

namespace tev::driver {

// How long a sent message may take before the program counts as not answering.
constexpr UINT kSendTimeoutMs = 2000;

using testing::WaitUntil;

// A top-level window of the process with that class and (unless null) that exact title.
HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title);
HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title, DWORD timeoutMs);
// A visible "#32770" window owned by `owner` (a question a dialog asks), once it shows.
HWND WaitForOwnedDialog(DWORD processId, HWND owner, DWORD timeoutMs);
// Any "#32770" window (message box or file dialog) that the process shows now.
HWND AnyDialogOf(DWORD processId);
bool WaitUntilGone(HWND window, DWORD timeoutMs);

// SendMessageTimeoutW: false when the window is gone or its thread does not answer in time.
bool SendTimed(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr,
               UINT timeoutMs = kSendTimeoutMs);
// True once the window's thread has taken every message sent to it before this one.
bool Drain(HWND window);

// SetWindowPos on another process's window, posted (a plain call waits for that window's thread
// without a bound), then drained: true once the program has placed the window. flags as
// SetWindowPos takes them (SWP_NOMOVE, SWP_NOSIZE); the z-order and activation stay.
bool PlaceWindow(HWND window, int x, int y, int width, int height, UINT flags);

// The window's text through WM_GETTEXT (up to 131,072 characters, a status box's whole text);
// false, and `text` empty, when the window does not answer.
bool ReadWindowText(HWND window, std::wstring& text);
std::wstring WindowText(HWND window);
std::wstring DialogItemText(HWND dialog, int id);

void PostCommand(HWND window, WORD commandId);

}  // namespace tev::driver
