#include "app/LaunchFile.h"

#include <vector>

#include "ui/logic/FileToOpen.h"

namespace tev {

std::optional<std::wstring> FileFromCommandLine(const wchar_t* commandLine) {
  int count = 0;
  wchar_t** argv = ::CommandLineToArgvW(commandLine, &count);
  if (!argv) return std::nullopt;
  std::vector<std::wstring> arguments(argv, argv + count);
  ::LocalFree(argv);
  return FileFromArguments(arguments);
}

std::optional<std::wstring> FirstDroppedFile(HDROP drop) {
  if (::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0) return std::nullopt;
  const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
  std::wstring path(length + 1, L'\0');
  const UINT copied = ::DragQueryFileW(drop, 0, path.data(), length + 1);
  if (copied == 0) return std::nullopt;
  path.resize(copied);
  return path;
}

}  // namespace tev
