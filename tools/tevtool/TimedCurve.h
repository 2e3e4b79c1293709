#pragma once
#include <vector>

namespace tev::tool {

// Altitudes at given times: seconds on a picture's time axis, metres above the ground.
struct TimedCurve {
  std::vector<double> seconds;
  std::vector<double> metres;
};

}  // namespace tev::tool
