#pragma once
// Sizes written for 100 % (96 DPI) at another DPI. Lengths round to the nearest pixel, halves away
// from zero (as the system's MulDiv does), so that at 96 DPI every length is exactly the one given.
#include <cstdint>

namespace tev {

inline constexpr int kBaseDpi = 96;

// A DPI something can be drawn at: anything but a positive one is taken as 96.
constexpr int UsableDpi(int dpi) { return dpi > 0 ? dpi : kBaseDpi; }

constexpr int ScaledLength(int length, int dpi) {
  const std::int64_t scaled = static_cast<std::int64_t>(length) * UsableDpi(dpi);
  return static_cast<int>((scaled >= 0 ? scaled + kBaseDpi / 2 : scaled - kBaseDpi / 2) / kBaseDpi);
}

// Pens and fonts, in exact proportion.
constexpr float ScaledSize(float size, int dpi) {
  return size * static_cast<float>(UsableDpi(dpi)) / static_cast<float>(kBaseDpi);
}

}  // namespace tev
