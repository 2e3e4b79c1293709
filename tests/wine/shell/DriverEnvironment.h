#pragma once
// What the test script tells the driver, through environment variables (Windows paths).
#include <string>

namespace tev::driver {

struct DriverEnvironment {
  std::wstring demoExe;     // TEV_DEMO_EXE
  std::wstring tevtoolExe;  // TEV_TEVTOOL_EXE
  std::wstring simExe;      // TEV_SIM_EXE: altimeter-sim.exe
  std::wstring sampleFile;  // TEV_SAMPLE_FILE: a sample flight
  std::wstring workDir;     // TEV_WORK_DIR: logs, files the tests write
  std::wstring shotDir;     // TEV_SHOT_DIR: screenshots kept for people to look at
  int basePort = 47100;     // TEV_BASE_PORT: the first sim-link port this run may use
  // Over the system's HID stack: demoExe is then the release TevUsb.exe, and the simulated
  // altimeters plug into hid-bridge.exe, which makes each a HID device. Empty: the sim link.
  std::wstring hidBridgeExe;  // TEV_HID_BRIDGE_EXE
  std::wstring hidInf;        // TEV_HID_INF: the virtual HID device's driver

  bool OverHidStack() const { return !hidBridgeExe.empty(); }
};

// Reads the environment; the names of missing variables go to `missing`.
DriverEnvironment ReadDriverEnvironment(std::wstring& missing);
const DriverEnvironment& Environment();

// A sim-link port no other program of this run has listened on: a closed listener's port may
// still be held for a while after it ends.
int NextPort();

}  // namespace tev::driver
