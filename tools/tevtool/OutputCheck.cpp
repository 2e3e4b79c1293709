#include "tools/tevtool/OutputCheck.h"

#include <filesystem>

#include "model/WidePath.h"
#include "tools/tevtool/Tool.h"

namespace tev::tool {
namespace {

// Both name one existing file: the same path spelt another way, a link, or (on Windows) another case.
bool SameFile(const std::wstring& a, const std::wstring& b) {
  std::error_code ec;
  return std::filesystem::equivalent(ToFsPath(a), ToFsPath(b), ec) && !ec;
}

}  // namespace

bool NamesDataFile(const std::wstring& path) {
  std::size_t end = path.size();
  while (end > 0 && (path[end - 1] == L'.' || path[end - 1] == L' ')) --end;
  if (end < 4) return false;
  const std::wstring tail = path.substr(end - 4, 4);
  return tail[0] == L'.' && (tail[1] == L't' || tail[1] == L'T') && (tail[2] == L'e' || tail[2] == L'E') &&
         (tail[3] == L'v' || tail[3] == L'V');
}

bool CheckOutput(const std::wstring& output, const char* format, const std::vector<std::wstring>& inputs,
                 std::ostream& err) {
  for (const std::wstring& input : inputs) {
    if (SameFile(output, input)) {
      Fail(err, "will not write over " + Narrow(input) + ": the output " + Narrow(output) + " is one of the inputs");
      return false;
    }
  }
  if (NamesDataFile(output)) {
    Fail(err, "will not write " + std::string(format) + " to " + Narrow(output) +
                  ": a name ending in .tev is for flights");
    return false;
  }
  return true;
}

}  // namespace tev::tool
