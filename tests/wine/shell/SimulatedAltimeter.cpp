#include "tests/wine/shell/SimulatedAltimeter.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {

namespace {

constexpr const char* kArrival = "Sim link: arrival of ";
constexpr const char* kRemoval = "Sim link: removal of ";

std::string Narrow(const std::wstring& text) { return std::filesystem::path(text).string(); }

}  // namespace

SimulatedAltimeter::~SimulatedAltimeter() {
  if (!Running()) return;
  if (!Quit(5000)) {
    ::TerminateProcess(process_.Get(), 99);
    ::WaitForSingleObject(process_.Get(), 5000);
  }
}

::testing::AssertionResult SimulatedAltimeter::Start(const std::wstring& exe, const std::wstring& logPath) {
  logPath_ = logPath;
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  win32::UniqueFileHandle log(::CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!log) return ::testing::AssertionFailure() << "cannot write " << Narrow(logPath);
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return ::testing::AssertionFailure() << "no pipe";
  win32::UniqueKernelHandle childInput(readEnd);
  input_.Reset(writeEnd);
  // Only the child's end is inherited: the sim sees the end of its input when the driver closes its own.
  ::SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);

  std::wstring command = L"\"" + exe + L"\" --port " + std::to_wstring(demo_.Port()) + L" --serial " +
                         options_.serial + L" --personality " + options_.personality;
  if (!options_.flights.empty()) command += L" --flights " + options_.flights;
  if (!options_.firmwareVersion.empty()) command += L" --firmware-version " + options_.firmwareVersion;
  if (!options_.plugged) command += L" --unplugged";
  if (!options_.more.empty()) command += L" " + options_.more;
  std::vector<wchar_t> mutableCommand(command.begin(), command.end());
  mutableCommand.push_back(L'\0');

  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = childInput.Get();
  si.hStdOutput = log.Get();
  si.hStdError = log.Get();
  PROCESS_INFORMATION pi = {};
  // No console window: it would stand in the screenshots.
  if (!::CreateProcessW(nullptr, mutableCommand.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &si, &pi))
    return ::testing::AssertionFailure() << "cannot start " << Narrow(command) << ", error " << ::GetLastError();
  const win32::UniqueKernelHandle thread(pi.hThread);  // not needed: the process is what is waited for
  process_.Reset(pi.hProcess);
  plugged_ = options_.plugged;
  expectedArrivals_ = plugged_ ? 1 : 0;
  expectedRemovals_ = 0;
  return ::testing::AssertionSuccess();
}

bool SimulatedAltimeter::Send(const char* command) {
  const std::string line = std::string(command) + "\n";
  DWORD written = 0;
  return input_ && ::WriteFile(input_.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
         written == line.size();
}

void SimulatedAltimeter::Plug() {
  Send("plug");
  if (!plugged_) ++expectedArrivals_;
  plugged_ = true;
}

void SimulatedAltimeter::Unplug() {
  Send("unplug");
  if (plugged_) ++expectedRemovals_;
  plugged_ = false;
}

void SimulatedAltimeter::Switch(const std::wstring& personality) {
  Send(("switch " + Narrow(personality)).c_str());
  options_.personality = personality;
  // A device that changes firmware leaves the bus and comes back.
  if (plugged_) {
    ++expectedRemovals_;
    ++expectedArrivals_;
  }
}

::testing::AssertionResult SimulatedAltimeter::Quit(DWORD timeoutMs) {
  if (!process_) return ::testing::AssertionFailure() << "the sim was never started";
  Send("quit");
  if (plugged_) ++expectedRemovals_;
  plugged_ = false;
  if (::WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0)
    return ::testing::AssertionFailure() << "the sim " << Narrow(options_.serial) << " did not quit; it said:\n"
                                         << Output();
  DWORD code = 1;
  ::GetExitCodeProcess(process_.Get(), &code);
  if (code != 0) return ::testing::AssertionFailure() << "the sim ended with " << code << "; it said:\n" << Output();
  return ::testing::AssertionSuccess();
}

std::vector<std::string> SimulatedAltimeter::Traces(const char* kind) const {
  const std::string mine = "#sim&" + Narrow(options_.serial) + "#{";
  std::vector<std::string> paths;
  for (const std::string& line : demo_.Lines()) {
    if (line.rfind(kind, 0) == 0 && line.find(mine) != std::string::npos) paths.push_back(line.substr(std::strlen(kind)));
  }
  return paths;
}

::testing::AssertionResult SimulatedAltimeter::WaitUntilAttached(DWORD timeoutMs) const {
  size_t arrivals = 0, removals = 0;
  if (WaitUntil(timeoutMs, [&] {
        arrivals = Traces(kArrival).size();
        removals = Traces(kRemoval).size();
        return arrivals >= static_cast<size_t>(expectedArrivals_) && arrivals > removals;
      }))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the demo has not got the sim " << Narrow(options_.serial) << ": "
                                       << arrivals << " arrivals of " << expectedArrivals_ << ", " << removals
                                       << " removals; the sim said:\n"
                                       << Output();
}

::testing::AssertionResult SimulatedAltimeter::WaitUntilDetached(DWORD timeoutMs) const {
  size_t arrivals = 0, removals = 0;
  if (WaitUntil(timeoutMs, [&] {
        arrivals = Traces(kArrival).size();
        removals = Traces(kRemoval).size();
        return removals >= static_cast<size_t>(expectedRemovals_) && removals == arrivals;
      }))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the demo still has the sim " << Narrow(options_.serial) << ": "
                                       << removals << " removals of " << expectedRemovals_ << ", " << arrivals
                                       << " arrivals; the sim said:\n"
                                       << Output();
}

std::string SimulatedAltimeter::Path() const {
  const std::vector<std::string> arrivals = Traces(kArrival);
  return arrivals.empty() ? std::string() : arrivals.back();
}

std::string SimulatedAltimeter::Output() const {
  std::ifstream in(std::filesystem::path(logPath_), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SimulatedAltimeter::WaitForOutput(const std::string& line, DWORD timeoutMs) const {
  return WaitUntil(timeoutMs, [&] {
    std::istringstream in(Output());
    for (std::string got; std::getline(in, got);) {
      if (!got.empty() && got.back() == '\r') got.pop_back();
      if (got == line) return true;
    }
    return false;
  });
}

bool SimulatedAltimeter::Running() const {
  return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

}  // namespace tev::driver
