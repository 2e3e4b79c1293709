#include "tools/tevtool/Tool.h"

#include <filesystem>
#include <string_view>

#include "model/DataFile.h"
#include "model/DebugLog.h"
#include "model/WidePath.h"

namespace tev::tool {
namespace {

void PrintUsage(std::ostream& out) {
  out << "usage: tevtool [-v] COMMAND ARGS...\n";
  for (const Command& command : Commands())
    out << "  tevtool " << command.name << ' ' << command.usage << "\n      " << command.summary << '\n';
  out << "options:\n  -h  this text\n  -v  diagnostics on standard error\n";
}

// Diagnostics go where -v says for the length of one run, then back to where they went before.
class LogRoute {
 public:
  LogRoute(bool verbose, std::ostream& err)
      : previous_(SetDebugLogSink(verbose ? DebugLogSink([&err](std::string_view line) {
          err << line << '\n';
          err.flush();
        })
                                          : DebugLogSink())) {}
  ~LogRoute() { SetDebugLogSink(std::move(previous_)); }
  LogRoute(const LogRoute&) = delete;
  LogRoute& operator=(const LogRoute&) = delete;

 private:
  DebugLogSink previous_;
};

}  // namespace

std::string Narrow(const std::wstring& text) { return PathForDisplay(text); }

std::optional<int> ParseSet(const std::wstring& text) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  return value;
}

std::string SetName(int set) { return std::to_string(static_cast<long long>(set) + 1); }

int Fail(std::ostream& err, const std::string& message) {
  err << "tevtool: " << message << '\n';
  err.flush();
  return 1;
}

int RunTool(const Args& args, std::ostream& out, std::ostream& err) {
  bool verbose = false, help = false;
  Args rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"-o" && i + 1 < args.size()) {  // a file may be called -v
      rest.push_back(args[i]);
      rest.push_back(args[++i]);
    } else if (args[i] == L"-v") {
      verbose = true;
    } else if (args[i] == L"-h" || args[i] == L"--help") {
      help = true;
    } else {
      rest.push_back(args[i]);
    }
  }
  if (help) {
    PrintUsage(out);
    return out.flush() ? 0 : 1;
  }
  if (rest.empty()) return Fail(err, "no command given (tevtool -h lists them)");

  const LogRoute route(verbose, err);
  const std::string name = Narrow(rest.front());
  for (const Command& command : Commands())
    if (name == command.name) return command.run(Args(rest.begin() + 1, rest.end()), out, err);
  return Fail(err, "unknown command '" + name + "' (tevtool -h lists them)");
}

bool LoadForTool(const std::wstring& path, LoadedFile& file, std::ostream& err) {
  const std::string name = Narrow(path);
  std::error_code ec;
  if (std::filesystem::is_directory(ToFsPath(path), ec)) return Fail(err, name + " is a folder, not a TEV data file"), false;
  switch (ReadDataSetFile(path, file.packets, file.settings)) {
    case DataFileStatus::Ok:
      file.checksumValid = true;
      return true;
    case DataFileStatus::CannotOpen:
      Fail(err, "cannot open " + name);
      return false;
    case DataFileStatus::NotADataFile:
      Fail(err, name + " is not a TEV data file");
      return false;
    case DataFileStatus::UnsupportedVersion:
      Fail(err, name + " is a TEV data file of a version this tool does not read");
      return false;
    case DataFileStatus::Truncated:
      Fail(err, name + " is incomplete: it ends before its last packet or its settings");
      return false;
    case DataFileStatus::NoFlight:
      Fail(err, name + " holds no flight");
      return false;
    case DataFileStatus::BadChecksum:
      file.checksumValid = false;
      return true;
  }
  return false;
}

}  // namespace tev::tool
