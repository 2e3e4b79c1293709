#pragma once
// Before a command writes anything: its output must not be one of the files it reads (under
// whatever name), and a file of another kind must not take a name that ends in .tev, where a
// flight would be looked for (and, once written over, lost).
#include <ostream>
#include <string>
#include <vector>

namespace tev::tool {

// Whether the name ends in .tev, in any case, ignoring the dots and blanks at its end that
// Windows drops from a file name.
bool NamesDataFile(const std::wstring& path);

// False after one line on err when `output` (written as `format`, e.g. "CSV") is one of `inputs`
// or ends in .tev.
bool CheckOutput(const std::wstring& output, const char* format, const std::vector<std::wstring>& inputs,
                 std::ostream& err);

}  // namespace tev::tool
