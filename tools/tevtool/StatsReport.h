#pragma once
// The figures of one set as text for people (aligned, a unit on every figure) or as one JSON
// object on one line for scripts.
#include <ostream>
#include <string>

#include "model/DeviceSettings.h"
#include "tools/tevtool/FlightFigures.h"
#include "tools/tevtool/Units.h"

namespace tev::tool {

struct StatsSubject {
  std::string file;
  int set = 0;  // counted from 0
  const DeviceSettings* settings = nullptr;  // as the file holds them
  bool checksumValid = true;                 // false: the figures were built with the defaults
};

void WriteStatsText(std::ostream& out, const StatsSubject& subject, const FlightFigures& figures, const Units& units);
void WriteStatsJson(std::ostream& out, const StatsSubject& subject, const FlightFigures& figures, const Units& units);

}  // namespace tev::tool
