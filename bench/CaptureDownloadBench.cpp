// The whole download of a full altimeter memory in the real program under Wine: TevUsbDemo.exe
// against altimeter-sim at 1 ms per report, its DebugLog written as the program writes it (to a
// file), driven from outside through Tools > Capture Data. With TEV_HID_BRIDGE_EXE and TEV_HID_INF
// the program is the release TevUsb.exe and the altimeter comes through the system's HID stack
// (hid-bridge.exe). Times Read Data with Live Update off and on, alternately, and sets each
// against the physical limit: 128 packets of 35 frames of 1 ms (two command reports, then 32
// words and the completion). Figures from one run; never a test.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/WineBench.h"
#include "resources/ResourceIds.h"
#include "tests/wine/shell/DemoProcess.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/SimulatedAltimeter.h"
#include "tests/wine/shell/WindowDriver.h"

namespace {

using namespace tev::driver;

constexpr double kLimitMs = 128 * 35 * 1.0;
constexpr int kRounds = 3;  // of each kind, alternating

using tev::bench::Env;
using tev::bench::NowMs;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// From the click on Read Data to "Data read successfully." in the status box (the settings read
// before the download, some 20 reports, is in it), polled every 5 ms; negative on failure.
double TimeOneDownload(const Dialog& capture, bool live, int round) {
  if (capture.Checked(IDC_CAPTURE_LIVE_UPDATE) != (live ? BST_CHECKED : BST_UNCHECKED)) {
    capture.Click(IDC_CAPTURE_LIVE_UPDATE);
    WaitUntil(5000, [&] { return capture.Checked(IDC_CAPTURE_LIVE_UPDATE) == (live ? BST_CHECKED : BST_UNCHECKED); });
  }
  if (!capture.Click(IDC_CAPTURE_READ)) return -1;
  const double start = NowMs();
  const std::wstring done = L"Data read successfully.\r\n";
  double end = -1;
  while (NowMs() - start < 60000) {
    std::wstring text;
    ReadWindowText(capture.Item(kStatusBox), text);
    std::size_t seen = 0;
    for (std::size_t at = text.find(done); at != std::wstring::npos; at = text.find(done, at + 1)) ++seen;
    if (static_cast<int>(seen) >= round) {
      end = NowMs();
      break;
    }
    ::Sleep(5);
  }
  if (end < 0) return -1;
  WaitUntil(10000, [&] { return capture.Enabled(IDC_CAPTURE_READ); });
  ::Sleep(300);
  return end - start;
}

}  // namespace

int wmain() {
  const std::wstring demoExe = Env(L"TEV_DEMO_EXE"), simExe = Env(L"TEV_SIM_EXE"), work = Env(L"TEV_WORK_DIR");
  const int port = _wtoi(Env(L"TEV_BASE_PORT").c_str());
  if (demoExe.empty() || simExe.empty() || work.empty() || port == 0) {
    std::puts("TEV_DEMO_EXE, TEV_SIM_EXE, TEV_WORK_DIR and TEV_BASE_PORT are needed (bench/capture-download.sh)");
    return 1;
  }
  const std::wstring bridgeExe = Env(L"TEV_HID_BRIDGE_EXE"), inf = Env(L"TEV_HID_INF");
  DemoProcess bridge;
  if (!bridgeExe.empty()) {
    const int bridgePort = port + 1;
    if (!bridge.Start(bridgeExe, bridgePort, work + L"\\capture-bench-bridge.log", L"--no-input --inf \"" + inf + L"\"") ||
        !bridge.WaitForLine("hid-bridge: listening on 127.0.0.1:" + std::to_string(bridgePort), 30000)) {
      std::puts("the HID bridge did not start");
      return 1;
    }
  }
  DemoProcess demo;
  const DemoProcess& link = bridgeExe.empty() ? demo : bridge;
  if (!demo.Start(demoExe, port, work + L"\\capture-bench-demo.log")) {
    std::puts("the demo did not start");
    return 1;
  }
  HWND main = demo.WaitForMainWindow(30000);
  SimOptions options;
  options.flights = L"full";
  const std::wstring interval = Env(L"TEV_BENCH_INTERVAL");
  options.more = L"--interval " + (interval.empty() ? std::wstring(L"1") : interval);
  SimulatedAltimeter sim(link, options);
  if (!main || !sim.Start(simExe, work + L"\\capture-bench-sim.log") || !sim.WaitUntilAttached(10000)) {
    std::puts("no demo window or no altimeter");
    return 1;
  }
  const Dialog capture = Dialog::OpenFromMenu(main, IDM_TOOLS_CAPTURE, L"Capture Data", 10000);
  if (!capture || !capture.WaitForStatusLine(L"Device Connected.", 10000)) {
    std::puts("the Capture Data dialog did not connect");
    return 1;
  }

  std::vector<double> off, on;
  for (int round = 1; round <= 2 * kRounds; ++round) {
    const bool live = round % 2 == 0;
    const double ms = TimeOneDownload(capture, live, round);
    if (ms < 0) {
      std::printf("download %d (Live Update %s) did not end\n", round, live ? "on" : "off");
      return 1;
    }
    (live ? on : off).push_back(ms);
    std::printf("download %d, Live Update %-3s  %8.0f ms\n", round, live ? "on" : "off", ms);
  }
  capture.Close(10000);
  sim.Quit(5000);
  sim.WaitUntilDetached(10000);  // through the HID stack: unplugged before the bridge ends

  const double offMs = Median(off), onMs = Median(on);
  std::printf("%s\n", bridgeExe.empty() ? "TevUsbDemo.exe over the sim link" : "TevUsb.exe through the HID stack");
  std::printf("physical limit (128 packets x 35 frames of 1 ms): %5.0f ms\n", kLimitMs);
  std::printf("Live Update off, median of %d:                 %8.0f ms  (x %.3f the limit)\n", kRounds, offMs,
              offMs / kLimitMs);
  std::printf("Live Update on, median of %d:                  %8.0f ms  (x %.3f the limit)\n", kRounds, onMs,
              onMs / kLimitMs);
  std::printf("Live Update on / off:                          %8.3f\n", onMs / offMs);
  return 0;
}
