#pragma once
// A simulated altimeter plugged into the running demo: altimeter-sim.exe (TEV_SIM_EXE) started as
// a child process on the demo's sim-link port, its standard input a pipe the driver writes its
// commands to, its output going to a log file. The demo writes "Sim link: arrival of PATH" and
// "Sim link: removal of PATH" when a simulated device comes and goes; the waits read those lines.
// Two or more at once are fine as long as each has its own serial.
//
//   SimulatedAltimeter& first = StartSim({});                       // DemoTest: serial 0001, plugged
//   SimOptions empty;
//   empty.serial = L"0002";
//   empty.flights = L"none";
//   SimulatedAltimeter& second = StartSim(empty);
//   ASSERT_TRUE(first.WaitUntilAttached(kTimeoutMs));
//   first.Switch(L"bootloader");                                    // leaves and comes back
//   ASSERT_TRUE(first.WaitUntilAttached(kTimeoutMs));
//   second.Unplug();
//   ASSERT_TRUE(second.WaitUntilDetached(kTimeoutMs));
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/shell/DemoProcess.h"
#include "win32/Guards.h"

namespace tev::driver {

struct SimOptions {
  std::wstring serial = L"0001";                // letters and digits; each device its own
  std::wstring personality = L"application";    // or L"bootloader"
  std::wstring flights;                         // hop,park,sport,high / samples / full / none; empty: samples
  std::wstring firmwareVersion;                 // e.g. L"0x0139"; empty: the sim's 0x0140
  bool plugged = true;                          // false: starts unplugged, waits for Plug()
  std::wstring more;                            // further options as typed: L"--withhold-reply 3 --interval 0"
};

class SimulatedAltimeter {
 public:
  SimulatedAltimeter(const DemoProcess& demo, SimOptions options) : demo_(demo), options_(std::move(options)) {}
  ~SimulatedAltimeter();  // quits it, or ends it when it does not
  SimulatedAltimeter(const SimulatedAltimeter&) = delete;
  SimulatedAltimeter& operator=(const SimulatedAltimeter&) = delete;

  // Starts exe on the demo's port with its output going to logPath.
  ::testing::AssertionResult Start(const std::wstring& exe, const std::wstring& logPath);

  // The sim's standard-input commands.
  void Plug();
  void Unplug();
  void Switch(const std::wstring& personality);  // L"application" or L"bootloader"
  // Quits and waits for the process to end with exit code 0.
  ::testing::AssertionResult Quit(DWORD timeoutMs);

  // Until the demo has it attached (every plug so far has arrived) or has let it go.
  ::testing::AssertionResult WaitUntilAttached(DWORD timeoutMs) const;
  ::testing::AssertionResult WaitUntilDetached(DWORD timeoutMs) const;

  // The interface path the demo knows it by now, "\\?\hid#vid_1209&pid_0002#sim&0001#{...}".
  std::string Path() const;
  // What the sim wrote ("plugged PATH", "unplugged", "personality bootloader", "bye", ...).
  std::string Output() const;
  bool WaitForOutput(const std::string& line, DWORD timeoutMs) const;
  bool Running() const;
  const SimOptions& Options() const { return options_; }

 private:
  bool Send(const char* command);
  // The paths of this sim's arrivals or removals in the demo's log, oldest first.
  std::vector<std::string> Traces(const char* kind) const;

  const DemoProcess& demo_;
  SimOptions options_;
  std::wstring logPath_;
  win32::UniqueKernelHandle process_;
  win32::UniqueFileHandle input_;
  bool plugged_ = false;  // as commanded; a fault may unplug it on its own
  int expectedArrivals_ = 0;
  int expectedRemovals_ = 0;
};

}  // namespace tev::driver
