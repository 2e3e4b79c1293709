#include "app/SystemDeviceNotifications.h"

#include <dbt.h>

#include "device/win32/Win32HidBus.h"

namespace tev {

void RegisterForSystemDeviceChanges(HWND window) {
  DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
  filter.dbcc_size = sizeof(filter);
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = win32::HidInterfaceClass();
  // The registration ends with the window; there is nothing to undo by hand.
  ::RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

}  // namespace tev
