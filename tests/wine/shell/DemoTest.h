#pragma once
// The fixture of every test that drives TevUsbDemo.exe from outside: each test starts the demo
// afresh on a sim-link port of its own, with its DebugLog captured, and waits for its main window.
// Derive a fixture per dialog from it (see DialogDriver.h for a whole dialog test):
//
//   class AboutTest : public DemoTest {};
//   TEST_F(AboutTest, ShowsTheVersions) {
//     Dialog about = Dialog::OpenFromMenu(main_, IDM_HELP_ABOUT, L"About", kTimeoutMs);
//     ...
//   }
//
// Files a test writes go to WorkPath(suffix) (the work folder, named after the test); screenshots,
// taken once the program has finished painting, to the screenshot folder as TEST-STEP.png.
// Over the HID stack (Environment().OverHidStack()) the program is the release TevUsb.exe and the
// simulated altimeters plug into hid-bridge.exe, started afresh for each test, whose log says when
// one has come or gone as a HID device: everything else reads the same.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/wine/shell/CommonDialogs.h"
#include "tests/wine/shell/DemoProcess.h"
#include "tests/wine/shell/DriverEnvironment.h"
#include "tests/wine/shell/Screenshot.h"
#include "tests/wine/shell/SimulatedAltimeter.h"

namespace tev::driver {

class DemoTest : public ::testing::Test {
 protected:
  static constexpr DWORD kStartTimeoutMs = 20000;
  static constexpr DWORD kTimeoutMs = 10000;

  void SetUp() override;
  void TearDown() override;

  std::wstring WorkPath(const std::wstring& suffix) const;
  // The whole desktop, saved as TEST-STEP.png; returns the picture.
  Picture Shot(const std::wstring& step);
  // One window (a dialog, a message box) with its frame, saved as TEST-STEP.png.
  Picture ShotOf(HWND window, const std::wstring& step);

  // A simulated altimeter on this demo's port, its output in WorkPath("-sim-SERIAL.log"); it quits
  // when the test ends. A sim that cannot start fails the test.
  SimulatedAltimeter& StartSim(SimOptions options);

  // The program's message box, with the program's caption and this text.
  MessageBoxSeen ExpectMessageBox(const std::wstring& text);
  // Presses a button of the box and waits for the box to go.
  void Answer(const MessageBoxSeen& box, int button);

  // Where the simulated altimeters plug in: the demo, or the bridge to the HID stack.
  const DemoProcess& Link() const { return Environment().OverHidStack() ? bridge_ : demo_; }

  std::wstring name_;
  DemoProcess bridge_;  // over the HID stack only; outlives the demo and the sims
  DemoProcess demo_;
  HWND main_ = nullptr;
  std::vector<std::unique_ptr<SimulatedAltimeter>> sims_;  // ended before the demo
};

}  // namespace tev::driver
