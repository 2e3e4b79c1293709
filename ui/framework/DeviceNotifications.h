#pragma once
// How a dialog asks to hear of altimeters arriving and leaving. The product registers the
// window with the system; the demo build's sim link sends it the same WM_DEVICECHANGE notices.
// Each program installs its way once at start-up.
#include <windows.h>

#include <functional>

namespace tev {

using DeviceNotifier = std::function<void(HWND window)>;

void SetDeviceNotifier(DeviceNotifier notifier);

// From now until the window is destroyed, HID arrivals and removals reach it as WM_DEVICECHANGE.
// A failure is not reported: the window then simply hears of no changes.
void RequestDeviceNotifications(HWND window);

}  // namespace tev
