// Memory over many dialogs in the real program under Wine: TevUsbDemo.exe with altimeter-sim
// plugged in; each cycle opens and closes the five dialogs, then unplugs and plugs the altimeter.
// After each cycle, the program's private bytes and its GDI and USER objects. What still grows
// after the warm-up is what each cycle leaves behind. Figures from one run; never a test.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <cwchar>
#include <string>

#include "bench/WineBench.h"
#include "resources/ResourceIds.h"
#include "tests/wine/shell/DemoProcess.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/SimulatedAltimeter.h"
#include "win32/Guards.h"

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

// A whole file, however its size reads (files under /proc read as empty until read).
std::string ReadAll(const std::wstring& path) {
  const tev::win32::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                        nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return {};
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  return text;
}

std::wstring Lower(std::wstring s) {
  std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return s;
}

struct FindTraits {  // FindFirstFileW's search
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
  static void Release(HANDLE h) { ::FindClose(h); }
};

// Under Wine the program is also a Linux process, and Wine reports no private bytes of another
// process: its anonymous resident memory (RssAnon in /proc, seen as Z:\proc) stands for them.
// The Linux process whose command line holds the program's path; empty when there is none.
std::wstring LinuxStatusOf(const std::wstring& exe) {
  const std::wstring wanted = Lower(exe);
  WIN32_FIND_DATAW found{};
  const tev::Unique<HANDLE, FindTraits> search(::FindFirstFileW(L"Z:\\proc\\*", &found));
  if (!search) return {};
  std::wstring status;
  do {
    if (!std::iswdigit(found.cFileName[0])) continue;
    const std::wstring dir = std::wstring(L"Z:\\proc\\") + found.cFileName;
    const std::string cmdline = ReadAll(dir + L"\\cmdline");
    const std::wstring wide(cmdline.begin(), cmdline.end());  // the paths here are ASCII
    if (Lower(wide).find(wanted) != std::wstring::npos) {
      status = dir + L"\\status";
      break;
    }
  } while (::FindNextFileW(search.Get(), &found));
  return status;
}

double LinuxPrivateKb(const std::wstring& statusPath) {
  const std::string status = ReadAll(statusPath);
  const std::size_t at = status.find("RssAnon:");
  return at == std::string::npos ? 0 : std::strtod(status.c_str() + at + 8, nullptr);
}

Usage Measure(HANDLE process, const std::wstring& linuxStatus) {
  Usage u;
  PROCESS_MEMORY_COUNTERS_EX counters{};
  if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
    u.privateKb = static_cast<double>(counters.PrivateUsage) / 1024.0;
  }
  if (u.privateKb == 0 && !linuxStatus.empty()) u.privateKb = LinuxPrivateKb(linuxStatus);
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
  // To tell one dialog's share from the others': TEV_BENCH_ONLY=TITLE opens that one alone
  // ("none": only the unplugging and plugging).
  const std::wstring only = tev::bench::Env(L"TEV_BENCH_ONLY");
  if (demoExe.empty() || simExe.empty() || work.empty() || port == 0) {
    std::puts("TEV_DEMO_EXE, TEV_SIM_EXE, TEV_WORK_DIR and TEV_BASE_PORT are needed "
              "(bench/demo-bench.sh dialog_endurance_bench)");
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
  const tev::win32::UniqueKernelHandle process(
      ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, demo.Id()));
  if (!process) {
    std::puts("the demo's process cannot be queried");
    return 1;
  }

  const std::wstring linuxStatus = LinuxStatusOf(demoExe);
  std::printf("private bytes from %s; GDI and USER objects as GetGuiResources counts them (Wine: none)\n",
              linuxStatus.empty() ? "GetProcessMemoryInfo" : "the Linux process's RssAnon");
  const Usage start = Measure(process.Get(), linuxStatus);
  std::printf("before:    private %9.0f KB  GDI %4lu  USER %4lu\n", start.privateKb, start.gdi, start.user);
  Usage warm = start, last = start;
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    for (const Menu& menu : kDialogs) {
      if (!only.empty() && only != menu.title) continue;
      if (!OpenAndClose(main, menu)) {
        std::printf("cycle %d: %ls did not open and close\n", cycle, menu.title);
        return 1;
      }
    }
    sim.Unplug();
    if (!sim.WaitUntilDetached(kTimeoutMs)) return std::puts("the altimeter did not detach"), 1;
    sim.Plug();
    if (!sim.WaitUntilAttached(kTimeoutMs)) return std::puts("the altimeter did not attach again"), 1;
    last = Measure(process.Get(), linuxStatus);
    if (cycle == kWarmUp) warm = last;
    std::printf("cycle %3d: private %9.0f KB  GDI %4lu  USER %4lu\n", cycle, last.privateKb, last.gdi, last.user);
  }
  sim.Quit(5000);

  const int after = cycles - kWarmUp;
  const int perCycle = only.empty() ? static_cast<int>(std::size(kDialogs)) : 1;
  const int opened = std::max(1, after * (only == L"none" ? 0 : perCycle));
  std::printf("after the %d-cycle warm-up, over %d cycles (%d dialogs opened):\n", kWarmUp, after, opened);
  std::printf("  private bytes  %+9.0f KB   (%+.2f KB per dialog opened)\n", last.privateKb - warm.privateKb,
              (last.privateKb - warm.privateKb) / opened);
  std::printf("  GDI objects    %+9ld      USER objects %+ld\n", static_cast<long>(last.gdi) - static_cast<long>(warm.gdi),
              static_cast<long>(last.user) - static_cast<long>(warm.user));
  return 0;
}
