#pragma once
// The Capture Data dialog's set strip as the screen shows it: runs of colour along its middle row,
// and a click in one of them. For the driver's tests and for ./run.
#include <windows.h>

#include <vector>

#include "resources/ResourceIds.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/Screenshot.h"

namespace tev::driver {

enum class Mark { Other, BlueA, BlueB, Red, Black };

inline Mark MarkOf(Rgb c) {
  if (c.r == 0x40 && c.g == 0x20 && c.b == 0xFF) return Mark::BlueA;
  if (c.r == 0x40 && c.g == 0x60 && c.b == 0xDF) return Mark::BlueB;
  if (c.r == 0xFF && c.g == 0 && c.b == 0) return Mark::Red;
  if (c.r == 0 && c.g == 0 && c.b == 0) return Mark::Black;
  return Mark::Other;
}

struct StripRun {
  Mark mark;
  int from, to;  // strip client x, to exclusive
};

// The strip's colour runs along its middle row, as the screen shows them.
inline std::vector<StripRun> StripRuns(const Dialog& capture) {
  HWND strip = capture.Item(IDC_CAPTURE_STRIP);
  RECT onScreen = {};
  const Picture client = CaptureClient(strip, &onScreen);
  std::vector<StripRun> runs;
  const int y = client.Height() / 2;
  for (int x = 1; x + 1 < client.Width(); ++x) {  // inside the strip's frame
    const Mark m = MarkOf(client.At(x, y));
    if (!runs.empty() && runs.back().mark == m) runs.back().to = x + 1;
    else runs.push_back({m, x, x + 1});
  }
  return runs;
}

inline std::vector<Mark> Marks(const std::vector<StripRun>& runs) {
  std::vector<Mark> marks;
  for (const StripRun& r : runs) marks.push_back(r.mark);
  return marks;
}

// A click in the middle of a run, as the mouse gives it.
inline void ClickRun(const Dialog& capture, const StripRun& run) {
  HWND strip = capture.Item(IDC_CAPTURE_STRIP);
  RECT client = {};
  ::GetClientRect(strip, &client);
  const LPARAM at = MAKELPARAM((run.from + run.to) / 2, client.bottom / 2);
  ::PostMessageW(strip, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(strip, WM_LBUTTONUP, 0, at);
}

}  // namespace tev::driver
