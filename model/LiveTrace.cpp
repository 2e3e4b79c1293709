#include "model/LiveTrace.h"

#include "model/Conversions.h"
#include "model/FlightPacket.h"
#include "model/Truncate.h"

namespace tev {

void AppendLiveSample(LiveTrace& trace, std::uint16_t word, std::int32_t adcOffset) {
  if (word == kNoSample) return;
  const double altitude = AdcToAltitude(SampleAdc(word), adcOffset);
  if (trace.points.empty()) trace.groundMsl = altitude;
  const double relative = altitude - trace.groundMsl;
  trace.points.push_back(relative);
  const long long count = static_cast<long long>(trace.points.size());
  // Compared as stored: a double a hair above its own float would otherwise beat an equal height.
  const float height = static_cast<float>(relative);
  if (height > trace.maxAltitude) {
    trace.maxAltitude = height;
    trace.apogeeTime = static_cast<float>(count - 1) / 10.0f;
  }
  trace.xMin = 0;
  trace.yMin = 0;
  // The next multiple of 5 s above the trace's length.
  trace.xMax = TruncateToInt32(static_cast<double>((count + 50) / 50 * 5));
  trace.yMax = TruncateToInt32(trace.maxAltitude);
}

void ResetLiveTrace(LiveTrace& trace) {
  trace.points.clear();
  trace.apogeeTime = 0;
  trace.maxAltitude = 0;
}

}  // namespace tev
