// The Device Settings operations against a simulated altimeter, natively: their status lines in
// order, what they ask of the dialog, and what reaches the device.
#include "ui/logic/SettingsWorkers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "sim/VirtualBus.h"
#include "tests/device/FlightSims.h"
#include "tests/support/LogCapture.h"

namespace tev {
namespace {

using Lines = std::vector<std::wstring>;

// Status lines as they are, and what is asked of the dialog in brackets.
class RecordingHost : public SettingsDialogHost {
 public:
  explicit RecordingHost(AltimeterDevice& device) : device_(device) {}
  void AppendStatus(const std::wstring& text) override { record.push_back(text); }
  void EnableRead() override { record.push_back(L"[read enabled]"); }
  void RefreshControls(bool busy) override { record.push_back(busy ? L"[busy]" : L"[idle]"); }
  void ShowSettings() override {
    record.push_back(L"[shown]");
    shown = EntriesFromSettings(device_.settings);
  }
  void Warn(unsigned id) override { record.push_back(L"[warning " + std::to_wstring(id) + L"]"); }
  void ShowStatusNow() override { record.push_back(L"[status shown]"); }
  void RenderPlot() override { record.push_back(L"[plot]"); }

  Lines StatusLines() const {
    Lines lines;
    std::copy_if(record.begin(), record.end(), std::back_inserter(lines), [](const auto& l) { return l[0] != L'['; });
    return lines;
  }
  int Count(const std::wstring& entry) const { return static_cast<int>(std::count(record.begin(), record.end(), entry)); }

  Lines record;
  SettingsEntries shown;

 private:
  AltimeterDevice& device_;
};

class SettingsWork : public ::testing::Test {
 protected:
  void SetUp() override {
    sim->State().adcCount = 830;
    bus.Plug(sim);
    ASSERT_EQ(device.Connect(Personality::Application), kConnected);
  }
  bool FlightsErased() const {
    const auto& memory = sim->State().flightMemory;
    return std::all_of(memory.begin(), memory.end(), [](std::uint8_t b) { return b == 0xFF; });
  }
  SettingsEntries Entries() const { return EntriesFromSettings(device.settings); }

