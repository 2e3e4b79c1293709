#include "plot/PlotMapping.h"

#include <cmath>

namespace tev {
namespace {

// Far beyond any surface, yet leaves room for the small offsets the painters add.
constexpr double kLargestPixel = 1e9;

std::optional<int> ToPixel(double position) {
  if (!std::isfinite(position)) return std::nullopt;
  const double truncated = std::trunc(position);
  if (std::fabs(truncated) > kLargestPixel) return std::nullopt;
  return static_cast<int>(truncated);
}

}  // namespace

std::optional<int> MapX(const PlotScale& scale, double seconds) {
  if (scale.xRange == 0) return std::nullopt;
  return ToPixel((seconds - scale.xMin) * (static_cast<double>(scale.width) - 100.0) / scale.xRange + 50.0);
}

std::optional<int> MapY(const PlotScale& scale, double value) {
  if (scale.yRange == 0) return std::nullopt;
  return ToPixel(static_cast<double>(scale.height) -
                 (value - scale.yMin) * (static_cast<double>(scale.height) - 100.0) / scale.yRange - 50.0);
}

}  // namespace tev
