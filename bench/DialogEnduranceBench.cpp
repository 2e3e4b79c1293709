// Memory over many dialogs in the real program under Wine: TevUsbDemo.exe with altimeter-sim
// plugged in; each cycle opens and closes the five dialogs, then unplugs and plugs the altimeter.
// After each cycle, the program's private bytes and its GDI and USER objects. What still grows
// after the warm-up is what each cycle leaves behind. Figures from one run; never a test.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "bench/WineBench.h"
#include "resources/ResourceIds.h"
#include "tests/wine/shell/DemoProcess.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/SimulatedAltimeter.h"

namespace {

using namespace tev::driver;

constexpr int kWarmUp = 20;
constexpr DWORD kTimeoutMs = 15000;

struct Menu {
  WORD command;
  const wchar_t* title;
};
constexpr Menu kDialogs[] = {
    {IDM_TOOLS_CAPTURE, L"Capture Data"},      {IDM_TOOLS_SETTINGS, L"Program Chip"},
    {IDM_TOOLS_CONTROL, L"Control Options"},   {IDM_TOOLS_FIRMWARE, L"Update Firmware"},
    {IDM_HELP_ABOUT, L"About"},
};

struct Usage {
  double privateKb = 0;
  DWORD gdi = 0, user = 0;
};

Usage Measure(HANDLE process) {
  Usage u;
  PROCESS_MEMORY_COUNTERS_EX counters{};
  if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
    u.privateKb = static_cast<double>(counters.PrivateUsage) / 1024.0;
  }
  u.gdi = ::GetGuiResources(process, GR_GDIOBJECTS);
  u.user = ::GetGuiResources(process, GR_USEROBJECTS);
  return u;
}

bool OpenAndClose(HWND main, const Menu& menu) {
  const Dialog dialog = Dialog::OpenFromMenu(main, menu.command, menu.title, kTimeoutMs);
  if (!dialog) return false;
  ::Sleep(200);  // let it paint and start what it starts on opening
  return static_cast<bool>(dialog.Close(kTimeoutMs));
}

}  // namespace

int wmain() {
  const std::wstring demoExe = tev::bench::Env(L"TEV_DEMO_EXE"), simExe = tev::bench::Env(L"TEV_SIM_EXE"),
                     work = tev::bench::Env(L"TEV_WORK_DIR");
  const int port = _wtoi(tev::bench::Env(L"TEV_BASE_PORT").c_str());
  const int asked = _wtoi(tev::bench::Env(L"TEV_BENCH_CYCLES").c_str());
  const int cycles = asked > kWarmUp ? asked : 200;
  if (demoExe.empty() || simExe.empty() || work.empty() || port == 0) {
    std::puts("TEV_DEMO_EXE, TEV_SIM_EXE, TEV_WORK_DIR and TEV_BASE_PORT are needed (bench/dialog-endurance.sh)");
    return 1;
  }
  DemoProcess demo;
  if (!demo.Start(demoExe, port, work + L"\\endurance-demo.log")) {
    std::puts("the demo did not start");
    return 1;
  }
  const HWND main = demo.WaitForMainWindow(30000);
  SimulatedAltimeter sim(demo, SimOptions{});
  if (!main || !sim.Start(simExe, work + L"\\endurance-sim.log") || !sim.WaitUntilAttached(kTimeoutMs)) {
    std::puts("no demo window or no altimeter");
    return 1;
  }
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, demo.Id());
  if (!process) {
    std::puts("the demo's process cannot be queried");
    return 1;
  }

  const Usage start = Measure(process);
  std::printf("before:    private %9.0f KB  GDI %4lu  USER %4lu\n", start.privateKb, start.gdi, start.user);
  Usage warm = start, last = start;
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    for (const Menu& menu : kDialogs) {
      if (!OpenAndClose(main, menu)) {
        std::printf("cycle %d: %ls did not open and close\n", cycle, menu.title);
        return 1;
      }
    }
    sim.Unplug();
    if (!sim.WaitUntilDetached(kTimeoutMs)) return std::puts("the altimeter did not detach"), 1;
    sim.Plug();
    if (!sim.WaitUntilAttached(kTimeoutMs)) return std::puts("the altimeter did not attach again"), 1;
    last = Measure(process);
    if (cycle == kWarmUp) warm = last;
    std::printf("cycle %3d: private %9.0f KB  GDI %4lu  USER %4lu\n", cycle, last.privateKb, last.gdi, last.user);
  }
  sim.Quit(5000);
  ::CloseHandle(process);

  const int after = cycles - kWarmUp;
  const int opened = after * static_cast<int>(std::size(kDialogs));
  std::printf("after the %d-cycle warm-up, over %d cycles (%d dialogs opened):\n", kWarmUp, after, opened);
  std::printf("  private bytes  %+9.0f KB   (%+.2f KB per dialog opened)\n", last.privateKb - warm.privateKb,
              (last.privateKb - warm.privateKb) / opened);
  std::printf("  GDI objects    %+9ld      USER objects %+ld\n", static_cast<long>(last.gdi) - static_cast<long>(warm.gdi),
              static_cast<long>(last.user) - static_cast<long>(warm.user));
  return 0;
}
