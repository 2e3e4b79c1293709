// The simulation CSV reader on any bytes. What it accepts is a simulation a picture can show:
// columns of one length, every value finite and bounded, time never going back; what it refuses
// it refuses with a line and a reason. Its figures and its curve never fault.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "tools/tevtool/SimulationFigures.h"
#include "tools/tevtool/SimulationFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tev::tool::SimulationProblem problem;
  const auto sim = tev::tool::ParseSimulation(text, problem);
  if (!sim) {
    FUZZ_CHECK(problem.line >= 1 && !problem.reason.empty());
    FUZZ_CHECK(static_cast<std::size_t>(problem.line) <= size + 1);
    return 0;
  }
  const std::size_t n = sim->seconds.size();
  FUZZ_CHECK(n > 0 && sim->metres.size() == n);
  FUZZ_CHECK(sim->metresPerSecond.empty() || sim->metresPerSecond.size() == n);
  const auto bounded = [](double v) { return std::isfinite(v) && std::fabs(v) <= 1e6; };
  for (std::size_t i = 0; i < n; ++i) {
    FUZZ_CHECK(bounded(sim->seconds[i]) && bounded(sim->metres[i]));
    FUZZ_CHECK(i == 0 || sim->seconds[i] >= sim->seconds[i - 1]);
    if (!sim->metresPerSecond.empty()) FUZZ_CHECK(bounded(sim->metresPerSecond[i]));
  }
  const auto figures = tev::tool::ComputeSimulationFigures(*sim);
  if (figures.descentRate) FUZZ_CHECK(std::isfinite(*figures.descentRate) && *figures.descentRate >= 0);
  const auto curve = tev::tool::AlignedAltitude(*sim, figures, 1.5);
  FUZZ_CHECK(curve.seconds.size() == n && curve.metres.size() == n);
  return 0;
}
