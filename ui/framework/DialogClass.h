#pragma once
// "DialogClass", the window class every dialog template of the program names.

namespace tev {

inline constexpr wchar_t kDialogClassName[] = L"DialogClass";

// Registers the class once for the process; true when it is registered (now or before).
bool RegisterDialogClass();

}  // namespace tev
