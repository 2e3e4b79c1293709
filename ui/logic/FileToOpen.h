#pragma once
// Which file the program opens when it is started with one or has one dropped on its window.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tev {

// The file named on the command line (its arguments, the program's own name first): the first
// argument, as the shell passes one file; none when there is no argument.
std::optional<std::wstring> FileFromArguments(const std::vector<std::wstring>& arguments);

// True for a name that ends in ".tev", in any case: the only files a drop may open.
bool IsDataFileName(std::wstring_view path);

}  // namespace tev
