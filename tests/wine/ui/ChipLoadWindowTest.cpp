// Tools > Device Settings in-process under Wine, against simulated altimeters on the test bus.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>

#include "resources/ResourceIds.h"
#include "sim/VirtualBus.h"
#include "tests/device/FlightSims.h"
#include "tests/support/LogCapture.h"
#include "tests/wine/plot/TestWindow.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/ui/ModalDialog.h"
#include "tests/wine/ui/ProgramMessageBox.h"
#include "ui/dialogs/ChipLoadWindow.h"
#include "ui/framework/DialogClass.h"

namespace tev {
namespace {

using testing::AnswerProgramMessage;
using testing::ControlText;
using testing::RunModal;
using testing::WaitUntil;
using driver::Enabled;
using driver::Click;

constexpr int kOperations[] = {IDC_SETTINGS_READ, IDC_SETTINGS_WRITE, IDC_SETTINGS_CALIBRATE};

bool Checked(HWND window, int id) { return ::IsDlgButtonChecked(window, id) == BST_CHECKED; }
void ChooseRadio(HWND window, int first, int last, int id) {
  ::CheckRadioButton(window, first, last, id);
  EXPECT_TRUE(Click(window, id));
}
void SetText(HWND window, int id, const wchar_t* text) { ::SetDlgItemTextW(window, id, text); }

class DeviceSettingsDialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterDialogClass()); }
  void SetUp() override { sim->State().adcCount = 830; }

  bool StatusHas(const CChipLoadWindow& dialog, const std::wstring& text) const {
    return dialog.StatusTextNow().find(text) != std::wstring::npos;
  }
  bool WaitForStatus(const CChipLoadWindow& dialog, const std::wstring& text) const {
    return WaitUntil(10000, [&] { return StatusHas(dialog, text); });
  }
  bool OperationsEnabled(HWND window) const {
    return std::all_of(std::begin(kOperations), std::end(kOperations), [&](int id) { return Enabled(window, id); });
  }
  // The dialog holds the buttons back until it has heard that the worker ended, so enabled
  // buttons are that end and the next click is taken.
  bool WaitIdle(HWND window) const { return WaitUntil(10000, [&] { return OperationsEnabled(window); }); }
  bool OperationsDisabled(HWND window) const {
    return std::none_of(std::begin(kOperations), std::end(kOperations), [&](int id) { return Enabled(window, id); });
  }

  LogCapture log;
  std::shared_ptr<SimAltimeter> sim = MakeFlightSim(SampleMemory());
  VirtualBus bus;
  AltimeterDevice device{bus};
};

TEST_F(DeviceSettingsDialog, OpensWithoutADeviceOnTheDefaultsWithItsButtonsDisabled) {
  CChipLoadWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Program Chip", [&](HWND window) {
    EXPECT_TRUE(WaitUntil(5000, [&] {
      return ControlText(window, IDC_STATUS) ==
             L"Warning!\r\nWriting settings or calibrating will clear the current data on the device!\r\n\r\n"
             L"Device not found.\r\n";
    })) << ::testing::PrintToString(ControlText(window, IDC_STATUS));
    EXPECT_TRUE(OperationsDisabled(window));
    EXPECT_TRUE(Enabled(window, IDC_SETTINGS_CLOSE));
    EXPECT_TRUE(Checked(window, IDC_SETTINGS_LINE_A_APOGEE));
    EXPECT_FALSE(Checked(window, IDC_SETTINGS_LINE_A_DISABLED));
    EXPECT_TRUE(Checked(window, IDC_SETTINGS_LINE_B_ALTITUDE));
    EXPECT_FALSE(Checked(window, IDC_SETTINGS_LINE_B_DISABLED));
    for (int id : {IDC_SETTINGS_LINE_A_TIME_EDIT, IDC_SETTINGS_LINE_B_TIME_EDIT}) EXPECT_EQ(ControlText(window, id), L"15");
    for (int id : {IDC_SETTINGS_LINE_A_ALT_EDIT, IDC_SETTINGS_LINE_B_ALT_EDIT}) EXPECT_EQ(ControlText(window, id), L"150");
    EXPECT_EQ(ControlText(window, IDC_SETTINGS_INHIBIT_EDIT), L"2");
    // Apogee uses no edit; Altitude its Alt edit.
    EXPECT_FALSE(Enabled(window, IDC_SETTINGS_LINE_A_TIME_EDIT));
    EXPECT_FALSE(Enabled(window, IDC_SETTINGS_LINE_A_ALT_EDIT));
    EXPECT_FALSE(Enabled(window, IDC_SETTINGS_LINE_B_TIME_EDIT));
    EXPECT_TRUE(Enabled(window, IDC_SETTINGS_LINE_B_ALT_EDIT));

    ChooseRadio(window, IDC_SETTINGS_LINE_A_DISABLED, IDC_SETTINGS_LINE_A_APOGEE, IDC_SETTINGS_LINE_A_TIME);
    EXPECT_TRUE(WaitUntil(5000, [&] { return Enabled(window, IDC_SETTINGS_LINE_A_TIME_EDIT); }));
    EXPECT_FALSE(Enabled(window, IDC_SETTINGS_LINE_A_ALT_EDIT));
    EXPECT_EQ(ControlText(window, IDC_SETTINGS_LINE_A_ALT_EDIT), L"150") << "the edits keep their text";

    const testing::Pixels shot = testing::CaptureWindow(window);
    win32::testing::SaveScreenshot(L"device-settings-no-device", shot.data, shot.width, shot.height);
  }));
}

