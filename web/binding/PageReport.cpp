// The launch-day report of `tevtool report FILE.tev [--sim SIM.csv] [--units ft] -o OUT.html`, made
// for the page from files of the module's; the flight file's time is what the browser says of it.
#include <emscripten.h>

#include <chrono>
#include <cmath>
#include <sstream>
#include <string>

#include "model/ReplacingFile.h"
#include "model/WidePath.h"
#include "tools/tevtool/ReportBuilder.h"
#include "tools/tevtool/Tool.h"
#include "tools/tevtool/Units.h"

namespace {

std::string problem;

}  // namespace

extern "C" {

// Writes the report of the data file at `path` to `out`; `writtenMs`: when the file was last
// written, in milliseconds since 1970 UTC, or not a number when unknown; `simPath`: a simulation
// CSV, or empty. 1 when written, else 0 with the reason in tev_report_problem().
EMSCRIPTEN_KEEPALIVE int tev_report(const char* path, double writtenMs, const char* simPath, int feet, const char* out) {
  using namespace tev;
  using namespace tev::tool;
  std::ostringstream err;
  ReportInput input{Utf8ToWide(path), std::nullopt};
  // Beyond about ±290,000 years a time has no date, and the seconds would not fit.
  if (std::isfinite(writtenMs) && std::fabs(writtenMs) < 1e16)
    input.written = std::chrono::sys_seconds(std::chrono::seconds(static_cast<long long>(std::floor(writtenMs / 1000))));
  std::optional<std::wstring> simulation;
  if (*simPath) simulation = Utf8ToWide(simPath);
  const auto page = MakeReport({input}, simulation, feet ? kImperial : kMetric, err);
  bool written = false;
  if (page) {
    ReplacingFile file(Utf8ToWide(out));
    written = file.IsOpen() && file.Write(*page) && file.Commit();
    if (!written) Fail(err, std::string("cannot write ") + out);
  }
  problem = err.str();
  return written ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* tev_report_problem() { return problem.c_str(); }

}  // extern "C"
