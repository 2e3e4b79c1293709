#pragma once
// Which connection icon a dialog shows, told from the screen by the icons' marks: a red cross
// while no altimeter is open (icon 109), a green tick while one is (icon 110).
#include <windows.h>

#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/Screenshot.h"
#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {

enum class IconShown { Unknown, NotConnected, Connected };

inline IconShown ConnectionIconShown(const Dialog& dialog, int iconId) {
  const Picture client = CaptureClient(dialog.Window());
  const RECT item = dialog.ItemRect(iconId);
  int red = 0, green = 0;
  for (int y = item.top; y < item.bottom && y < client.Height(); ++y) {
    for (int x = item.left; x < item.right && x < client.Width(); ++x) {
      const Rgb c = client.At(x, y);
      if (c.r > 170 && c.g < 90 && c.b < 90) ++red;
      if (c.g > 120 && c.r < 100 && c.b < 130) ++green;
    }
  }
  if (red > 20 && green < 5) return IconShown::NotConnected;
  if (green > 20 && red < 5) return IconShown::Connected;
  return IconShown::Unknown;
}

inline bool WaitForConnectionIcon(const Dialog& dialog, int iconId, IconShown expected, DWORD timeoutMs) {
  return WaitUntil(timeoutMs, [&] { return ConnectionIconShown(dialog, iconId) == expected; });
}

}  // namespace tev::driver
