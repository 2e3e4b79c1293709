#include "ui/logic/FileToOpen.h"

#include <algorithm>
#include <cwctype>

namespace tev {

std::optional<std::wstring> FileFromArguments(const std::vector<std::wstring>& arguments) {
  if (arguments.size() < 2 || arguments[1].empty()) return std::nullopt;
  return arguments[1];
}

bool IsDataFileName(std::wstring_view path) {
  constexpr std::wstring_view kExtension = L".tev";
  if (path.size() <= kExtension.size()) return false;
  const std::wstring_view tail = path.substr(path.size() - kExtension.size());
  // A bare ".tev" after a folder separator is a hidden name, not a flight's.
  const wchar_t before = path[path.size() - kExtension.size() - 1];
  if (before == L'\\' || before == L'/' || before == L':') return false;
  return std::equal(tail.begin(), tail.end(), kExtension.begin(),
                    [](wchar_t a, wchar_t b) { return static_cast<wchar_t>(std::towlower(a)) == b; });
}

}  // namespace tev
