#pragma once
// The program's message box: a text from the string table under the program's caption.
#include <windows.h>

#include <string>

namespace tev {

inline constexpr wchar_t kProgramTitle[] = L"TEV USB 1.40";

// Flags as MessageBoxW takes them; returns its result (IDNO = 7 for "No").
int ShowMessage(HWND owner, UINT stringId, UINT flags);
// The same box for a text made at run time (one that names a data set, say).
int ShowMessage(HWND owner, const std::wstring& text, UINT flags);

}  // namespace tev
