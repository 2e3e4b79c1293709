// tevtool csv FILE.tev [SET] [-o OUT.csv]: one set as the program's CSV export writes it.
#include <optional>

#include "model/CsvExport.h"
#include "model/DataSet.h"
#include "tools/tevtool/CommandLine.h"
#include "tools/tevtool/FlightFile.h"
#include "tools/tevtool/OutputCheck.h"
#include "tools/tevtool/Tool.h"

namespace tev::tool {
namespace {

constexpr char kUsage[] = "usage: tevtool csv FILE.tev [SET] [-o OUT.csv]";

}  // namespace

int RunCsv(const Args& args, std::ostream& out, std::ostream& err) {
  const auto line = CommandLine::Parse(args, {{L"-o"}}, 2, kUsage, err);
  if (!line) return 1;
  const std::wstring* input = line->Positional(0);
  if (!input) return Fail(err, kUsage);
  const auto output = line->Value(L"-o");
  std::optional<int> set;
  if (!ReadSetNumber(line->Positional(1), 0, set, err)) return 1;
  if (output && !CheckOutput(*output, "CSV", {*input}, err)) return 1;

  // As the program shows the flight: a bad settings checksum means the default settings.
  FlightFile flight;
  if (!LoadFlightFile(*input, flight, err) || !CheckSetExists(flight, *set, err)) return 1;
  DataSet current;
  if (output) {
    if (!ExportCsv(flight.file.packets, flight.used, current, *set, *output))
      return Fail(err, "cannot write " + Narrow(*output));
    return 0;
  }
  current = flight.Build(*set);
  WriteCsv(current, [&](std::string_view bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
  });
  out.flush();
  if (!out) return Fail(err, "cannot write to standard output");
  return 0;
}

}  // namespace tev::tool
