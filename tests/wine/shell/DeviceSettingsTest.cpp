// Tools > Device Settings driven from outside: the real demo against altimeter-sim over the sim link.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "tests/wine/shell/ConnectionIconSeen.h"
#include "tests/wine/shell/DemoTest.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {
namespace {

using Lines = std::vector<std::wstring>;

constexpr int kOperations[] = {IDC_SETTINGS_READ, IDC_SETTINGS_WRITE, IDC_SETTINGS_CALIBRATE};
constexpr int kFlightPackets = 49;  // hop, park and sport: 8, 15 and 26 packets

class DeviceSettingsTest : public DemoTest {
 protected:
  // Opens the dialog once the altimeter (if any) is attached and the dialog has said what it found.
  Dialog Open(const wchar_t* found) {
    Dialog dialog = Dialog::OpenFromMenu(main_, IDM_TOOLS_SETTINGS, L"Program Chip", kTimeoutMs);
    EXPECT_TRUE(dialog) << "no Program Chip dialog";
    if (dialog) {
      EXPECT_TRUE(dialog.WaitForStatusLine(found, kTimeoutMs));
    }
    return dialog;
  }
  // The altimeter holds hop, park and sport: Capture Data reads them back as kFlightPackets.
  Dialog OpenConnected(const std::wstring& simOptions = {}) {
    SimOptions options;
    options.flights = L"hop,park,sport";
    options.more = simOptions;
    SimulatedAltimeter& sim = StartSim(options);
    EXPECT_TRUE(sim.WaitUntilAttached(kTimeoutMs));
    Dialog dialog = Open(L"Device Connected.");
    EXPECT_TRUE(WaitIdle(dialog));
    return dialog;
  }
  Dialog Reopen() {
    Dialog dialog = Open(L"Device Connected.");
    EXPECT_TRUE(WaitIdle(dialog));
    return dialog;
  }
  // What the device holds now, as Capture Data reads it: its packets, -1 when no read ended. The
  // settings dialog is closed first.
  int PacketsOnDevice() {
    Dialog capture = Dialog::OpenFromMenu(main_, IDM_TOOLS_CAPTURE, L"Capture Data", kTimeoutMs);
    if (!capture || !capture.WaitForStatusLine(L"Device Connected.", kTimeoutMs) || !capture.Click(IDC_CAPTURE_READ)) {
      return -1;
    }
    const std::wstring prefix = L"Packets Read: ";
    int packets = -1;
    WaitUntil(30000, [&] {
      for (const std::wstring& line : capture.StatusLines()) {
        if (line.rfind(prefix, 0) == 0) packets = std::stoi(line.substr(prefix.size()));
      }
      return packets >= 0;
    });
    EXPECT_TRUE(capture.Close(kTimeoutMs));
    return packets;
  }
  static bool AllEnabled(const Dialog& d) {
    for (int id : kOperations) {
      if (!d.Enabled(id)) return false;
    }
    return true;
  }
  // The dialog holds the buttons back until it has heard that the worker ended, so enabled
  // buttons are that end.
  static bool WaitIdle(const Dialog& d) { return WaitUntil(kTimeoutMs, [&] { return AllEnabled(d); }); }
  // The status lines from the last `line` on (none when it is not there).
  static Lines LinesFrom(const Dialog& d, const std::wstring& line) {
    const Lines all = d.StatusLines();
    for (size_t i = all.size(); i-- > 0;) {
      if (all[i] == line) return Lines(all.begin() + static_cast<long>(i), all.end());
    }
    return {};
  }
  void ExpectDefaultsShown(const Dialog& d) {
    EXPECT_EQ(d.Checked(IDC_SETTINGS_LINE_A_APOGEE), BST_CHECKED);
    EXPECT_EQ(d.Checked(IDC_SETTINGS_LINE_A_DISABLED), BST_UNCHECKED);
    EXPECT_EQ(d.Checked(IDC_SETTINGS_LINE_B_ALTITUDE), BST_CHECKED);
    EXPECT_EQ(d.Checked(IDC_SETTINGS_LINE_B_DISABLED), BST_UNCHECKED);
    EXPECT_EQ(d.Text(IDC_SETTINGS_LINE_A_TIME_EDIT), L"15");
    EXPECT_EQ(d.Text(IDC_SETTINGS_LINE_B_TIME_EDIT), L"15");
    EXPECT_EQ(d.Text(IDC_SETTINGS_LINE_A_ALT_EDIT), L"150");
    EXPECT_EQ(d.Text(IDC_SETTINGS_LINE_B_ALT_EDIT), L"150");
    EXPECT_EQ(d.Text(IDC_SETTINGS_INHIBIT_EDIT), L"2");
  }
};

TEST_F(DeviceSettingsTest, OpensWithoutADeviceOnTheDefaultsWithTheButtonsDisabled) {
  Dialog d = Open(L"Device not found.");
  ASSERT_TRUE(d);
  EXPECT_EQ(d.StatusLines(), (Lines{L"Warning!", L"Writing settings or calibrating will clear the current data on the device!",
                                    L"", L"Device not found."}));
  EXPECT_TRUE(WaitForConnectionIcon(d, IDC_SETTINGS_ICON, IconShown::NotConnected, kTimeoutMs)) << "not icon 109";
  for (int id : kOperations) EXPECT_FALSE(d.Enabled(id)) << "control " << id;
  EXPECT_TRUE(d.Enabled(IDC_SETTINGS_CLOSE));
  ExpectDefaultsShown(d);
  ShotOf(d.Window(), L"no-device");
  ASSERT_TRUE(d.Click(IDC_SETTINGS_CLOSE));
  EXPECT_TRUE(d.WaitUntilGone(kTimeoutMs));
}

TEST_F(DeviceSettingsTest, AWriteAndARead) {
  Dialog d = OpenConnected();
  ASSERT_TRUE(d);
  EXPECT_TRUE(WaitForConnectionIcon(d, IDC_SETTINGS_ICON, IconShown::Connected, kTimeoutMs)) << "not icon 110";
  ASSERT_TRUE(d.Click(IDC_SETTINGS_LINE_A_TIME));
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return d.Enabled(IDC_SETTINGS_LINE_A_TIME_EDIT); }));
  EXPECT_FALSE(d.Enabled(IDC_SETTINGS_LINE_A_ALT_EDIT));
  ASSERT_TRUE(d.Type(IDC_SETTINGS_LINE_A_TIME_EDIT, L"15"));
  ASSERT_TRUE(d.Type(IDC_SETTINGS_LINE_B_ALT_EDIT, L"420"));
  ASSERT_TRUE(d.Type(IDC_SETTINGS_INHIBIT_EDIT, L"3"));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_WRITE));
  ASSERT_TRUE(d.WaitForStatusLine(L"Settings written successfully.", kTimeoutMs));
  EXPECT_EQ(LinesFrom(d, L"Attempting to connect to device."),
            (Lines{L"Attempting to connect to device.", L"Altimeter found! Writing settings...",
                   L"Settings written successfully."}));
  ASSERT_TRUE(WaitIdle(d));
  EXPECT_EQ(d.Text(IDC_SETTINGS_LINE_A_ALT_EDIT), L"150") << "15 s is written as 150 and shown so";

  // Something else on screen, then the device's settings read back.
  ASSERT_TRUE(d.Click(IDC_SETTINGS_LINE_A_APOGEE));
  ASSERT_TRUE(d.Type(IDC_SETTINGS_INHIBIT_EDIT, L"9"));
  ASSERT_TRUE(d.Type(IDC_SETTINGS_LINE_B_ALT_EDIT, L"1"));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_READ));
  ASSERT_TRUE(d.WaitForStatusLine(L"Settings read successfully.", kTimeoutMs));
  ASSERT_TRUE(WaitIdle(d));
  EXPECT_EQ(d.Checked(IDC_SETTINGS_LINE_A_TIME), BST_CHECKED);
  EXPECT_EQ(d.Checked(IDC_SETTINGS_LINE_A_APOGEE), BST_UNCHECKED);
  EXPECT_EQ(d.Text(IDC_SETTINGS_LINE_A_TIME_EDIT), L"15");
  EXPECT_EQ(d.Text(IDC_SETTINGS_LINE_B_ALT_EDIT), L"420");
  EXPECT_EQ(d.Text(IDC_SETTINGS_INHIBIT_EDIT), L"3");
  EXPECT_TRUE(d.Enabled(IDC_SETTINGS_LINE_A_TIME_EDIT));
  ShotOf(d.Window(), L"after-read");
}

