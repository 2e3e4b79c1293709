// Tools > Control Device driven from outside: the real demo against altimeter-sim over the sim link.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "tests/wine/shell/CommonDialogs.h"
#include "tests/wine/shell/ConnectionIconSeen.h"
#include "tests/wine/shell/DemoTest.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/DriverEnvironment.h"
#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {
namespace {

using Lines = std::vector<std::wstring>;

constexpr int kOperations[] = {IDC_CONTROL_READ_PRESSURE, IDC_CONTROL_READ_BATTERY, IDC_CONTROL_FIRE};
constexpr wchar_t kBatteryMessage[] =
    L"You may now connect the battery to the device if you want a real time launch. Click OK when connected or "
    L"ignore.";

class ControlDeviceTest : public DemoTest {
 protected:
  Dialog Open(const wchar_t* found) {
    Dialog dialog = Dialog::OpenFromMenu(main_, IDM_TOOLS_CONTROL, L"Control Options", kTimeoutMs);
    EXPECT_TRUE(dialog) << "no Control Options dialog";
    if (dialog) {
      EXPECT_TRUE(dialog.WaitForStatusLine(found, kTimeoutMs));
    }
    return dialog;
  }
  Dialog OpenConnected(const std::wstring& simOptions = {}) {
    SimOptions options;
    options.more = simOptions;
    SimulatedAltimeter& sim = StartSim(options);
    EXPECT_TRUE(sim.WaitUntilAttached(kTimeoutMs));
    Dialog dialog = Open(L"Device Connected.");
    EXPECT_TRUE(WaitIdle(dialog));
    return dialog;
  }
  // The dialog holds the buttons back until it has heard that the worker ended, so enabled
  // buttons are that end.
  static bool WaitIdle(const Dialog& d) {
    return WaitUntil(kTimeoutMs, [&] {
      for (int id : kOperations) {
        if (!d.Enabled(id)) return false;
      }
      return true;
    });
  }
  static Lines LinesFrom(const Dialog& d, const std::wstring& line) {
    const Lines all = d.StatusLines();
    for (size_t i = all.size(); i-- > 0;) {
      if (all[i] == line) return Lines(all.begin() + static_cast<long>(i), all.end());
    }
    return {};
  }
  // The sample flight on display in the main window, through File > Open.
  void ShowSampleFlight() {
    PostCommand(main_, IDM_FILE_OPEN);
    ASSERT_NE(ChooseFile(demo_.Id(), L"Load data set", Environment().sampleFile, kTimeoutMs), nullptr);
    ASSERT_TRUE(demo_.WaitForLine("Loaded data set.", kTimeoutMs));
  }
  void StartEmulation(const Dialog& d) {
    ASSERT_TRUE(d.Click(IDC_CONTROL_EMULATE));
    const MessageBoxSeen box = ExpectMessageBox(kBatteryMessage);
    EXPECT_EQ(d.CountStatusLines(L"Emulating..."), 0) << "started before the message was answered";
    Answer(box, IDOK);
    ASSERT_TRUE(d.WaitForStatusLine(L"Emulating...", kTimeoutMs));
  }
};

TEST_F(ControlDeviceTest, OpensWithoutADeviceWithEveryOperationDisabled) {
  Dialog d = Open(L"Device not found.");
  ASSERT_TRUE(d);
  EXPECT_TRUE(WaitForConnectionIcon(d, IDC_CONTROL_ICON, IconShown::NotConnected, kTimeoutMs)) << "not icon 109";
  for (int id : kOperations) EXPECT_FALSE(d.Enabled(id)) << "control " << id;
  EXPECT_FALSE(d.Enabled(IDC_CONTROL_EMULATE));
  EXPECT_EQ(d.StatusLines(), Lines{L"Device not found."});
}

TEST_F(ControlDeviceTest, ReadsPressureAndBatteryAndFiresTheLines) {
  Dialog d = OpenConnected(L"--adc 830 --battery 92");
  ASSERT_TRUE(d);
  EXPECT_TRUE(WaitForConnectionIcon(d, IDC_CONTROL_ICON, IconShown::Connected, kTimeoutMs)) << "not icon 110";
  EXPECT_FALSE(d.Enabled(IDC_CONTROL_EMULATE)) << "no flight on display to replay";

  ASSERT_TRUE(d.Click(IDC_CONTROL_READ_PRESSURE));
  ASSERT_TRUE(d.WaitForStatusLine(L"Current MSL Altitude: 59.1592 Meters", kTimeoutMs));
  EXPECT_EQ(LinesFrom(d, L"Current ADC: 830"),
            (Lines{L"Current ADC: 830", L"Current Voltage: 4.05273 Volts", L"Current Pressure: 100.616 kPa",
                   L"Current MSL Altitude: 59.1592 Meters"}));
  const Lines all = d.StatusLines();
  ASSERT_GE(all.size(), 5u);
  EXPECT_EQ(all[all.size() - 5], L"") << "an empty line before the reading";
  ASSERT_TRUE(WaitIdle(d));

  ASSERT_TRUE(d.Click(IDC_CONTROL_READ_BATTERY));
  ASSERT_TRUE(d.WaitForStatusLine(L"Current Voltage: 9.2 Volts", kTimeoutMs));
  ASSERT_TRUE(WaitIdle(d));

  const DWORD start = ::GetTickCount();
  ASSERT_TRUE(d.Click(IDC_CONTROL_FIRE));
  ASSERT_TRUE(d.WaitForStatusLine(L"Firing both lines for 2 seconds...", kTimeoutMs));
  ASSERT_TRUE(d.WaitForStatusLine(L"Done.", kTimeoutMs));
  EXPECT_GE(::GetTickCount() - start, 1900u) << "Done before the device confirmed its 2 seconds";
  ASSERT_TRUE(WaitIdle(d));
  ShotOf(d.Window(), L"after-readings");
}

TEST_F(ControlDeviceTest, EmulatesTheFlightOnDisplayToTheEnd) {
  SimOptions options;
  options.more = L"--emulation-period 5";  // twenty times the pace of a flight
  StartSim(options);
  ASSERT_NO_FATAL_FAILURE(ShowSampleFlight());
  Dialog d = Open(L"Device Connected.");
  ASSERT_TRUE(d);
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return d.Enabled(IDC_CONTROL_EMULATE); }));
  ASSERT_NO_FATAL_FAILURE(StartEmulation(d));
  ASSERT_TRUE(d.WaitForStatusLine(L"Device indicates end of launch.", 120000));
  ASSERT_TRUE(d.WaitForStatusLine(L"Done.", kTimeoutMs));
  const Lines lines = LinesFrom(d, L"Emulating...");
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[1], L"Launch Time (s): 0");
  EXPECT_EQ(lines[lines.size() - 2], L"Device indicates end of launch.");
  EXPECT_EQ(lines.back(), L"Done.");
  int second = 0;
  for (const std::wstring& line : lines) {
    if (line.rfind(L"Launch Time (s): ", 0) == 0) {
      EXPECT_EQ(line, L"Launch Time (s): " + std::to_wstring(second++));
    }
  }
  EXPECT_GT(second, 3);
  EXPECT_EQ(d.CountStatusLines(L"Launch detected."), 1);
  EXPECT_EQ(d.CountStatusLines(L"Apogee detected."), 1);
  ASSERT_TRUE(WaitIdle(d));
  ShotOf(d.Window(), L"after-emulation");
}

