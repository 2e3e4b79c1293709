#include "tools/tevtool/SimulationFigures.h"

#include <cstddef>

#include "model/WidePath.h"
#include "tools/tevtool/TextFormat.h"

namespace tev::tool {

SimulationFigures ComputeSimulationFigures(const Simulation& sim) {
  SimulationFigures f;
  const auto& h = sim.metres;
  if (h.empty()) return f;
  const double start = h.front();

  std::size_t top = 0;
  for (std::size_t i = 1; i < h.size(); ++i)
    if (h[i] > h[top]) top = i;
  if (h[top] <= start) return f;  // it never left the pad
  f.apogee = Moment{sim.seconds[top], h[top] - start};

  std::size_t launch = 0;
  while (launch + 1 < h.size() && h[launch + 1] <= start) ++launch;
  f.launchSeconds = sim.seconds[launch];

  for (std::size_t i = top + 1; i < h.size(); ++i) {
    if (h[i] <= start) {
      if (sim.seconds[i] > sim.seconds[top]) f.descentRate = (h[top] - h[i]) / (sim.seconds[i] - sim.seconds[top]);
      break;
    }
  }

  const auto& v = sim.metresPerSecond;
  for (std::size_t i = 0; i < v.size(); ++i)
    if (!f.peakVelocity || v[i] > f.peakVelocity->value) f.peakVelocity = Moment{sim.seconds[i], v[i]};
  return f;
}

TimedCurve AlignedAltitude(const Simulation& sim, const SimulationFigures& figures, double launchSeconds) {
  TimedCurve curve;
  if (sim.metres.empty()) return curve;
  const double shift = launchSeconds - figures.launchSeconds.value_or(sim.seconds.front());
  for (std::size_t i = 0; i < sim.metres.size(); ++i) {
    curve.seconds.push_back(sim.seconds[i] + shift);
    curve.metres.push_back(sim.metres[i] - sim.metres.front());
  }
  return curve;
}

PictureCurve SimulationCurve(const Simulation& sim, double launchSeconds) {
  return {L"Simulation: " + Utf8ToWide(Isolated(sim.name)), kSimulationInk, true,
          AlignedAltitude(sim, ComputeSimulationFigures(sim), launchSeconds)};
}

}  // namespace tev::tool
