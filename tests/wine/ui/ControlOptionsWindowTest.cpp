// Tools > Control Device in-process under Wine, against simulated altimeters on the test bus.
#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>

#include "device/win32/DeviceChange.h"
#include "resources/ResourceIds.h"
#include "sim/FlightModel.h"
#include "sim/VirtualBus.h"
#include "tests/device/FlightSims.h"
#include "tests/support/LogCapture.h"
#include "tests/wine/plot/TestWindow.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/ui/ModalDialog.h"
#include "tests/wine/ui/ProgramMessageBox.h"
#include "ui/dialogs/ControlOptionsWindow.h"
#include "ui/framework/DialogClass.h"
#include "win32/Guards.h"

namespace tev {
namespace {

using testing::AnswerProgramMessage;
using testing::ControlText;
using testing::RunModal;
using testing::WaitUntil;
using driver::Enabled;
using driver::Click;

constexpr int kOperations[] = {IDC_CONTROL_READ_PRESSURE, IDC_CONTROL_READ_BATTERY, IDC_CONTROL_FIRE};


class ControlDeviceDialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterDialogClass()); }
  void SetUp() override { sim->State().adcCount = 830; }

  void ShowSampleFlight() {
    const PacketList memory = sim::RecordMemory({sim::SampleFlightProfiles()[0]}, sim::FlightSettings{});
    BuildDataSet(memory, device.currentSet, 0, DeviceSettings{}, 0);
  }
  bool OperationsEnabled(HWND window) const {
    return std::all_of(std::begin(kOperations), std::end(kOperations), [&](int id) { return Enabled(window, id); });
  }
  bool Idle(HWND window) const { return WaitUntil(10000, [&] { return OperationsEnabled(window); }); }
  int Count(const std::string& line) const {
    const auto lines = log.Lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
  }

  LogCapture log;
  std::shared_ptr<SimAltimeter> sim = MakeFlightSim({});
  VirtualBus bus;
  AltimeterDevice device{bus};
};

TEST_F(ControlDeviceDialog, WithoutAFlightOnDisplayOnlyTheEmulationStaysDisabled) {
  bus.Plug(sim);
  CControlOptionsWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Control Options", [&](HWND window) {
    EXPECT_TRUE(Idle(window));
    EXPECT_FALSE(Enabled(window, IDC_CONTROL_EMULATE));
    EXPECT_EQ(dialog.StatusTextNow(), L"Device Connected.\r\nCurrent device firmware version: 1.40\r\n");
  }));
}

TEST_F(ControlDeviceDialog, ReadsPressureAndBatteryAndFiresTheLines) {
  bus.Plug(sim);
  sim->State().batteryTenths = 120;
  CControlOptionsWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Control Options", [&](HWND window) {
    ASSERT_TRUE(Idle(window));
    ASSERT_TRUE(Click(window, IDC_CONTROL_READ_PRESSURE));
    EXPECT_TRUE(WaitUntil(10000, [&] {
      return dialog.StatusTextNow().ends_with(
          L"\r\nCurrent ADC: 830\r\nCurrent Voltage: 4.05273 Volts\r\nCurrent Pressure: 100.616 kPa\r\n"
          L"Current MSL Altitude: 59.1592 Meters\r\n");
    }));
    ASSERT_TRUE(Idle(window));
    ASSERT_TRUE(Click(window, IDC_CONTROL_READ_BATTERY));
    EXPECT_TRUE(WaitUntil(10000, [&] { return dialog.StatusTextNow().ends_with(L"Current Voltage: 12 Volts\r\n"); }));
    ASSERT_TRUE(Idle(window));
    ASSERT_TRUE(Click(window, IDC_CONTROL_FIRE));
    EXPECT_TRUE(WaitUntil(10000, [&] {
      return dialog.StatusTextNow().ends_with(L"Firing both lines for 2 seconds...\r\nDone.\r\n");
    }));
    EXPECT_EQ(sim->State().lineFirings, 1);
    EXPECT_TRUE(WaitUntil(5000, [&] { return ControlText(window, IDC_STATUS) == dialog.StatusTextNow(); }));
    ASSERT_TRUE(Idle(window));
    const testing::Pixels shot = testing::CaptureWindow(window);
    win32::testing::SaveScreenshot(L"control-device-after-readings", shot.data, shot.width, shot.height);
  }));
}

