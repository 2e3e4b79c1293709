// What only the system's HID stack shows: arrivals and removals as the system announces them, in
// every dialog, and two altimeters at once. Run only over the HID stack
// (the release TevUsb.exe with hid-bridge.exe); skipped over the sim link.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "tests/wine/shell/ConnectionIconSeen.h"
#include "tests/wine/shell/DemoTest.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/DriverEnvironment.h"
#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {
namespace {

class HidStackTest : public DemoTest {
 protected:
  void SetUp() override {
    if (!Environment().OverHidStack()) GTEST_SKIP() << "over the HID stack only";
    DemoTest::SetUp();
  }
};

struct DialogCase {
  const char* name;
  WORD command;
  const wchar_t* title;
  int icon;
  int operation;  // a button enabled only while connected
};

TEST_F(HidStackTest, EveryDialogFollowsTheAltimeterAsItIsPluggedInPulledOutAndPluggedInAgain) {
  const DialogCase cases[] = {
      {"Capture Data", IDM_TOOLS_CAPTURE, L"Capture Data", IDC_CAPTURE_ICON, IDC_CAPTURE_READ},
      {"Device Settings", IDM_TOOLS_SETTINGS, L"Program Chip", IDC_SETTINGS_ICON, IDC_SETTINGS_READ},
      {"Control Device", IDM_TOOLS_CONTROL, L"Control Options", IDC_CONTROL_ICON, IDC_CONTROL_READ_BATTERY},
  };
  SimOptions options;
  options.flights = L"hop";
  options.plugged = false;
  SimulatedAltimeter& sim = StartSim(options);
  for (const DialogCase& c : cases) {
    SCOPED_TRACE(c.name);
    Dialog dialog = Dialog::OpenFromMenu(main_, c.command, c.title, kTimeoutMs);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog.WaitForStatusLine(L"Device not found.", kTimeoutMs));
    EXPECT_TRUE(WaitForConnectionIcon(dialog, c.icon, IconShown::NotConnected, kTimeoutMs));

    sim.Plug();
    ASSERT_TRUE(sim.WaitUntilAttached(kTimeoutMs));
    EXPECT_TRUE(dialog.WaitForStatusLine(L"Device Connected.", kTimeoutMs));
    EXPECT_TRUE(WaitForConnectionIcon(dialog, c.icon, IconShown::Connected, kTimeoutMs)) << "not icon 110";
    EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return dialog.Enabled(c.operation); }));

    sim.Unplug();
    ASSERT_TRUE(sim.WaitUntilDetached(kTimeoutMs));
    EXPECT_TRUE(dialog.WaitForStatusLine(L"Device disconnected.", kTimeoutMs));
    EXPECT_TRUE(WaitForConnectionIcon(dialog, c.icon, IconShown::NotConnected, kTimeoutMs)) << "not icon 109";
    EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return !dialog.Enabled(c.operation); }));

    sim.Plug();
    ASSERT_TRUE(sim.WaitUntilAttached(kTimeoutMs));
    EXPECT_TRUE(dialog.WaitForStatusLine(L"Device Connected.", kTimeoutMs, 2)) << "no second connection";
    EXPECT_TRUE(WaitForConnectionIcon(dialog, c.icon, IconShown::Connected, kTimeoutMs));
    ShotOf(dialog.Window(), std::wstring(c.title) + L"-plugged-again");
    ASSERT_TRUE(dialog.Close(kTimeoutMs));
    sim.Unplug();
    ASSERT_TRUE(sim.WaitUntilDetached(kTimeoutMs));
  }
}

TEST_F(HidStackTest, WithTwoAltimetersPluggedTheProgramUsesOneAndLeavesTheOtherAlone) {
  SimOptions first, second;
  first.flights = L"hop";  // 8 packets
  second.serial = L"0002";
  second.flights = L"hop,park,sport";  // 49 packets
  SimulatedAltimeter& a = StartSim(first);
  ASSERT_TRUE(a.WaitUntilAttached(kTimeoutMs));
  SimulatedAltimeter& b = StartSim(second);
  ASSERT_TRUE(b.WaitUntilAttached(kTimeoutMs));

  Dialog capture = Dialog::OpenFromMenu(main_, IDM_TOOLS_CAPTURE, L"Capture Data", kTimeoutMs);
  ASSERT_TRUE(capture);
  ASSERT_TRUE(capture.WaitForStatusLine(L"Device Connected.", kTimeoutMs));
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_READ));
  ASSERT_TRUE(WaitUntil(30000, [&] {
    return capture.CountStatusLines(L"Packets Read: 8") > 0 || capture.CountStatusLines(L"Packets Read: 49") > 0;
  })) << "no whole download from either altimeter";
  const bool usedA = capture.CountStatusLines(L"Packets Read: 8") > 0;
  EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return capture.Enabled(IDC_CAPTURE_SAVE_ALL); }));

  // The one it does not use comes and goes without disturbing the one it uses.
  SimulatedAltimeter& unused = usedA ? b : a;
  SimulatedAltimeter& used = usedA ? a : b;
  const std::string unusedPath = unused.Path(), usedPath = used.Path();
  unused.Unplug();
  ASSERT_TRUE(unused.WaitUntilDetached(kTimeoutMs));
  ASSERT_TRUE(Drain(capture.Window()));
  EXPECT_TRUE(WaitForConnectionIcon(capture, IDC_CAPTURE_ICON, IconShown::Connected, kTimeoutMs));
  ASSERT_TRUE(capture.Close(kTimeoutMs));
  ASSERT_TRUE(used.Quit(kTimeoutMs));
  ASSERT_TRUE(used.WaitUntilDetached(kTimeoutMs));

  // Nothing was ever written to the other one.
  EXPECT_EQ(bridge_.CountLines("HID: " + unusedPath + " was written 0 reports"), 1) << bridge_.Log();
  EXPECT_EQ(bridge_.CountLines("HID: " + usedPath + " was written 0 reports"), 0) << bridge_.Log();
}

}  // namespace
}  // namespace tev::driver
