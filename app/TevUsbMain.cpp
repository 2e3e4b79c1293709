// TevUsb.exe: the program on the system's HID devices.
#include <windows.h>

#include "app/Application.h"
#include "app/SystemDeviceNotifications.h"
#include "device/win32/Win32HidBus.h"
#include "ui/framework/DeviceNotifications.h"
#include "win32/DllSearch.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  tev::win32::LoadDllsFromSystemFolderOnly();
  // Static: the altimeter object made on it lives until the process ends.
  static tev::win32::Win32HidBus bus;
  tev::SetDeviceNotifier(&tev::RegisterForSystemDeviceChanges);
  return tev::RunApplication(instance, bus);
}
