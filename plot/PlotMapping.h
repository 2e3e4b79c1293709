#pragma once
// Data to pixels: a margin on every side (50 pixels at 96 DPI, in proportion at the scale's DPI),
// time to the right, values upward.
// A position that cannot be computed (a zero range, a value that is not a number, a result far
// outside any surface) is empty, and whatever needs it is not drawn.
#include <optional>

#include "model/PlotScale.h"

namespace tev {

std::optional<int> MapX(const PlotScale& scale, double seconds);
std::optional<int> MapY(const PlotScale& scale, double value);

}  // namespace tev
