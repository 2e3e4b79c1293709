#pragma once
// The report of tevtool report, built flight file by flight file: a row of figures for every set,
// a plot for every set that left the ground, and an overlay of those from their launch.
#include <optional>
#include <string>
#include <vector>

#include "tools/tevtool/FlightFile.h"
#include "tools/tevtool/FlightPicture.h"
#include "tools/tevtool/ReportPage.h"
#include "tools/tevtool/SimulationFile.h"

namespace tev::tool {

class ReportBuilder {
 public:
  ReportBuilder(const Units& units, std::optional<Simulation> simulation);

  // Every set of the file, under the name shown for it (the file name without its folder).
  void AddFlights(const FlightFile& flight, const std::string& name, std::optional<std::string> date);
  bool Empty() const { return report_.flights.empty(); }
  // The whole page.
  std::string Page();

 private:
  Report report_;
  std::optional<Simulation> simulation_;
  std::vector<PictureCurve> overlay_;
};

}  // namespace tev::tool