TEST_F(DeviceSettingsTest, ALargeInhibitIsQuestionedAndThenWritten) {
  Dialog d = OpenConnected();
  ASSERT_TRUE(d);
  ASSERT_TRUE(d.Type(IDC_SETTINGS_INHIBIT_EDIT, L"21"));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_WRITE));
  const MessageBoxSeen box =
      ExpectMessageBox(L"The inhibit setting is very large. Please make sure that it is the correct setting.");
  ShotOf(box.window, L"inhibit-warning");
  EXPECT_EQ(d.CountStatusLines(L"Attempting to connect to device."), 0) << "went on before the answer";
  Answer(box, IDOK);
  ASSERT_TRUE(d.WaitForStatusLine(L"Settings written successfully.", kTimeoutMs));
  ASSERT_TRUE(WaitIdle(d));
  ASSERT_TRUE(d.Type(IDC_SETTINGS_INHIBIT_EDIT, L"2"));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_READ));
  ASSERT_TRUE(d.WaitForStatusLine(L"Settings read successfully.", kTimeoutMs));
  ASSERT_TRUE(WaitIdle(d));
  EXPECT_EQ(d.Text(IDC_SETTINGS_INHIBIT_EDIT), L"21");
}

TEST_F(DeviceSettingsTest, BothLinesDisabledAreQuestionedOnce) {
  Dialog d = OpenConnected();
  ASSERT_TRUE(d);
  ASSERT_TRUE(d.Click(IDC_SETTINGS_LINE_A_DISABLED));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_LINE_B_DISABLED));
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return !d.Enabled(IDC_SETTINGS_LINE_B_ALT_EDIT); }));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_WRITE));
  Answer(ExpectMessageBox(L"One or both of the ejection lines are disabled. Make sure this is correct."), IDOK);
  ASSERT_TRUE(d.WaitForStatusLine(L"Settings written successfully.", kTimeoutMs));
  EXPECT_EQ(WaitForMessageBox(demo_.Id(), L"TEV USB 1.40", 1000).window, nullptr) << "asked a second time";
}

