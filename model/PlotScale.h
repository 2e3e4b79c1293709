#pragma once
#include <cstdint>

namespace tev {

// The plot's ranges (seconds; metres or km/h) and its size in pixels.
struct PlotScale {
  std::int32_t xMin = 0;
  std::int32_t yMin = 0;
  std::int32_t xRange = 0;
  std::int32_t yRange = 0;
  std::int32_t width = 640;
  std::int32_t height = 480;
};

}  // namespace tev
