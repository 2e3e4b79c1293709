#pragma once
// Device-change notices in the system's form (WM_DEVICECHANGE with a
// DEV_BROADCAST_DEVICEINTERFACE_W) and the portable record AltimeterDevice reads.
#include <windows.h>
#include <dbt.h>

#include <string>

#include "device/DeviceBroadcast.h"

namespace tev::win32 {

// The record behind a WM_DEVICECHANGE lParam; empty for a null one.
DeviceBroadcast ToDeviceBroadcast(const DEV_BROADCAST_HDR* header);

// Sends `window` the notice the system sends when a HID interface arrives or is removed, so that
// the sim link's devices reach the dialogs by the same road as real ones.
LRESULT SendDeviceChange(HWND window, bool arrived, const std::wstring& path);

}  // namespace tev::win32