TEST_F(DeviceSettingsTest, ABadChecksumShowsTheDefaults) {
  Dialog d = OpenConnected(L"--bad-settings-checksum");
  ASSERT_TRUE(d);
  // Something else on screen first, so that the defaults are seen to come back.
  ASSERT_TRUE(d.Click(IDC_SETTINGS_LINE_A_DISABLED));
  ASSERT_TRUE(d.Type(IDC_SETTINGS_INHIBIT_EDIT, L"5"));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_READ));
  ASSERT_TRUE(d.WaitForStatusLine(L"Displaying default settings.", kTimeoutMs));
  EXPECT_EQ(LinesFrom(d, L"Altimeter found! Reading settings..."),
            (Lines{L"Altimeter found! Reading settings...", L"Checksum failed. The device settings are invalid.",
                   L"Displaying default settings."}));
  ASSERT_TRUE(WaitIdle(d)) << "Write Settings and Calibrate Device stay enabled";
  ExpectDefaultsShown(d);
}

TEST_F(DeviceSettingsTest, ACalibrationShowsEveryStep) {
  Dialog d = OpenConnected(L"--adc 830");
  ASSERT_TRUE(d);
  ASSERT_TRUE(d.Type(IDC_SETTINGS_GROUND_ALT_EDIT, L"100"));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_CALIBRATE));
  ASSERT_TRUE(d.WaitForStatusLine(L"Calibration complete.", kTimeoutMs));
  EXPECT_EQ(LinesFrom(d, L"Calibrating..."),
            (Lines{L"Calibrating...", L"ADC Real: 825", L"ADC Device: 830", L"ADC Offset: -5",
                   L"Attempting to connect to device.", L"Altimeter found! Writing settings...",
                   L"Settings written successfully.", L"Calibration complete."}));
  EXPECT_TRUE(WaitIdle(d));
  ShotOf(d.Window(), L"after-calibration");
}

// However many digits the ground altitude is written with, it is read whole.
TEST_F(DeviceSettingsTest, AGroundAltitudeWithLeadingZerosCalibratesAsItsNumber) {
  Dialog d = OpenConnected(L"--adc 830");
  ASSERT_TRUE(d);
  const std::wstring altitudes[] = {L"100", L"0000000000000100", L"000000000000000000000000000100"};
  int calibrations = 0;
  for (const std::wstring& altitude : altitudes) {
    SCOPED_TRACE(std::string(altitude.begin(), altitude.end()));
    ASSERT_TRUE(d.Type(IDC_SETTINGS_GROUND_ALT_EDIT, altitude));
    ASSERT_TRUE(d.Click(IDC_SETTINGS_CALIBRATE));
    ASSERT_TRUE(d.WaitForStatusLine(L"Calibration complete.", kTimeoutMs, ++calibrations));
    EXPECT_EQ(LinesFrom(d, L"Calibrating..."),
              (Lines{L"Calibrating...", L"ADC Real: 825", L"ADC Device: 830", L"ADC Offset: -5",
                     L"Attempting to connect to device.", L"Altimeter found! Writing settings...",
                     L"Settings written successfully.", L"Calibration complete."}));
    ASSERT_TRUE(WaitIdle(d));
  }
}

