#pragma once
// How a window finds the object it works for: the object's address in the window's user data,
// bound once (the main window on WM_NCCREATE, a dialog on WM_INITDIALOG) and read by its procedure
// for every message. A control that works for its dialog's object asks its dialog.
#include <windows.h>

namespace tev::win32 {

template <typename Object>
void BindWindowObject(HWND window, Object* object) {
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

// Null until the window has been bound (the messages a window gets before that).
template <typename Object>
Object* WindowObject(HWND window) {
  return reinterpret_cast<Object*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace tev::win32
