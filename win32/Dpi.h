#pragma once
// The DPI a window is drawn at, and sizes scaled to it. A size written for 100 % (96 DPI) is
// multiplied by dpi / 96, rounded to the nearest pixel, so at 96 DPI nothing changes.
// GetDpiForWindow exists from Windows 10 1607 on; before it, the screen's DPI is the only one.
#include <windows.h>

#include "model/Dpi.h"
#include "win32/Guards.h"

namespace tev::win32 {

inline constexpr UINT kBaseDpi = static_cast<UINT>(tev::kBaseDpi);

inline UINT ScreenDpi() {
  const WindowDc screen(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen.Dc(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

inline UINT WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const UINT dpi = (getDpiForWindow && window) ? getDpiForWindow(window) : 0;
  return dpi ? dpi : ScreenDpi();
}

// A 96-DPI length at `dpi`.
inline int ScaleToDpi(int length, UINT dpi) { return tev::ScaledLength(length, static_cast<int>(dpi)); }

}  // namespace tev::win32
