#pragma once
// The icon beside a dialog's status box: a grey rocket while no altimeter is open, a coloured one
// while it is, 48 × 48 at 96 DPI and as large as the dialog's DPI asks for. Posted, so that a
// worker thread may change it.
#include <windows.h>

namespace tev {

void PostConnectionIcon(HWND dialog, int iconControlId, bool connected, UINT dpi);

}  // namespace tev
