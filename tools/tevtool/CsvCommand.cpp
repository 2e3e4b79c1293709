// tevtool csv FILE.tev [SET] [-o OUT.csv]: one set as the program's CSV export writes it.
#include <optional>

#include "model/CsvExport.h"
#include "model/DataSet.h"
#include "tools/tevtool/Tool.h"

namespace tev::tool {
namespace {

constexpr char kUsage[] = "usage: tevtool csv FILE.tev [SET] [-o OUT.csv]";

}  // namespace

int RunCsv(const Args& args, std::ostream& out, std::ostream& err) {
  std::optional<std::wstring> input, output, setText;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"-o") {
      if (i + 1 >= args.size() || output) return Fail(err, kUsage);
      output = args[++i];
    } else if (!input) {
      input = args[i];
    } else if (!setText) {
      setText = args[i];
    } else {
      return Fail(err, kUsage);
    }
  }
  if (!input) return Fail(err, kUsage);
  const auto set = setText ? ParseSet(*setText) : std::optional<int>(0);
  if (!set) return Fail(err, "not a set number: " + Narrow(*setText));

  LoadedFile file;
  if (!LoadForTool(*input, file, err)) return 1;
  const int sets = CountSets(file.packets);
  if (*set >= sets)
    return Fail(err, "no set " + std::to_string(*set) + " in " + Narrow(*input) + " (it holds " +
                         std::to_string(sets) + (sets == 1 ? " set)" : " sets)"));

  DataSet current;
  if (output) {
    if (!ExportCsv(file.packets, file.settings, current, *set, *output)) return Fail(err, "cannot write " + Narrow(*output));
    return 0;
  }
  BuildDataSet(file.packets, current, FindSetStart(file.packets, *set), file.settings, *set);
  WriteCsv(current, [&](std::string_view bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
  });
  out.flush();
  if (!out) return Fail(err, "cannot write to standard output");
  return 0;
}

}  // namespace tev::tool
