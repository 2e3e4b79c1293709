#pragma once
// The product's device-change notices: the system's, for every HID interface.
#include <windows.h>

namespace tev {

void RegisterForSystemDeviceChanges(HWND window);

}  // namespace tev
