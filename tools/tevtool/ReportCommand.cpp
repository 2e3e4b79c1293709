// tevtool report FILE.tev... [--sim SIM.csv] [--units m|ft] -o REPORT.html: every set of every
// file given, as one web page. A file that cannot be read is named on standard error and left
// out; the command fails only when no flight is left.
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "model/ReplacingFile.h"
#include "model/WidePath.h"
#include "tools/tevtool/CommandLine.h"
#include "tools/tevtool/FlightFile.h"
#include "tools/tevtool/OutputCheck.h"
#include "tools/tevtool/ReportBuilder.h"

namespace tev::tool {
namespace {

constexpr char kUsage[] = "usage: tevtool report FILE.tev... [--sim SIM.csv] [--units m|ft] -o REPORT.html";

// The file's last change as a UTC date; empty when the system does not say.
std::optional<std::string> FileDate(const std::wstring& path) {
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(ToFsPath(path), ec);
  if (ec) return std::nullopt;
  const auto days = std::chrono::floor<std::chrono::days>(std::chrono::file_clock::to_sys(written));
  const std::chrono::year_month_day date(days);
  if (!date.ok()) return std::nullopt;
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()));
  return text;
}

}  // namespace

int RunReport(const Args& args, std::ostream&, std::ostream& err) {
  const auto line = CommandLine::Parse(args, {{L"-o"}, kUnitsOption, {L"--sim"}}, CommandLine::kAnyNumber, kUsage, err);
  if (!line) return 1;
  const auto output = line->Value(L"-o");
  if (!output || line->Positionals().empty()) return Fail(err, kUsage);
  const auto simPath = line->Value(L"--sim");
  std::vector<std::wstring> inputs = line->Positionals();
  if (simPath) inputs.push_back(*simPath);
  if (!CheckOutput(*output, "a web page", inputs, err)) return 1;
  Units units;
  if (!line->ReadUnits(units, err)) return 1;
  // Asked for a comparison, the page is not made without it.
  std::optional<Simulation> sim;
  if (simPath && !LoadSimulation(*simPath, sim.emplace(), err)) return 1;

  ReportBuilder report(units, std::move(sim));
  for (const std::wstring& path : line->Positionals()) {
    FlightFile flight;
    if (!LoadFlightFile(path, flight, err)) continue;  // a file without a flight included
    report.AddFlights(flight, DisplayName(path), FileDate(path));
  }
  if (report.Empty()) return Fail(err, "no flight could be read: no report written");

  ReplacingFile file(*output);
  if (!file.IsOpen() || !file.Write(report.Page()) || !file.Commit()) return Fail(err, "cannot write " + Narrow(*output));
  return 0;
}

}  // namespace tev::tool
