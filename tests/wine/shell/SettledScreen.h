#pragma once
// Pictures taken once the program has finished painting: a box caught between its frame and its
// text is a picture of nothing. Settled means: every visible window of the process has taken the
// messages sent to it, neither it nor any of its controls has anything left to paint, and two
// captures of the screen a short while apart are the same. Each wait is bounded; a picture that
// never settles (a live plot, a hung program) is taken as it is when the time is up.
//
// In a test, DemoTest's Shot(step) and ShotOf(window, step) take and save them.
//
//   const Picture dialog = CaptureSettledWindow(capture.Window());
//   EXPECT_GT(dialog.Count({0, 0, dialog.Width(), dialog.Height()}, Rgb{196, 223, 255}), 1000);
#include <windows.h>

#include <string>
#include <vector>

#include "tests/wine/shell/Screenshot.h"

namespace tev::driver {

constexpr DWORD kSettleTimeoutMs = 5000;

// The process's visible top-level windows.
std::vector<HWND> VisibleWindowsOf(DWORD processId);

// True when no visible window of the process, nor any of its controls, waits to be painted.
bool NothingLeftToPaint(DWORD processId);

// The screen once the process's windows have settled; *settled is false when the time ran out.
Picture CaptureSettledScreen(DWORD processId, DWORD timeoutMs = kSettleTimeoutMs, bool* settled = nullptr);
// The window with its frame (a dialog, a message box), cut from a settled screen.
Picture CaptureSettledWindow(HWND window, DWORD timeoutMs = kSettleTimeoutMs, bool* settled = nullptr);

}  // namespace tev::driver
