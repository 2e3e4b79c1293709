// tevtool stats FILE.tev [SET] [--units m|ft] [--json]: the figures of one set, or of every set
// in turn, from the same data set the window plots.
#include "tools/tevtool/CommandLine.h"
#include "tools/tevtool/FlightFigures.h"
#include "tools/tevtool/FlightFile.h"
#include "tools/tevtool/StatsReport.h"

namespace tev::tool {
namespace {

constexpr char kUsage[] = "usage: tevtool stats FILE.tev [SET] [--units m|ft] [--json]";

}  // namespace

int RunStats(const Args& args, std::ostream& out, std::ostream& err) {
  const auto line = CommandLine::Parse(args, {{L"--json", false}, kUnitsOption}, 2, kUsage, err);
  if (!line) return 1;
  const std::wstring* input = line->Positional(0);
  if (!input) return Fail(err, kUsage);
  Units units;
  std::optional<int> only;
  if (!line->ReadUnits(units, err) || !ReadSetNumber(line->Positional(1), std::nullopt, only, err)) return 1;
  const bool json = line->Has(L"--json");

  FlightFile flight;
  if (!LoadFlightFile(*input, flight, err)) return 1;
  if (only && !CheckSetExists(flight, *only, err)) return 1;

  const int first = only ? *only : 0;
  const int last = only ? *only : flight.Sets() - 1;
  for (int set = first; set <= last; ++set) {
    const FlightFigures figures = ComputeFlightFigures(flight.Build(set), flight.used.adcOffset);
    const StatsSubject subject{Narrow(*input), set, &flight.file.settings, !flight.usingDefaults};
    if (json) {
      WriteStatsJson(out, subject, figures, units);
    } else {
      if (set != first) out << '\n';
      WriteStatsText(out, subject, figures, units);
    }
  }
  out.flush();
  if (!out) return Fail(err, "cannot write to standard output");
  return 0;
}

}  // namespace tev::tool
