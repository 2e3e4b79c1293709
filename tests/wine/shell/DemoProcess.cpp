#include "tests/wine/shell/DemoProcess.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {

DemoProcess::~DemoProcess() {
  if (Running()) {
    ::TerminateProcess(process_.Get(), 99);
    ::WaitForSingleObject(process_.Get(), 5000);
  }
}

bool DemoProcess::Start(const std::wstring& exe, int port, const std::wstring& logPath,
                        const std::wstring& arguments) {
  logPath_ = logPath;
  port_ = port;
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  win32::UniqueFileHandle log(::CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!log) return false;

  ::SetEnvironmentVariableW(L"TEV_SIM_PORT", std::to_wstring(port).c_str());
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = log.Get();
  si.hStdError = log.Get();
  std::wstring command = L"\"" + exe + L"\"";
  if (!arguments.empty()) command += L" " + arguments;
  std::vector<wchar_t> mutableCommand(command.begin(), command.end());
  mutableCommand.push_back(L'\0');
  PROCESS_INFORMATION pi = {};
  if (!::CreateProcessW(nullptr, mutableCommand.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
    return false;
  const win32::UniqueKernelHandle thread(pi.hThread);  // not needed: the process is what is waited for
  process_.Reset(pi.hProcess);
  processId_ = pi.dwProcessId;
  return true;
}

std::string DemoProcess::Log() const {
  std::ifstream in(std::filesystem::path(logPath_), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> DemoProcess::Lines() const {
  std::string log = Log();
  // A line still being written is not a line yet.
  log.erase(log.find_last_of('\n') == std::string::npos ? 0 : log.find_last_of('\n') + 1);
  std::istringstream in(log);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

int DemoProcess::CountLines(const std::string& line) const {
  int count = 0;
  for (const std::string& got : Lines()) count += got == line ? 1 : 0;
  return count;
}

size_t DemoProcess::LineCount() const { return Lines().size(); }

bool DemoProcess::WaitForLineAfter(size_t mark, const std::string& line, DWORD timeoutMs) const {
  return WaitUntil(timeoutMs, [&] {
    const std::vector<std::string> lines = Lines();
    for (size_t i = mark; i < lines.size(); ++i)
      if (lines[i] == line) return true;
    return false;
  });
}

int DemoProcess::CountLinesContaining(const std::string& text) const {
  int count = 0;
  for (const std::string& got : Lines()) count += got.find(text) != std::string::npos ? 1 : 0;
  return count;
}

bool DemoProcess::WaitForLine(const std::string& line, DWORD timeoutMs, int count) const {
  return WaitUntil(timeoutMs, [&] { return CountLines(line) >= count; });
}

HWND DemoProcess::WaitForMainWindow(DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(timeoutMs, [&] {
    found = FindProcessWindow(processId_, L"AltInterface", nullptr);
    return found != nullptr && ::IsWindowVisible(found);
  });
  return found;
}

bool DemoProcess::WaitForExit(DWORD timeoutMs, DWORD* code) {
  if (!process_) return false;
  if (::WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) return false;
  if (code) ::GetExitCodeProcess(process_.Get(), code);
  return true;
}

bool DemoProcess::Running() const {
  return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

}  // namespace tev::driver
