#include "tools/tevtool/Tool.h"

#include <filesystem>
#include <string_view>

#include "model/DataFile.h"
#include "model/DebugLog.h"
#include "model/UnsignedNumber.h"
#include "model/WidePath.h"
#include "tools/common/Arguments.h"

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
  const auto value = ReadUnsigned(text, 999999);
  if (!value) return std::nullopt;
  return static_cast<int>(*value);
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
  // -o is read here too only so that its value, a file that may be called -v, is passed on whole.
  const auto kindOf = [](const std::wstring& text) {
    if (text == L"-v" || text == L"-h" || text == L"--help") return ArgumentKind::Switch;
    return text == L"-o" ? ArgumentKind::Valued : ArgumentKind::Positional;
  };
  for (const Argument<std::wstring>& argument : ReadArguments(args, kindOf)) {
    if (argument.kind != ArgumentKind::Switch) {
      rest.push_back(argument.text);
      if (argument.value) rest.push_back(*argument.value);
    } else if (argument.text == L"-v") {
      verbose = true;
    } else {
      help = true;
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