TEST_F(DeviceSettingsDialog, WritesTheEntriesThenReadsThemBack) {
  bus.Plug(sim);
  device.currentSet.adc = {800, 801};
  CChipLoadWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Program Chip", [&](HWND window) {
    ASSERT_TRUE(WaitUntil(5000, [&] { return OperationsEnabled(window); }));
    ChooseRadio(window, IDC_SETTINGS_LINE_A_DISABLED, IDC_SETTINGS_LINE_A_APOGEE, IDC_SETTINGS_LINE_A_TIME);
    SetText(window, IDC_SETTINGS_LINE_A_TIME_EDIT, L"15");
    SetText(window, IDC_SETTINGS_LINE_A_ALT_EDIT, L"999");
    SetText(window, IDC_SETTINGS_LINE_B_ALT_EDIT, L"420");
    SetText(window, IDC_SETTINGS_INHIBIT_EDIT, L"3");
    ASSERT_TRUE(Click(window, IDC_SETTINGS_WRITE));
    ASSERT_TRUE(WaitForStatus(dialog, L"Settings written successfully.\r\n"));
    EXPECT_TRUE(WaitUntil(5000, [&] { return ControlText(window, IDC_SETTINGS_LINE_A_ALT_EDIT) == L"150"; }))
        << "the Alt edit shows the value written";
    EXPECT_TRUE(WaitIdle(window));
    EXPECT_TRUE(device.currentSet.adc.empty()) << "the flight on display was not forgotten";
    const auto& block = sim->State().settingsBlock;
    EXPECT_EQ(block[9], 0x31);
    EXPECT_EQ(block[10], 150);
    EXPECT_EQ(block[12] | block[13] << 8, 420);
    EXPECT_EQ(block[5], 30);

    // Back to the defaults on screen, then read from the device.
    device.settings.SetDefaults();
    ::SendMessageW(window, WM_COMMAND, IDC_SETTINGS_LINE_A_APOGEE, 0);
    ::CheckRadioButton(window, IDC_SETTINGS_LINE_A_DISABLED, IDC_SETTINGS_LINE_A_APOGEE, IDC_SETTINGS_LINE_A_APOGEE);
    SetText(window, IDC_SETTINGS_INHIBIT_EDIT, L"2");
    ASSERT_TRUE(Click(window, IDC_SETTINGS_READ));
    ASSERT_TRUE(WaitForStatus(dialog, L"Settings read successfully.\r\n"));
    EXPECT_TRUE(WaitIdle(window));  // the controls are shown before the buttons come back
    EXPECT_TRUE(Checked(window, IDC_SETTINGS_LINE_A_TIME));
    EXPECT_FALSE(Checked(window, IDC_SETTINGS_LINE_A_APOGEE));
    EXPECT_EQ(ControlText(window, IDC_SETTINGS_INHIBIT_EDIT), L"3");
    EXPECT_EQ(ControlText(window, IDC_SETTINGS_LINE_B_ALT_EDIT), L"420");
    EXPECT_TRUE(Enabled(window, IDC_SETTINGS_LINE_A_TIME_EDIT));
    const testing::Pixels shot = testing::CaptureWindow(window);
    win32::testing::SaveScreenshot(L"device-settings-after-read", shot.data, shot.width, shot.height);
  }));
}

