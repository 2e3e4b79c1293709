#pragma once
// TevUsbDemo.exe started by the driver, with its standard output (the DebugLog) going to a file
// the driver reads while the program runs.
#include <windows.h>

#include <string>
#include <vector>

#include "win32/Guards.h"

namespace tev::driver {

class DemoProcess {
 public:
  DemoProcess() = default;
  ~DemoProcess();  // ends the program if a test left it running
  DemoProcess(const DemoProcess&) = delete;
  DemoProcess& operator=(const DemoProcess&) = delete;

  // Starts exe with TEV_SIM_PORT = port and its output going to logPath.
  bool Start(const std::wstring& exe, int port, const std::wstring& logPath);
  DWORD Id() const { return processId_; }

  // Everything the program wrote so far.
  std::string Log() const;
  // The same as lines, without their line ends.
  std::vector<std::string> Lines() const;
  // Waits until the log holds line (a whole line) at least `count` times.
  bool WaitForLine(const std::string& line, DWORD timeoutMs, int count = 1) const;
  int CountLines(const std::string& line) const;

  // The program's main window once it is visible; null on time-out.
  HWND WaitForMainWindow(DWORD timeoutMs) const;
  // True when the process ended within the time; its exit code in *code.
  bool WaitForExit(DWORD timeoutMs, DWORD* code);
  bool Running() const;

 private:
  win32::UniqueKernelHandle process_;
  DWORD processId_ = 0;
  std::wstring logPath_;
};

}  // namespace tev::driver
