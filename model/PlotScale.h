#pragma once
#include <cstdint>

namespace tev {

// The plot's ranges (seconds; metres or km/h), its size in pixels and the DPI it is drawn at.
struct PlotScale {
  std::int32_t xMin = 0;
  std::int32_t yMin = 0;
  std::int32_t xRange = 0;
  std::int32_t yRange = 0;
  std::int32_t width = 640;
  std::int32_t height = 480;
  std::int32_t dpi = 96;  // the plot's pens, fonts and distances grow with it; 96 is 100 %
};

}  // namespace tev