TEST_F(DeviceSettingsDialog, AnEntryTooLargeIsRefusedAtTheClickAndNothingIsTouched) {
  bus.Plug(sim);
  device.currentSet.adc = {800, 801};
  CChipLoadWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Program Chip", [&](HWND window) {
    ASSERT_TRUE(WaitUntil(5000, [&] { return OperationsEnabled(window); }));
    const std::size_t outputs = sim->Received().size();
    SetText(window, IDC_SETTINGS_INHIBIT_EDIT, L"7000");
    ASSERT_TRUE(Click(window, IDC_SETTINGS_WRITE));
    EXPECT_TRUE(WaitForStatus(dialog, L"Inhibit [s] is too large: the device holds at most 6553 s. Nothing was written.\r\n"));
    SetText(window, IDC_SETTINGS_GROUND_ALT_EDIT, L"100");
    ASSERT_TRUE(Click(window, IDC_SETTINGS_CALIBRATE));
    EXPECT_TRUE(WaitUntil(5000, [&] {
      const std::wstring s = dialog.StatusTextNow();
      return s.find(L"Inhibit [s]") != s.rfind(L"Inhibit [s]");
    })) << "the calibration did not refuse it too";
    // The click has been handled: a worker it started would hold the buttons by now.
    ASSERT_TRUE(driver::Drain(window));
    EXPECT_EQ(sim->Received().size(), outputs) << "something was sent";
    EXPECT_EQ(device.currentSet.adc.size(), 2u) << "the flight on display was forgotten";
    EXPECT_FALSE(StatusHas(dialog, L"Attempting to connect"));
    EXPECT_TRUE(OperationsEnabled(window));
  }));
}

TEST_F(DeviceSettingsDialog, ACalibrationWithoutAGroundAltitudeAsksForOne) {
  bus.Plug(sim);
  CChipLoadWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Program Chip", [&](HWND window) {
    ASSERT_TRUE(WaitUntil(5000, [&] { return OperationsEnabled(window); }));
    for (const wchar_t* ground : {L"", L"44330"}) {
      SetText(window, IDC_SETTINGS_GROUND_ALT_EDIT, ground);
      ASSERT_TRUE(Click(window, IDC_SETTINGS_CALIBRATE));
      EXPECT_EQ(AnswerProgramMessage(IDOK), L"Please enter your aproximate MSL altitude and try again.");
    }
    EXPECT_FALSE(StatusHas(dialog, L"Calibrating"));
    EXPECT_TRUE(OperationsEnabled(window));
  }));
}

