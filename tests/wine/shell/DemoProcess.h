#pragma once
// TevUsbDemo.exe started by the driver, with its standard output (the DebugLog) going to a file
// the driver reads while the program runs. Lines from the sim link ("Sim link: arrival of PATH",
// "Sim link: removal of PATH") come from another thread and may fall between a dialog's lines:
// look for the lines a check is about rather than comparing the whole log.
//
//   const size_t mark = demo.LineCount();
//   dialog.Close();
//   EXPECT_TRUE(demo.WaitForLineAfter(mark, "Thread has exited.", 10000));
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

  // Starts exe (with arguments, if any) with TEV_SIM_PORT = port and its output going to logPath.
  bool Start(const std::wstring& exe, int port, const std::wstring& logPath, const std::wstring& arguments = {});
  DWORD Id() const { return processId_; }
  int Port() const { return port_; }

  // Everything the program wrote so far.
  std::string Log() const;
  // The whole lines written so far, without their line ends.
  std::vector<std::string> Lines() const;
  // Waits until the log holds line (a whole line) at least `count` times.
  bool WaitForLine(const std::string& line, DWORD timeoutMs, int count = 1) const;
  int CountLines(const std::string& line) const;
  // How many lines there are now: a mark, so that a wait looks only at what comes after it.
  size_t LineCount() const;
  bool WaitForLineAfter(size_t mark, const std::string& line, DWORD timeoutMs) const;
  // Lines that hold `text` somewhere.
  int CountLinesContaining(const std::string& text) const;

  // The program's main window once it is visible; null on time-out.
  HWND WaitForMainWindow(DWORD timeoutMs) const;
  // True when the process ended within the time; its exit code in *code.
  bool WaitForExit(DWORD timeoutMs, DWORD* code);
  bool Running() const;

 private:
  win32::UniqueKernelHandle process_;
  DWORD processId_ = 0;
  int port_ = 0;
  std::wstring logPath_;
};

}  // namespace tev::driver
