#pragma once
// The icon beside a dialog's status box: a grey rocket while no altimeter is open, a coloured one
// while it is. Posted, so that a worker thread may change it.
#include <windows.h>

namespace tev {

void PostConnectionIcon(HWND dialog, int iconControlId, bool connected);

}  // namespace tev
