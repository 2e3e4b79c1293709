#pragma once
// The report of tevtool report, built flight file by flight file: a row of figures for every set,
// a plot for every set that left the ground, and an overlay of those from their launch.
#include <chrono>
#include <optional>
#include <ostream>
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

// A flight file for the report, and when it was last written if the caller knows (a file's time
// on disk, or what the browser says of a file given to the page).
struct ReportInput {
  std::wstring path;
  std::optional<std::chrono::sys_seconds> written;
};

// The report of tevtool report: every set of every file, compared with the simulation at
// simulationPath when there is one. A file that cannot be read gets one line on err and is left
// out; nothing, after a line on err, when the simulation cannot be read or no flight is left.
std::optional<std::string> MakeReport(const std::vector<ReportInput>& inputs,
                                      const std::optional<std::wstring>& simulationPath, const Units& units,
                                      std::ostream& err);

// The UTC date of a time as the report shows it ("2026-05-01"); nothing outside the calendar.
std::optional<std::string> UtcDate(std::chrono::sys_seconds time);

}  // namespace tev::tool