TEST_F(DeviceSettingsDialog, ACalibrationShowsItsLinesAndWarnsBeforeItWrites) {
  bus.Plug(sim);
  CChipLoadWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Program Chip", [&](HWND window) {
    ASSERT_TRUE(WaitUntil(5000, [&] { return OperationsEnabled(window); }));
    ChooseRadio(window, IDC_SETTINGS_LINE_A_DISABLED, IDC_SETTINGS_LINE_A_APOGEE, IDC_SETTINGS_LINE_A_DISABLED);
    ChooseRadio(window, IDC_SETTINGS_LINE_B_DISABLED, IDC_SETTINGS_LINE_B_APOGEE, IDC_SETTINGS_LINE_B_DISABLED);
    SetText(window, IDC_SETTINGS_INHIBIT_EDIT, L"21");
    SetText(window, IDC_SETTINGS_GROUND_ALT_EDIT, L"100");
    ASSERT_TRUE(Click(window, IDC_SETTINGS_CALIBRATE));
    EXPECT_EQ(AnswerProgramMessage(IDOK),
              L"The inhibit setting is very large. Please make sure that it is the correct setting.");
    EXPECT_TRUE(OperationsDisabled(window)) << "a button came back while the worker waits";
    EXPECT_EQ(AnswerProgramMessage(IDOK), L"One or both of the ejection lines are disabled. Make sure this is correct.");
    ASSERT_TRUE(WaitForStatus(dialog, L"Calibration complete.\r\n"));
    EXPECT_FALSE(testing::ProgramMessageShown()) << "a warning came twice";
    const std::wstring status = dialog.StatusTextNow();
    const std::wstring expected =
        L"Calibrating...\r\nADC Real: 825\r\nADC Device: 830\r\nADC Offset: -5\r\n"
        L"Attempting to connect to device.\r\nAltimeter found! Writing settings...\r\n"
        L"Settings written successfully.\r\nCalibration complete.\r\n";
    EXPECT_TRUE(status.ends_with(expected)) << ::testing::PrintToString(status);
    EXPECT_EQ(static_cast<std::int8_t>(sim->State().settingsBlock[8]), -5);
    EXPECT_EQ(sim->State().settingsBlock[5], 210);
    EXPECT_TRUE(WaitUntil(5000, [&] { return OperationsEnabled(window); }));
  }));
}

TEST_F(DeviceSettingsDialog, ABadChecksumShowsTheDefaultsAndLeavesTheButtonsEnabled) {
  sim->State().settingsBlock[9] = 0x11;
  bus.Plug(sim);
  device.settings.lineBMode = LineMode::Time;
  CChipLoadWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Program Chip", [&](HWND window) {
    ASSERT_TRUE(WaitUntil(5000, [&] { return OperationsEnabled(window); }));
    EXPECT_TRUE(Checked(window, IDC_SETTINGS_LINE_B_TIME));
    ASSERT_TRUE(Click(window, IDC_SETTINGS_READ));
    ASSERT_TRUE(WaitForStatus(dialog, L"Checksum failed. The device settings are invalid.\r\nDisplaying default settings.\r\n"));
    EXPECT_TRUE(WaitUntil(5000, [&] { return Checked(window, IDC_SETTINGS_LINE_B_ALTITUDE); }));
    EXPECT_TRUE(Checked(window, IDC_SETTINGS_LINE_A_APOGEE));
    EXPECT_TRUE(WaitUntil(5000, [&] { return OperationsEnabled(window); }));
  }));
}

TEST_F(DeviceSettingsDialog, CloseDuringAWriteWaitsForTheWrite) {
  bus.Plug(sim);
  win32::UniqueKernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<bool> held{false};
  std::atomic<std::size_t> writeStart{SIZE_MAX};
  // Hold the write's completion read (after clear, reset, command and 16 bytes) until released.
  bus.SetBeforeTransfer([&](VirtualBus::Transfer::Kind kind, std::uint32_t) {
    if (kind == VirtualBus::Transfer::Kind::Read && writeStart != SIZE_MAX && sim->Received().size() >= writeStart + 19 && !held.exchange(true)) {
      ::WaitForSingleObject(release.Get(), 20000);
    }
  });
  auto dialog = std::make_unique<CChipLoadWindow>(device);
  ASSERT_TRUE(RunModal(*dialog, L"Program Chip", [&](HWND window) {
    ASSERT_TRUE(WaitUntil(5000, [&] { return OperationsEnabled(window); }));
    writeStart = sim->Received().size();
    ASSERT_TRUE(Click(window, IDC_SETTINGS_WRITE));
    ASSERT_TRUE(WaitUntil(10000, [&] { return held.load(); }));
    ASSERT_TRUE(Click(window, IDC_SETTINGS_CLOSE));
    EXPECT_TRUE(WaitUntil(5000, [&] {
      const auto lines = log.Lines();
      return std::count(lines.begin(), lines.end(), "reposting close message...") >= 2;
    }));
    EXPECT_TRUE(::IsWindow(window));
    ::SetEvent(release.Get());
    EXPECT_TRUE(WaitUntil(10000, [&] { return !::IsWindow(window); }));
  }));
  EXPECT_TRUE(dialog->StatusTextNow().ends_with(L"Settings written successfully.\r\n"));
}

}  // namespace
}  // namespace tev