// The demo's sensor reads 836; 5000 m would need an offset of -436.
TEST_F(DeviceSettingsTest, AnOffsetTheDeviceCannotHoldIsRefusedBeforeAnyFlightIsErased) {
  Dialog d = OpenConnected(L"--adc 836");
  ASSERT_TRUE(d);
  ASSERT_TRUE(d.Type(IDC_SETTINGS_GROUND_ALT_EDIT, L"5000"));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_CALIBRATE));
  ASSERT_TRUE(d.WaitForStatusLine(L"Failed to calibrate.", kTimeoutMs));
  EXPECT_EQ(LinesFrom(d, L"Calibrating..."),
            (Lines{L"Calibrating...", L"ADC Real: 400", L"ADC Device: 836", L"ADC Offset: -436",
                   L"ADC Offset -436 does not fit the device: it holds offsets from -128 to 127. Nothing was written.",
                   L"Failed to calibrate."}));
  ASSERT_TRUE(WaitIdle(d));
  EXPECT_EQ(demo_.CountLines("Writting Settings..."), 0);
  ASSERT_TRUE(d.Close(kTimeoutMs));
  EXPECT_EQ(PacketsOnDevice(), kFlightPackets) << "the refused calibration erased flights";
}

// An edit a write reads that holds no number is refused at the click, whichever button, before
// anything is erased or sent; a typed 0 is a number and is written.
TEST_F(DeviceSettingsTest, AnEntryThatIsNotANumberIsRefusedAndNothingIsWritten) {
  Dialog d = OpenConnected();
  ASSERT_TRUE(d);
  ASSERT_TRUE(d.Click(IDC_SETTINGS_LINE_A_TIME));
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return d.Enabled(IDC_SETTINGS_LINE_A_TIME_EDIT); }));
  ASSERT_TRUE(d.Type(IDC_SETTINGS_GROUND_ALT_EDIT, L"100"));
  const std::wstring nothing = L" Nothing was written.";
  const std::wstring lineATime = L"Line A Time [s] is not a number: enter whole seconds in digits." + nothing;
  const struct {
    const wchar_t* lineATime;
    const wchar_t* lineBAlt;
    const wchar_t* inhibit;
    int button;
    std::wstring refusal;
  } cases[] = {
      {L"", L"150", L"2", IDC_SETTINGS_WRITE, lineATime},
      {L"abc", L"150", L"2", IDC_SETTINGS_WRITE, lineATime},
      {L" 12", L"150", L"2", IDC_SETTINGS_WRITE, lineATime},
      {L"\u0661\u0662", L"150", L"2", IDC_SETTINGS_WRITE, lineATime},
      {L"", L"150", L"2", IDC_SETTINGS_CALIBRATE, lineATime},
      {L"7", L"", L"2", IDC_SETTINGS_WRITE,
       L"Line B Alt [m AGL] is not a number: enter whole metres in digits." + nothing},
      {L"7", L"150", L"", IDC_SETTINGS_WRITE, L"Inhibit [s] is not a number: enter whole seconds in digits." + nothing},
      {L"7", L"150", L"-5", IDC_SETTINGS_CALIBRATE,
       L"Inhibit [s] is not a number: enter whole seconds in digits." + nothing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::string(c.refusal.begin(), c.refusal.begin() + 12) << " by button "
                                      << c.button);
    ASSERT_TRUE(d.Type(IDC_SETTINGS_LINE_A_TIME_EDIT, c.lineATime));
    ASSERT_TRUE(d.Type(IDC_SETTINGS_LINE_B_ALT_EDIT, c.lineBAlt));
    ASSERT_TRUE(d.Type(IDC_SETTINGS_INHIBIT_EDIT, c.inhibit));
    const int before = d.CountStatusLines(c.refusal);
    ASSERT_TRUE(d.Click(c.button));
    ASSERT_TRUE(d.WaitForStatusLine(c.refusal, kTimeoutMs, before + 1));
    EXPECT_TRUE(AllEnabled(d));
  }
  EXPECT_EQ(d.CountStatusLines(L"Attempting to connect to device."), 0);
  EXPECT_EQ(d.CountStatusLines(L"Calibrating..."), 0);
  EXPECT_EQ(demo_.CountLines("Writting Settings..."), 0);
  ShotOf(d.Window(), L"not-a-number");
  ASSERT_TRUE(d.Close(kTimeoutMs));

  // The device still holds its flights and its own settings (Line A on Apogee, not on Time).
  EXPECT_EQ(PacketsOnDevice(), kFlightPackets);
  d = Reopen();
  ASSERT_TRUE(d);
  ASSERT_TRUE(d.Click(IDC_SETTINGS_READ));
  ASSERT_TRUE(d.WaitForStatusLine(L"Settings read successfully.", kTimeoutMs));
  ASSERT_TRUE(WaitIdle(d));
  ExpectDefaultsShown(d);

  ASSERT_TRUE(d.Click(IDC_SETTINGS_LINE_A_TIME));
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return d.Enabled(IDC_SETTINGS_LINE_A_TIME_EDIT); }));
  ASSERT_TRUE(d.Type(IDC_SETTINGS_LINE_A_TIME_EDIT, L"0"));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_WRITE));
  ASSERT_TRUE(d.WaitForStatusLine(L"Settings written successfully.", kTimeoutMs));
  ASSERT_TRUE(WaitIdle(d));
  ASSERT_TRUE(d.Type(IDC_SETTINGS_LINE_A_TIME_EDIT, L"9"));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_READ));
  ASSERT_TRUE(d.WaitForStatusLine(L"Settings read successfully.", kTimeoutMs, 2));
  ASSERT_TRUE(WaitIdle(d));
  EXPECT_EQ(d.Checked(IDC_SETTINGS_LINE_A_TIME), BST_CHECKED);
  EXPECT_EQ(d.Text(IDC_SETTINGS_LINE_A_TIME_EDIT), L"0");
}

