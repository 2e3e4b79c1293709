#include "ui/framework/DialogClass.h"

#include <windows.h>

#include "resources/ResourceIds.h"

namespace tev {

bool RegisterDialogClass() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW wc = {};
  wc.style = 0;
  wc.lpfnWndProc = ::DefDlgProcW;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = kDialogClassName;
  // It lives until the process ends, so a second call finds it already there.
  return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace tev
