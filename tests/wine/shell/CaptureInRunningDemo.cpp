#include "tests/wine/shell/CaptureInRunningDemo.h"

#include <windows.h>

#include <cstdio>

#include "resources/ResourceIds.h"
#include "tests/wine/shell/CaptureStrip.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {

namespace {

int Fail(const char* why) {
  std::fprintf(stderr, "%s\n", why);
  return 1;
}

}  // namespace

int CaptureInRunningDemo() {
  HWND main = nullptr;
  WaitUntil(30000, [&] {
    main = ::FindWindowW(L"AltInterface", nullptr);
    return main != nullptr && ::IsWindowVisible(main);
  });
  if (!main) return Fail("No TEV USB window to capture the flights in.");
  const Dialog capture = Dialog::OpenFromMenu(main, IDM_TOOLS_CAPTURE, L"Capture Data", 10000);
  if (!capture) return Fail("The Capture Data dialog did not come.");
  if (!capture.WaitForStatusLine(L"Device Connected.", 15000)) return Fail("The altimeter did not connect.");
  if (!capture.Click(IDC_CAPTURE_LIVE_UPDATE) || !capture.Click(IDC_CAPTURE_READ)) return Fail("Read Data refused.");
  if (!WaitUntil(60000, [&] { return capture.Enabled(IDC_CAPTURE_SAVE_ALL); })) return Fail("The download did not end.");
  std::vector<StripRun> runs;
  WaitUntil(10000, [&] {
    runs = StripRuns(capture);
    return runs.size() >= 2 && runs[1].mark != Mark::Black;
  });
  if (runs.size() < 2 || runs[1].mark == Mark::Black) return Fail("Fewer than two flights were read.");
  ClickRun(capture, runs[1]);
  if (!WaitUntil(10000, [&] { return capture.Enabled(IDC_CAPTURE_SAVE_SELECTED); })) return Fail("No flight picked.");
  if (!capture.Click(IDC_CAPTURE_SELECT_CLOSE) || !capture.WaitUntilGone(15000)) return Fail("The dialog stayed.");
  return 0;
}

}  // namespace tev::driver
