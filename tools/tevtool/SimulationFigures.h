#pragma once
// What a simulation predicts, in the terms a flight is reported in, and its altitude moved in
// time so that its launch falls on a recorded flight's.
#include <optional>

#include "tools/tevtool/FlightFigures.h"
#include "tools/tevtool/FlightPicture.h"
#include "tools/tevtool/SimulationFile.h"
#include "tools/tevtool/TimedCurve.h"

namespace tev::tool {

struct SimulationFigures {
  // The last row at the starting altitude before the altitude first rises above it: a simulation
  // may begin with time on the pad.
  std::optional<double> launchSeconds;
  std::optional<Moment> apogee;  // metres above the starting altitude
  // Mean descent rate, positive downward, from apogee to the first row back at the starting
  // altitude; none when the simulation ends in the air.
  std::optional<double> descentRate;
  std::optional<Moment> peakVelocity;  // from the vertical velocity column, when there is one
};

SimulationFigures ComputeSimulationFigures(const Simulation& sim);

// The simulation's altitude above its start, its launch moved to `launchSeconds` (0 when it has none).
TimedCurve AlignedAltitude(const Simulation& sim, const SimulationFigures& figures, double launchSeconds);

// The same as a picture's curve, named after the file.
PictureCurve SimulationCurve(const Simulation& sim, double launchSeconds);

}  // namespace tev::tool
