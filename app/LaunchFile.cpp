#include "app/LaunchFile.h"

#include <vector>

#include "ui/logic/FileToOpen.h"
#include "win32/Guards.h"

namespace tev {

namespace {

struct ArgumentsTraits {  // CommandLineToArgvW's one block
  static wchar_t** Invalid() { return nullptr; }
  static bool Valid(wchar_t** argv) { return argv != nullptr; }
  static void Release(wchar_t** argv) { ::LocalFree(argv); }
};

}  // namespace

std::optional<std::wstring> FileFromCommandLine(const wchar_t* commandLine) {
  int count = 0;
  const win32::Unique<wchar_t**, ArgumentsTraits> argv(::CommandLineToArgvW(commandLine, &count));
  if (!argv) return std::nullopt;
  const std::vector<std::wstring> arguments(argv.Get(), argv.Get() + count);
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
