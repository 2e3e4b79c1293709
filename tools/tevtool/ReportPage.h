#pragma once
// The page tevtool report writes: one HTML file that stands alone (its style and pictures are in
// it, nothing is fetched), with every flight's figures, its plot, an overlay of all flights from
// launch and, given a simulation, how each flight compares with it.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/tevtool/FlightFigures.h"
#include "tools/tevtool/SimulationFigures.h"
#include "tools/tevtool/Units.h"

namespace tev::tool {

struct ReportFlight {
  std::string file;                 // the file name without its folder
  int set = 0;  // counted from 0
  std::optional<std::string> date;  // when the file was last written, if known
  bool defaultSettings = false;     // the file's settings checksum failed
  FlightFigures figures;
  std::string plot;                 // an <svg> element; none for a set that never left the ground
};

struct ReportSimulation {
  std::string file;
  SimulationFigures figures;
};

struct Report {
  Units units = kMetric;
  std::vector<ReportFlight> flights;
  std::string overlay;  // an <svg> element
  std::optional<ReportSimulation> simulation;
};

void WriteReportPage(std::ostream& out, const Report& report);

// Text with &, <, > and quotes escaped, for HTML text and attribute values alike.
std::string HtmlEscaped(const std::string& text);

}  // namespace tev::tool
