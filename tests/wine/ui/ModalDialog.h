#pragma once
// Runs a dialog modally on the test's thread, as the program does, while a script works it from
// another thread, as a user would; and pictures of what the screen shows.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "tests/support/WaitUntil.h"
#include "ui/framework/DialogWindow.h"

namespace tev::testing {

// Shows `dialog` modally and runs `script` with its window once it is up. When the script
// returns, the dialog is asked to close until it has (bounded); false when it never showed or
// would not close.
bool RunModal(CBaseWindow& dialog, const wchar_t* title, const std::function<void(HWND)>& script);

// The control's rectangle in its dialog's client coordinates.
RECT ControlRect(HWND dialog, int id);
std::wstring ControlText(HWND dialog, int id);

// What the screen shows of the window now, 0x00RRGGBB, top row first.
struct Pixels {
  int width = 0, height = 0;
  std::vector<std::uint32_t> data;
  std::uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};
// Waits until the window has painted what it has to (its queue handled, two looks alike).
Pixels CaptureWindow(HWND window);

}  // namespace tev::testing
