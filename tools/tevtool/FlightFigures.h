#pragma once
// The figures a flier reports, read off the data set the window plots: apogee, top speed, the
// phases of the flight and the moments the lines fired. Everything in metres, m/s and seconds;
// a figure that the recording does not give (no launch, no landing) is empty.
#include <optional>

#include "model/DataSet.h"

namespace tev::tool {

struct Moment {
  double seconds = 0;
  double value = 0;  // metres or m/s, as the figure says
};

struct FlightFigures {
  int samples = 0;

  // The window's labels: the highest altitude above ground and the unsmoothed velocity's peak.
  std::optional<Moment> apogee;
  std::optional<Moment> peakVelocity;
  std::optional<Moment> peakSmoothedVelocity;

  // Altitude within this of the ground counts as on the ground (two ADC steps at ground level).
  double groundBand = 0;

  // Launch: the last sample at ground level before the altitude first leaves the ground band.
  // Landing: once the altitude stays in the band to the end, the first sample at its lowest.
  std::optional<double> launchSeconds;
  std::optional<double> landingSeconds;
  // Metres above ground at the end of a recording that stops in the air.
  std::optional<double> endAltitude;

  // Descent rates in m/s, positive downward: apogee to landing, and the last kFinalDescentSeconds.
  std::optional<double> descentRate;
  std::optional<double> finalDescentRate;
  double finalDescentSeconds = 0;

  // The first sample at which each line was on, with the altitude above ground there.
  std::optional<Moment> lineA;
  std::optional<Moment> lineB;
};

inline constexpr double kFinalDescentSeconds = 10.0;

// adcOffset is the offset the data set was built with, to size one ADC step at the ground.
FlightFigures ComputeFlightFigures(const DataSet& set, int adcOffset);

}  // namespace tev::tool
