// tevtool report FILE.tev... [--sim SIM.csv] [--units m|ft] -o REPORT.html: every set of every
// file given, as one web page. A file that cannot be read is named on standard error and left
// out; the command fails only when no flight is left.
#include <chrono>
#include <filesystem>

#include "model/ReplacingFile.h"
#include "model/WidePath.h"
#include "tools/tevtool/CommandLine.h"
#include "tools/tevtool/OutputCheck.h"
#include "tools/tevtool/ReportBuilder.h"

namespace tev::tool {
namespace {

constexpr char kUsage[] = "usage: tevtool report FILE.tev... [--sim SIM.csv] [--units m|ft] -o REPORT.html";

// When the file was last changed; nothing when the system does not say.
std::optional<std::chrono::sys_seconds> FileTime(const std::wstring& path) {
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(ToFsPath(path), ec);
  if (ec) return std::nullopt;
  return std::chrono::floor<std::chrono::seconds>(std::chrono::file_clock::to_sys(written));
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
  std::vector<ReportInput> flights;
  for (const std::wstring& path : line->Positionals()) flights.push_back({path, FileTime(path)});
  const auto page = MakeReport(flights, simPath, units, err);
  if (!page) return 1;

  ReplacingFile file(*output);
  if (!file.IsOpen() || !file.Write(*page) || !file.Commit()) return Fail(err, "cannot write " + Narrow(*output));
  return 0;
}

}  // namespace tev::tool
