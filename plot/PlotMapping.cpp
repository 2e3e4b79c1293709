#include "plot/PlotMapping.h"

#include <cmath>

#include "plot/PlotStyle.h"

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

double Margin(const PlotScale& scale) { return plotstyle::ScaledLength(plotstyle::kMargin, scale.dpi); }

}  // namespace

std::optional<int> MapX(const PlotScale& scale, double seconds) {
  if (scale.xRange == 0) return std::nullopt;
  const double margin = Margin(scale);
  return ToPixel((seconds - scale.xMin) * (static_cast<double>(scale.width) - 2 * margin) / scale.xRange + margin);
}

std::optional<int> MapY(const PlotScale& scale, double value) {
  if (scale.yRange == 0) return std::nullopt;
  const double margin = Margin(scale);
  return ToPixel(static_cast<double>(scale.height) -
                 (value - scale.yMin) * (static_cast<double>(scale.height) - 2 * margin) / scale.yRange - margin);
}

}  // namespace tev