TEST_F(ControlDeviceDialog, EmulatesTheFlightOnDisplayAfterTheBatteryMessage) {
  bus.Plug(sim);
  ShowSampleFlight();
  CControlOptionsWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Control Options", [&](HWND window) {
    ASSERT_TRUE(Idle(window));
    ASSERT_TRUE(Enabled(window, IDC_CONTROL_EMULATE));
    ASSERT_TRUE(Click(window, IDC_CONTROL_EMULATE));
    EXPECT_EQ(AnswerProgramMessage(IDOK),
              L"You may now connect the battery to the device if you want a real time launch. Click OK when "
              L"connected or ignore.");
    ASSERT_TRUE(WaitUntil(20000, [&] { return dialog.StatusTextNow().ends_with(L"Done.\r\n"); }));
    const std::wstring status = dialog.StatusTextNow();
    EXPECT_NE(status.find(L"Emulating...\r\nLaunch Time (s): 0\r\n"), std::wstring::npos);
    EXPECT_NE(status.find(L"Launch detected.\r\n"), std::wstring::npos);
    EXPECT_NE(status.find(L"Apogee detected.\r\n"), std::wstring::npos);
    EXPECT_TRUE(status.ends_with(L"Device indicates end of launch.\r\nDone.\r\n"));
    EXPECT_TRUE(Idle(window));
    EXPECT_TRUE(Enabled(window, IDC_CONTROL_EMULATE));
    const testing::Pixels shot = testing::CaptureWindow(window);
    win32::testing::SaveScreenshot(L"control-device-after-emulation", shot.data, shot.width, shot.height);
  }));
}

TEST_F(ControlDeviceDialog, ClosingMidEmulationStopsAtTheNextRequestAndIgnoresDeviceChanges) {
  bus.Plug(sim);
  ShowSampleFlight();
  win32::UniqueKernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<int> writes{0};
  std::atomic<bool> held{false};
  // Hold the emulation after its 30th sample until the test lets it go.
  bus.SetBeforeTransfer([&](VirtualBus::Transfer::Kind kind, std::uint32_t) {
    if (kind == VirtualBus::Transfer::Kind::Write && ++writes == 31 && !held.exchange(true)) {
      ::WaitForSingleObject(release.Get(), 20000);
    }
  });
  auto dialog = std::make_unique<CControlOptionsWindow>(device);
  ASSERT_TRUE(RunModal(*dialog, L"Control Options", [&](HWND window) {
    ASSERT_TRUE(Idle(window));
    ASSERT_TRUE(Click(window, IDC_CONTROL_EMULATE));
    ASSERT_FALSE(AnswerProgramMessage(IDOK).empty());
    ASSERT_TRUE(WaitUntil(10000, [&] { return held.load(); }));
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil(5000, [&] { return Count("reposting close message...") >= 2; }));
    EXPECT_TRUE(::IsWindow(window)) << "closed under a running emulation";
    // Changes while closing are not acted on.
    const std::wstring path = device.devicePath;
    win32::SendDeviceChange(window, false, path);
    EXPECT_TRUE(device.IsOpen()) << "a removal was acted on while closing";
    EXPECT_EQ(Count("Device Change."), 0);
    ::SetEvent(release.Get());
    EXPECT_TRUE(WaitUntil(10000, [&] { return !::IsWindow(window); }));
  }));
  const std::wstring status = dialog->StatusTextNow();
  EXPECT_TRUE(status.ends_with(L"Done.\r\n")) << ::testing::PrintToString(status);
  EXPECT_EQ(status.find(L"Device indicates end of launch."), std::wstring::npos);
  EXPECT_EQ(Count("User ended emulation."), 1);
  EXPECT_LE(writes.load(), 33) << "samples went on after the cancel";
}

}  // namespace
}  // namespace tev
