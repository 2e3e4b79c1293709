#pragma once
// The boxes a dialog opens, as an in-process test meets them: the program's message boxes, found
// by their caption, read and answered; the system's file dialogs, found by their title. The shell
// driver's finders (tests/wine/shell/CommonDialogs.h), pointed at this process.
#include <windows.h>

#include <functional>
#include <string>

#include "tests/wine/shell/CommonDialogs.h"
#include "tests/wine/shell/WindowDriver.h"

namespace tev::testing {

inline constexpr wchar_t kProgramCaption[] = L"TEV USB 1.40";

// Waits for a message box of the program, posts `answer` to it and returns its text once it has
// gone; empty when none came within the time, or none came before `over` held (checked between
// looks: the call that would show the box has returned, so none will).
inline std::wstring AnswerProgramMessage(WPARAM answer, DWORD timeoutMs = 10000,
                                         const std::function<bool()>& over = [] { return false; }) {
  driver::MessageBoxSeen box;
  WaitUntil(timeoutMs, [&] {
    const bool ended = over();  // read before looking, so that a box shown before the end is seen
    box = driver::WaitForMessageBox(::GetCurrentProcessId(), kProgramCaption, 0);
    return box.window != nullptr || ended;
  });
  if (!box.window) return {};
  driver::PressButton(box.window, static_cast<int>(answer));
  driver::WaitUntilGone(box.window, timeoutMs);
  return box.text;
}

// A visible "#32770" window of this process with that title, once it shows; null when none came.
inline HWND WaitForBox(const wchar_t* title, DWORD timeoutMs = 10000) {
  return driver::WaitForProcessWindow(::GetCurrentProcessId(), L"#32770", title, timeoutMs);
}

inline bool ProgramMessageShown() {
  return driver::FindProcessWindow(::GetCurrentProcessId(), L"#32770", kProgramCaption) != nullptr;
}

// The file dialog titled `title` given `path` (or cancelled, when empty): true once it has gone.
inline bool AnswerFileDialog(const wchar_t* title, const std::wstring& path, DWORD timeoutMs = 10000) {
  if (path.empty()) return driver::CancelFileDialog(::GetCurrentProcessId(), title, timeoutMs);
  const HWND dialog = driver::ChooseFile(::GetCurrentProcessId(), title, path, timeoutMs);
  return dialog != nullptr && driver::WaitUntilGone(dialog, timeoutMs);
}

}  // namespace tev::testing
