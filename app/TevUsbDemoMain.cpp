// TevUsbDemo.exe: the same program, its altimeters simulated and plugged in over the sim link
// (loopback TCP, never another address).
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/Application.h"
#include "sim/SimPort.h"
#include "app/SimLinkNotifications.h"
#include "model/DebugLog.h"
#include "sim/SimLinkBus.h"
#include "ui/framework/DeviceNotifications.h"
#include "win32/DllSearch.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  tev::win32::LoadDllsFromSystemFolderOnly();
  // Statics, in this order: the bus stops its callbacks before the notices' thread ends, and
  // outlives the altimeter object made on it.
  static tev::SimLinkNotifications notifications;
  static tev::SimLinkBus bus;

  std::string problem;
  const std::uint16_t port = tev::ParseSimPort(std::getenv("TEV_SIM_PORT"), problem);
  if (!problem.empty()) tev::DebugLog(problem);
  bus.SetChangeCallback([](bool arrived, std::wstring path) { notifications.DeviceChanged(arrived, std::move(path)); });
  tev::SetDeviceNotifier([](HWND window) { notifications.AddWindow(window); });
  if (!bus.Listen(port)) {
    // The program still opens and exports files; it just sees no simulated altimeter.
    tev::DebugLog("Sim link: cannot listen on 127.0.0.1:" + std::to_string(port) + ".");
  }
  return tev::RunApplication(instance, bus);
}