  LogCapture log;
  std::shared_ptr<SimAltimeter> sim = MakeFlightSim(SampleMemory());
  VirtualBus bus;
  AltimeterDevice device{bus};
  RecordingHost host{device};
};

TEST_F(SettingsWork, AWriteStoresTheEntriesAndAReadBringsThemBack) {
  SettingsEntries e = Entries();
  e.lineA = {LineMode::Time, L"15", L"1"};
  e.lineB = {LineMode::Altitude, L"1", L"420"};
  e.inhibitText = L"3";
  EXPECT_EQ(WriteSettingsWork(device, host, e), 0);
  EXPECT_EQ(host.StatusLines(), (Lines{L"Attempting to connect to device.\r\n", L"Altimeter found! Writing settings...\r\n",
                                       L"Settings written successfully.\r\n"}));
  EXPECT_TRUE(FlightsErased()) << "a write clears the device's flights first";
  const auto& block = sim->State().settingsBlock;
  EXPECT_EQ(block[9], 0x31) << "Line A Time, Line B Altitude";
  EXPECT_EQ(block[10] | block[11] << 8, 150);
  EXPECT_EQ(block[12] | block[13] << 8, 420);
  EXPECT_EQ(block[5] | block[6] << 8, 30);
  EXPECT_EQ(host.shown.lineA.altitudeText, L"150") << "the Alt edit shows the value written";
  EXPECT_EQ(host.Count(L"[status shown]"), 1);
  EXPECT_EQ(host.record.back(), L"[idle]") << "the buttons come back last";

  device.settings.SetDefaults();
  host.record.clear();
  EXPECT_EQ(ReadSettingsWork(device, host), 0);
  EXPECT_EQ(host.StatusLines(), (Lines{L"Attempting to connect to device.\r\n", L"Altimeter found! Reading settings...\r\n",
                                       L"Settings read successfully.\r\n"}));
  EXPECT_EQ(device.settings.lineAMode, LineMode::Time);
  EXPECT_EQ(device.settings.lineBValue, 420);
  EXPECT_EQ(host.shown.inhibitText, L"3");
}

TEST_F(SettingsWork, WarningsComeBeforeAnythingIsSentAndTheWriteGoesOn) {
  SettingsEntries e = Entries();
  e.inhibitText = L"21";
  e.lineA.mode = LineMode::Disabled;
  e.lineB.mode = LineMode::Disabled;
  EXPECT_EQ(WriteSettingsWork(device, host, e), 0);
  ASSERT_GE(host.record.size(), 3u);
  EXPECT_EQ(host.record[0], L"[warning 111]");
  EXPECT_EQ(host.record[1], L"[warning 112]");
  EXPECT_EQ(host.Count(L"[warning 112]"), 1) << "once for both lines";
  EXPECT_EQ(host.record[2], L"Attempting to connect to device.\r\n");
  EXPECT_EQ(sim->State().settingsBlock[5], 210);
  EXPECT_EQ(sim->State().settingsBlock[9], 0x00);
  EXPECT_EQ(sim->State().settingsBlock[10], 150) << "a disabled line keeps its value";
}

TEST_F(SettingsWork, ABadChecksumShowsTheDefaultsAndWritesNothing) {
  device.settings.lineAMode = LineMode::Time;
  sim->State().settingsBlock[9] = 0x11;  // body changed, checksum not
  const std::size_t outputs = sim->Received().size();
  EXPECT_EQ(ReadSettingsWork(device, host), -1);
  EXPECT_EQ(host.StatusLines(),
            (Lines{L"Attempting to connect to device.\r\n", L"Altimeter found! Reading settings...\r\n",
                   L"Checksum failed. The device settings are invalid.\r\n", L"Displaying default settings.\r\n"}));
  EXPECT_EQ(device.settings.image, DeviceSettings{}.image);
  EXPECT_EQ(device.settings.lineAMode, LineMode::Apogee);
  EXPECT_EQ(host.shown.lineB.mode, LineMode::Altitude);
  EXPECT_EQ(host.Count(L"[idle]"), 1) << "the buttons come back";
  EXPECT_EQ(sim->Received().size() - outputs, 2u) << "reset and read only";
}

TEST_F(SettingsWork, FailuresLeaveOnlyReadSettingsEnabled) {
  struct Case {
    const char* name;
    bool write;
    SimFault fault;
    std::wstring last;
    bool readEnabled;
  };
  const Case cases[] = {
      {"read fails", false, {SimFaultKind::WithholdReplies, 0, 0}, L"Failed to read settings.\r\n", true},
      {"clear fails", true, {SimFaultKind::WithholdReplies, 0, 0}, L"Failed to clear data.\r\n", false},
      {"write fails", true, {SimFaultKind::WithholdReplies, 1, 0}, L"Failed to write settings.\r\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.record.clear();
    sim->ClearFaults();
    sim->InjectFault(c.fault);
    const int result = c.write ? WriteSettingsWork(device, host, Entries()) : ReadSettingsWork(device, host);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(host.StatusLines().back(), c.last);
    EXPECT_EQ(host.Count(L"[read enabled]"), c.readEnabled ? 1 : 0);
    EXPECT_EQ(host.Count(L"[idle]"), c.readEnabled ? 0 : 1);
    EXPECT_EQ(host.Count(L"[shown]"), 0);
  }
}

TEST_F(SettingsWork, WithoutTheAltimeterNothingIsTried) {
  device.Close();
  EXPECT_EQ(WriteSettingsWork(device, host, Entries()), -1);
  EXPECT_EQ(host.StatusLines(), (Lines{L"Attempting to connect to device.\r\n",
                                       L"Altimeter not found. Make sure it is properly connected to the PC.\r\n"}));
  EXPECT_EQ(host.Count(L"[read enabled]"), 1);
  EXPECT_FALSE(FlightsErased());
}

TEST_F(SettingsWork, ACalibrationAtOneHundredMetresWithTheDeviceAt830StoresMinusFive) {
  SettingsEntries e = Entries();
  CalibrateWork(device, host, 100, e);
  EXPECT_EQ(host.StatusLines(),
            (Lines{L"Calibrating...\r\n", L"ADC Real: 825\r\n", L"ADC Device: 830\r\n", L"ADC Offset: -5\r\n",
                   L"Attempting to connect to device.\r\n", L"Altimeter found! Writing settings...\r\n",
                   L"Settings written successfully.\r\n", L"Calibration complete.\r\n"}));
  EXPECT_EQ(host.record.front(), L"[busy]");
  EXPECT_EQ(static_cast<std::int8_t>(sim->State().settingsBlock[8]), -5);
  EXPECT_EQ(device.settings.adcOffset, -5);
  EXPECT_EQ(std::count(host.record.begin(), host.record.end(), L"[idle]"), 1) << "not before the calibration's end";
  EXPECT_EQ(host.record.back(), L"[idle]");
}

TEST_F(SettingsWork, AnOffsetBeyondOneByteIsRefusedAfterTheThreeLinesAndCostsNothing) {
  sim->State().adcCount = 1000;  // 825 - 1000 = -175
  const auto blockBefore = sim->State().settingsBlock;
  CalibrateWork(device, host, 100, Entries());
  EXPECT_EQ(host.StatusLines(),
            (Lines{L"Calibrating...\r\n", L"ADC Real: 825\r\n", L"ADC Device: 1000\r\n", L"ADC Offset: -175\r\n",
                   L"ADC Offset -175 does not fit the device: it holds offsets from -128 to 127. Nothing was written.\r\n",
                   L"Failed to calibrate.\r\n"}));
  EXPECT_EQ(sim->State().settingsBlock, blockBefore);
  EXPECT_FALSE(FlightsErased()) << "refused before anything was erased";
  EXPECT_EQ(device.settings.adcOffset, 0);
  EXPECT_EQ(host.record.back(), L"[idle]");
  EXPECT_EQ(RefuseCalibrationOffset(-128), std::nullopt);
  EXPECT_EQ(RefuseCalibrationOffset(127), std::nullopt);
  EXPECT_NE(RefuseCalibrationOffset(128), std::nullopt);
}

TEST_F(SettingsWork, ACalibrationWhoseWriteFailsSaysSoAndGivesAllButtonsBackAtItsEnd) {
  sim->InjectFault({SimFaultKind::WithholdReplies, 23, 0});  // after ADC 2, clear 1, settings 17, ADC 2, clear 1
  CalibrateWork(device, host, 100, Entries());
  const Lines lines = host.StatusLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], L"Failed to write settings.\r\n");
  EXPECT_EQ(lines.back(), L"Failed to calibrate.\r\n");
  EXPECT_EQ(host.Count(L"[read enabled]"), 0);
  EXPECT_EQ(host.record.back(), L"[idle]");
}

TEST_F(SettingsWork, ACalibrationThatCannotReadTheSensorSaysFailedAndKeepsTheRecord) {
  const struct {
    const char* name;
    std::uint32_t reply;
    bool erased;
  } cases[] = {
      {"the first reading, before anything is erased", 0, false},
      {"the reading after the erase", 2 + 1 + 17, true},  // ADC 2, clear 1, settings 17
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim = MakeFlightSim(SampleMemory());
    sim->State().adcCount = 830;
    VirtualBus freshBus;
    freshBus.Plug(sim);
    AltimeterDevice freshDevice{freshBus};
    ASSERT_EQ(freshDevice.Connect(Personality::Application), kConnected);
    RecordingHost freshHost{freshDevice};
    sim->InjectFault({SimFaultKind::WithholdReplies, c.reply, 0});
    const DeviceSettings before = freshDevice.settings;
    CalibrateWork(freshDevice, freshHost, 100, Entries());
    EXPECT_EQ(freshHost.StatusLines(), (Lines{L"Calibrating...\r\n", L"Failed.\r\n"}));
    EXPECT_EQ(freshDevice.settings.image, before.image);
    EXPECT_EQ(FlightsErased(), c.erased);
    EXPECT_EQ(freshHost.record.back(), L"[idle]");
  }
}

}  // namespace
}  // namespace tev
