#pragma once
// The program's message boxes as a test meets them: found by their caption, read, answered.
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

inline bool ProgramMessageShown() { return ::FindWindowW(L"#32770", L"TEV USB 1.40") != nullptr; }

}  // namespace tev::testing
