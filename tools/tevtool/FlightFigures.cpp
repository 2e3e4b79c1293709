#include "tools/tevtool/FlightFigures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "model/Conversions.h"

namespace tev::tool {
namespace {

constexpr double kSamplesPerSecond = 10.0;
constexpr double kGroundBandSteps = 2.0;  // sensor noise moves a resting reading by one step, seldom two

double Seconds(std::size_t index) { return static_cast<double>(index) / kSamplesPerSecond; }

// Metres of altitude per ADC count at the ground reading (about 9 m at sea level, more higher up).
double GroundStep(int groundReading, int adcOffset) {
  const double up = AdcToAltitude(groundReading - 1, adcOffset) - AdcToAltitude(groundReading, adcOffset);
  if (std::isfinite(up) && up > 0) return up;
  return AdcToAltitude(groundReading, adcOffset) - AdcToAltitude(groundReading + 1, adcOffset);
}

std::optional<Moment> PeakOf(const DataSet& set, const std::vector<double>& series) {
  const int k = IndexOfMaximum(set, series);
  if (k < 0 || static_cast<std::size_t>(k) >= series.size() || std::isnan(series[k])) return std::nullopt;
  return Moment{Seconds(static_cast<std::size_t>(k)), series[k]};
}

std::optional<Moment> FirstOn(const DataSet& set, std::uint8_t bit) {
  const std::size_t n = std::min(set.lineFlags.size(), set.altitudeAgl.size());
  for (std::size_t i = 0; i < n; ++i)
    if (set.lineFlags[i] & bit) return Moment{Seconds(i), set.altitudeAgl[i]};
  return std::nullopt;
}

// Launch, landing and the descent, from the altitude above ground alone.
void FindFlightPhases(const std::vector<double>& agl, std::size_t apogee, FlightFigures& f) {
  const double band = f.groundBand;
  const double halfStep = band / kGroundBandSteps / 2;

  const auto leaves = std::find_if(agl.begin(), agl.end(), [&](double a) { return a > band; });
  if (leaves == agl.end()) return;  // never left the ground
  const std::size_t first = static_cast<std::size_t>(leaves - agl.begin());
  std::optional<std::size_t> launch;
  for (std::size_t i = 0; i < first; ++i)
    if (agl[i] <= halfStep) launch = i;
  if (!launch) return;
  f.launchSeconds = Seconds(*launch);

  // A sample that is not a number says nothing about where the rocket is: it neither ends the
  // time on the ground nor counts as the landing.
  const auto unknown = [](double a) { return std::isnan(a); };
  std::size_t tail = agl.size();
  while (tail > 0 && (unknown(agl[tail - 1]) || agl[tail - 1] <= band)) --tail;
  double lowest = std::numeric_limits<double>::infinity();
  for (std::size_t i = tail; i < agl.size(); ++i)
    if (!unknown(agl[i])) lowest = std::min(lowest, agl[i]);
  if (tail <= apogee || std::isinf(lowest)) {
    f.endAltitude = agl[tail - 1];  // the last sample above the band: where the recording leaves off
    return;
  }
  std::size_t landing = tail;
  while (unknown(agl[landing]) || agl[landing] > lowest + halfStep) ++landing;
  f.landingSeconds = Seconds(landing);

  const auto rate = [&](std::size_t from) { return (agl[from] - agl[landing]) / (Seconds(landing) - Seconds(from)); };
  f.descentRate = rate(apogee);
  const std::size_t finalSamples = static_cast<std::size_t>(kFinalDescentSeconds * kSamplesPerSecond);
  std::size_t from = landing - apogee > finalSamples ? landing - finalSamples : apogee;
  while (unknown(agl[from])) ++from;  // the landing itself is known, so this stops
  f.finalDescentRate = rate(from);
  f.finalDescentSeconds = Seconds(landing) - Seconds(from);
}

}  // namespace

FlightFigures ComputeFlightFigures(const DataSet& set, int adcOffset) {
  FlightFigures f;
  f.samples = static_cast<int>(set.adc.size());
  if (set.adc.empty()) return f;

  const int apogee = IndexOfMaximum(set, set.altitudeAgl);
  f.apogee = PeakOf(set, set.altitudeAgl);
  f.peakVelocity = PeakOf(set, set.velocity);
  f.peakSmoothedVelocity = PeakOf(set, set.smoothedVelocity);
  f.lineA = FirstOn(set, 2);
  f.lineB = FirstOn(set, 1);

  f.groundBand = kGroundBandSteps * GroundStep(set.adc.front(), adcOffset);
  if (f.apogee && std::isfinite(f.groundBand))
    FindFlightPhases(set.altitudeAgl, static_cast<std::size_t>(apogee), f);
  return f;
}

}  // namespace tev::tool
