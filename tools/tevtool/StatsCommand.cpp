// tevtool stats FILE.tev [SET] [--units m|ft] [--json]: the figures of one set, or of every set
// in turn, from the same data set the window plots.
#include "tools/tevtool/FlightFigures.h"
#include "tools/tevtool/FlightFile.h"
#include "tools/tevtool/StatsReport.h"

namespace tev::tool {
namespace {

constexpr char kUsage[] = "usage: tevtool stats FILE.tev [SET] [--units m|ft] [--json]";

}  // namespace

int RunStats(const Args& args, std::ostream& out, std::ostream& err) {
  std::optional<std::wstring> input, setText;
  Units units = kMetric;
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--json") {
      json = true;
    } else if (args[i] == L"--units") {
      const auto parsed = i + 1 < args.size() ? ParseUnits(args[++i]) : std::nullopt;
      if (!parsed) return Fail(err, "--units takes m or ft");
      units = *parsed;
    } else if (!input) {
      input = args[i];
    } else if (!setText) {
      setText = args[i];
    } else {
      return Fail(err, kUsage);
    }
  }
  if (!input) return Fail(err, kUsage);
  std::optional<int> only;
  if (setText) {
    only = ParseSet(*setText);
    if (!only) return Fail(err, "not a set number: " + Narrow(*setText));
  }

  FlightFile flight;
  if (!LoadFlightFile(*input, flight, err)) return 1;
  if (only && !CheckSetExists(flight, *only, err)) return 1;
  if (flight.Sets() == 0) return Fail(err, Narrow(*input) + " holds no flight");

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
