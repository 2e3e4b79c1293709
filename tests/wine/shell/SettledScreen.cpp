#include "tests/wine/shell/SettledScreen.h"

#include <vector>

#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {

namespace {

constexpr DWORD kBetweenCapturesMs = 150;

bool HasUpdateRegion(HWND window) { return ::GetUpdateRect(window, nullptr, FALSE) != FALSE; }

// Waits for each window's thread to take what was sent before, so that paints it owes are due.
void DrainAll(const std::vector<HWND>& windows) {
  for (HWND window : windows) Drain(window);
}

}  // namespace

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
  struct Search {
    DWORD processId;
    std::vector<HWND> found;
  } search = {processId, {}};
  ::EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process == s->processId && ::IsWindowVisible(window)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool NothingLeftToPaint(DWORD processId) {
  for (HWND window : VisibleWindowsOf(processId)) {
    if (HasUpdateRegion(window)) return false;
    bool childPending = false;
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
          if (!::IsWindowVisible(child) || !HasUpdateRegion(child)) return TRUE;
          *reinterpret_cast<bool*>(param) = true;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&childPending));
    if (childPending) return false;
  }
  return true;
}

Picture CaptureSettledScreen(DWORD processId, DWORD timeoutMs, bool* settled) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  Picture previous;
  for (;;) {
    DrainAll(VisibleWindowsOf(processId));
    const bool quiet = NothingLeftToPaint(processId);
    Picture now = CaptureScreen();
    const bool same = !previous.Empty() && now.Pixels() == previous.Pixels();
    if ((quiet && same) || ::GetTickCount64() >= end) {
      if (settled) *settled = quiet && same;
      return now;
    }
    previous = std::move(now);
    ::Sleep(kBetweenCapturesMs);
  }
}

Picture CaptureSettledWindow(HWND window, DWORD timeoutMs, bool* settled) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  const Picture screen = CaptureSettledScreen(processId, timeoutMs, settled);
  RECT outer = {};
  if (!::GetWindowRect(window, &outer)) return {};
  return screen.Crop(outer);
}

}  // namespace tev::driver