TEST_F(DeviceSettingsTest, CloseDuringAWriteClosesOnceTheWriteIsDone) {
  // The device takes 2.5 s to store the block: the write is still open when Close is clicked.
  Dialog d = OpenConnected(L"--settings-write-delay 2500");
  ASSERT_TRUE(d);
  ASSERT_TRUE(d.Click(IDC_SETTINGS_WRITE));
  ASSERT_TRUE(d.WaitForStatusLine(L"Altimeter found! Writing settings...", kTimeoutMs));
  ASSERT_TRUE(demo_.WaitForLine("Settings Packet Written: 15", kTimeoutMs));
  const size_t mark = demo_.LineCount();
  ASSERT_TRUE(d.Click(IDC_SETTINGS_CLOSE));
  EXPECT_TRUE(demo_.WaitForLineAfter(mark, "reposting close message...", kTimeoutMs));
  EXPECT_TRUE(d) << "closed under the write";
  ASSERT_TRUE(d.WaitUntilGone(kTimeoutMs));
  // The write's completion came before the dialog let its worker go.
  const std::vector<std::string> lines = demo_.Lines();
  std::vector<std::string> after(lines.begin() + static_cast<long>(mark), lines.end());
  const auto done = std::find(after.begin(), after.end(), "Done.");
  const auto exited = std::find(after.begin(), after.end(), "Thread has exited.");
  EXPECT_NE(done, after.end()) << "the write never completed";
  EXPECT_NE(exited, after.end());
  EXPECT_LT(done - after.begin(), exited - after.begin());
}

TEST_F(DeviceSettingsTest, AnEntryTooLargeIsRefusedBeforeAnythingIsErased) {
  Dialog d = OpenConnected();
  ASSERT_TRUE(d);
  ASSERT_TRUE(d.Click(IDC_SETTINGS_LINE_B_TIME));
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return d.Enabled(IDC_SETTINGS_LINE_B_TIME_EDIT); }));
  ASSERT_TRUE(d.Type(IDC_SETTINGS_LINE_B_TIME_EDIT, L"7000"));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_WRITE));
  const std::wstring refusal = L"Line B Time [s] is too large: the device holds at most 6553 s. Nothing was written.";
  ASSERT_TRUE(d.WaitForStatusLine(refusal, kTimeoutMs));
  ASSERT_TRUE(d.Type(IDC_SETTINGS_GROUND_ALT_EDIT, L"100"));
  ASSERT_TRUE(d.Click(IDC_SETTINGS_CALIBRATE));
  ASSERT_TRUE(d.WaitForStatusLine(refusal, kTimeoutMs, 2));
  EXPECT_EQ(d.CountStatusLines(L"Attempting to connect to device."), 0);
  EXPECT_EQ(d.CountStatusLines(L"Calibrating..."), 0);
  EXPECT_TRUE(AllEnabled(d));
}

}  // namespace
}  // namespace tev::driver