TEST_F(ControlDeviceTest, ClosedMidEmulationItStopsAtTheNextRequestAndThenCloses) {
  StartSim({});  // a reading asked for every 0.1 s, as in flight
  ASSERT_NO_FATAL_FAILURE(ShowSampleFlight());
  Dialog d = Open(L"Device Connected.");
  ASSERT_TRUE(d);
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return d.Enabled(IDC_CONTROL_EMULATE); }));
  ASSERT_NO_FATAL_FAILURE(StartEmulation(d));
  ASSERT_TRUE(d.WaitForStatusLine(L"Launch Time (s): 2", kTimeoutMs));
  // The close waits for the device's next request, its reset and the reset's answer (up to 3 s),
  // each a round trip through Wine that a loaded machine can slow several times over.
  ASSERT_TRUE(d.Close(2 * kTimeoutMs)) << "did not close once the emulation had stopped";
  ASSERT_TRUE(demo_.WaitForLine("Thread has exited.", kTimeoutMs));
  EXPECT_EQ(demo_.CountLines("User ended emulation."), 1);
  EXPECT_EQ(demo_.CountLines("Device indicates end of launch."), 0);
  EXPECT_EQ(demo_.CountLines("Thread has exited."), 1);
}

// Any HID device plugged in during a worker (here a second altimeter) must not reconnect under
// it: the connect closes the handles first. The arrival is acted on once the worker has ended.
TEST_F(ControlDeviceTest, ASecondAltimeterArrivingDuringAnEmulationDoesNotDisturbIt) {
  SimOptions first;
  first.more = L"--emulation-period 20";
  StartSim(first);
  ASSERT_NO_FATAL_FAILURE(ShowSampleFlight());
  Dialog d = Open(L"Device Connected.");
  ASSERT_TRUE(d);
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return d.Enabled(IDC_CONTROL_EMULATE); }));
  ASSERT_NO_FATAL_FAILURE(StartEmulation(d));
  ASSERT_TRUE(d.WaitForStatusLine(L"Launch Time (s): 1", kTimeoutMs));

  SimOptions second;
  second.serial = L"0002";
  SimulatedAltimeter& other = StartSim(second);
  ASSERT_TRUE(other.WaitUntilAttached(kTimeoutMs));
  EXPECT_TRUE(demo_.WaitForLine("Device arrival put off until the worker has ended.", kTimeoutMs));
  EXPECT_EQ(d.CountStatusLines(L"Device Connected."), 1) << "reconnected under the emulation";

  ASSERT_TRUE(d.WaitForStatusLine(L"Device indicates end of launch.", 120000)) << "the emulation was disturbed";
  ASSERT_TRUE(d.WaitForStatusLine(L"Done.", kTimeoutMs));
  EXPECT_EQ(d.CountStatusLines(L"Failed."), 0);
  EXPECT_TRUE(d.WaitForStatusLine(L"Device Connected.", kTimeoutMs, 2)) << "the arrival was never acted on";
  EXPECT_TRUE(WaitIdle(d));
}

}  // namespace
}  // namespace tev::driver
