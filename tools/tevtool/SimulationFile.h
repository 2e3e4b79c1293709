#pragma once
// A rocket simulator's results as CSV: time, altitude and, when there is one, vertical velocity,
// each column found by its name and read in the unit its header gives. Lines starting with # are
// comments; the last comment before the data may be the header (simulators write it so), else
// the first line is.
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tev::tool {

struct Simulation {
  std::string name;                      // the file name, for legends and tables
  std::vector<double> seconds;           // never decreasing
  std::vector<double> metres;            // altitude as the file gives it
  std::vector<double> metresPerSecond;   // vertical velocity, upward; empty without the column
};

struct SimulationProblem {
  int line = 0;  // 1-based
  std::string reason;
};

// Empty, with the problem, for anything that cannot be read whole.
std::optional<Simulation> ParseSimulation(std::string_view text, SimulationProblem& problem);

// Reads the file; false after one line on err naming the file, the line and the reason.
bool LoadSimulation(const std::wstring& path, Simulation& sim, std::ostream& err);

}  // namespace tev::tool
