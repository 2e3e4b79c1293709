#include <cmath>
#include <cstdint>
#include <limits>

#include "plot/PlotView.h"

namespace tev {

namespace {

// Whole units, truncated toward zero; empty for what has no integer value.
bool TruncatedValue(double value, std::int64_t& out) {
  if (!std::isfinite(value)) return false;
  const double truncated = std::trunc(value);
  if (truncated < std::numeric_limits<std::int32_t>::min() || truncated > std::numeric_limits<std::int32_t>::max())
    return false;
  out = static_cast<std::int64_t>(truncated);
  return true;
}

std::int32_t Saturated(std::int64_t value) {
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace

void PreparePlot(const PacketList& packets, const DeviceSettings& settings, DataSet& set, PlotScale& scale,
                 int setNumber) {
  BuildDataSet(packets, set, FindSetStart(packets, setNumber), settings, setNumber);
  ScalePlot(set, scale);
}

void ScalePlot(const DataSet& set, PlotScale& scale) {
  // Altitude (m) and velocity (km/h) share the vertical scale.
  std::int64_t lo = std::numeric_limits<std::int32_t>::max();
  std::int64_t hi = std::numeric_limits<std::int32_t>::min();
  const auto widen = [&](double value) {
    std::int64_t whole = 0;
    if (!TruncatedValue(value, whole)) return;  // a sample that is not a number has no place on the scale
    if (whole < lo) lo = whole;
    if (whole > hi) hi = whole;
  };
  for (std::size_t i = 0; i < set.smoothedAltitude.size(); ++i) {
    widen(set.smoothedAltitude[i]);
    if (i < set.velocityKmh.size()) widen(set.velocityKmh[i]);
  }

  scale.xMin = 0;
  scale.xRange = static_cast<std::int32_t>(set.adc.size() / 10);
  if (lo > hi) {
    // Nothing to scale: a zero range draws nothing that depends on it.
    scale.yMin = 0;
    scale.yRange = 0;
  } else {
    scale.yMin = static_cast<std::int32_t>(lo);
    scale.yRange = Saturated(hi - lo);
  }
}

}  // namespace tev
