#pragma once
// The altitude trace that grows while a download runs, for the live plot.
#include <cstdint>
#include <vector>

namespace tev {

struct LiveTrace {
  std::vector<double> points;
  std::int32_t xMin = 0;
  std::int32_t yMin = 0;
  std::int32_t xMax = 1;
  std::int32_t yMax = 1;
  float apogeeTime = 0;
  float maxAltitude = 0;
  double groundMsl = 0;
};

void AppendLiveSample(LiveTrace& trace, std::uint16_t word, std::int32_t adcOffset);
void ResetLiveTrace(LiveTrace& trace);

}  // namespace tev
