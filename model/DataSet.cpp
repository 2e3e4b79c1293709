#include "model/DataSet.h"

#include <cmath>
#include <limits>
#include <string>

#include "model/Conversions.h"
#include "model/DebugLog.h"
#include "model/NumberFormat.h"

namespace tev {
namespace {

constexpr int kSmoothingReach = 40;  // samples on each side of the smoothing window
constexpr int kVelocityReach = 5;    // samples on each side of the velocity window
constexpr double kVelocityWeightCap = 0.8;

// One pass of the adaptive low-pass filter: the weight of the previous output falls as the
// local spread of the input grows, so flat stretches are held and fast changes followed.
// A window of width w costs at most w terms per sample, so the pass is linear in n.
void AdaptiveSmooth(const std::vector<double>& x, std::vector<double>& y, double weightCap, std::string* weights) {
  const int n = static_cast<int>(x.size());
  double previous = 0.0;
  for (int j = 0; j < n; ++j) {
    const int lo = j >= kSmoothingReach ? -kSmoothingReach : -j;
    const int hi = j + kSmoothingReach < n ? kSmoothingReach : n - 1 - j;
    const int width = hi - lo;
    double weight = 0.0;  // a lone sample has no window: take it as it is
    if (width > 0) {
      double spread = 0.0;
      const double centre = x[j];
      for (int d = j + lo; d < j + hi; ++d) spread += std::fabs(centre - x[d]);
      weight = std::pow(0.95, (spread / width) * 10 / width);
    }
    if (weight > weightCap) weight = weightCap;
    y[j] = (1 - weight) * x[j] + weight * previous;
    previous = y[j];
    if (weights) {
      *weights += FormatReal(weight);
      *weights += ' ';
    }
  }
}

void ComputeVelocity(const std::vector<double>& altitude, std::vector<double>& velocity) {
  const int n = static_cast<int>(altitude.size());
  for (int j = 0; j < n; ++j) {
    const int lo = j >= kVelocityReach ? -kVelocityReach : -j;
    const int hi = j + kVelocityReach < n ? kVelocityReach : n - 1 - j;
    // One sample spans no time; its velocity is taken as 0 rather than 0/0.
    velocity[j] = hi == lo ? 0.0 : (altitude[j + hi] - altitude[j + lo]) / ((hi - lo) / 10.0);
  }
}

}  // namespace

void ClearDataSet(DataSet& set) {
  set.adc.clear();
  set.volts.clear();
  set.pressure.clear();
  set.altitudeMsl.clear();
  set.altitudeAgl.clear();
  set.smoothedAltitude.clear();
  set.velocity.clear();
  set.smoothedVelocity.clear();
  set.velocityKmh.clear();
  set.lineFlags.clear();
}

void BuildDataSet(const PacketList& packets, DataSet& set, int firstPacket, const DeviceSettings& settings,
                  int setNumber) {
  ClearDataSet(set);
  set.setNumber = setNumber;
  const double offset = settings.adcOffset;
  ForEachSetSample(packets, firstPacket, [&](std::uint16_t sample) {
    set.adc.push_back(SampleAdc(sample));
    set.lineFlags.push_back(SampleLineFlags(sample));
  });

  const std::size_t n = set.adc.size();
  if (n == 0) return;
  set.volts.resize(n);
  set.pressure.resize(n);
  set.altitudeMsl.resize(n);
  set.altitudeAgl.resize(n);
  set.smoothedAltitude.resize(n);
  set.velocity.resize(n);
  set.smoothedVelocity.resize(n);
  set.velocityKmh.resize(n);

  for (std::size_t i = 0; i < n; ++i) {
    set.volts[i] = AdcToVolts(set.adc[i], offset);
    set.pressure[i] = AdcToPressure(set.adc[i], offset);
    set.altitudeMsl[i] = AdcToAltitude(set.adc[i], offset);
    set.altitudeAgl[i] = set.altitudeMsl[i] - set.altitudeMsl[0];
  }

  // The weights go out as one line, and are not even composed while nobody listens.
  std::string weights;
  const bool logWeights = DebugLogEnabled();
  if (logWeights) weights.reserve(n * 9);
  AdaptiveSmooth(set.altitudeAgl, set.smoothedAltitude, std::numeric_limits<double>::infinity(),
                 logWeights ? &weights : nullptr);
  if (logWeights) DebugLog(weights);

  ComputeVelocity(set.smoothedAltitude, set.velocity);
  AdaptiveSmooth(set.velocity, set.smoothedVelocity, kVelocityWeightCap, nullptr);
  for (std::size_t i = 0; i < n; ++i) set.velocityKmh[i] = set.smoothedVelocity[i] * kMetresPerSecondToKmh;
}

int IndexOfMaximum(const DataSet& set, const std::vector<double>& series) {
  if (set.adc.empty() || series.empty()) return -1;
  // Undefined values (not a number) are passed over: they are no one's maximum.
  int best = -1;
  for (std::size_t i = 0; i < series.size(); ++i) {
    if (std::isnan(series[i])) continue;
    if (best < 0 || series[i] > series[static_cast<std::size_t>(best)]) best = static_cast<int>(i);
  }
  return best < 0 ? 0 : best;
}

}  // namespace tev
