#pragma once
// The program's message box: a text from the string table under the program's caption.
#include <windows.h>

namespace tev {

inline constexpr wchar_t kProgramTitle[] = L"TEV USB 1.40";

// Flags as MessageBoxW takes them; returns its result (IDNO = 7 for "No").
int ShowMessage(HWND owner, UINT stringId, UINT flags);

}  // namespace tev
