#include "tests/wine/shell/Tevtool.h"

#include <windows.h>

#include <vector>

#include "win32/Guards.h"

namespace tev::driver {

bool RunTevtoolCsv(const std::wstring& tevtool, const std::wstring& dataFile, const std::wstring& csvFile) {
  std::wstring command = L"\"" + tevtool + L"\" csv \"" + dataFile + L"\" -o \"" + csvFile + L"\"";
  std::vector<wchar_t> mutableCommand(command.begin(), command.end());
  mutableCommand.push_back(L'\0');
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!::CreateProcessW(nullptr, mutableCommand.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  win32::UniqueKernelHandle process(pi.hProcess);
  win32::UniqueKernelHandle thread(pi.hThread);
  if (::WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0) return false;
  DWORD code = 1;
  ::GetExitCodeProcess(process.Get(), &code);
  return code == 0;
}

}  // namespace tev::driver
