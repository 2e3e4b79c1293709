// The Control Device operations against a simulated altimeter, natively, and the lines they show.
#include "ui/logic/ControlWorkers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sim/FlightModel.h"
#include "sim/VirtualBus.h"
#include "tests/device/FlightSims.h"
#include "tests/support/LogCapture.h"

namespace tev {
namespace {

using Lines = std::vector<std::wstring>;

// The dialog's part: status lines, refreshes in brackets, and the emulation's events as lines.
class RecordingHost : public ControlDialogHost, public EmulationObserver {
 public:
  void AppendStatus(const std::wstring& text) override { record.push_back(text); }
  void RefreshControls(bool busy) override { record.push_back(busy ? L"[busy]" : L"[idle]"); }
  void RenderPlot() override { record.push_back(L"[plot]"); }
  void OnEmulationEvent(int code, int sampleIndex) override {
    if (const auto line = EmulationEventLine(code, sampleIndex)) AppendStatus(*line);
  }
  Lines StatusLines() const {
    Lines lines;
    std::copy_if(record.begin(), record.end(), std::back_inserter(lines), [](const auto& l) { return l[0] != L'['; });
    return lines;
  }
  Lines record;
};

TEST(ControlLines, PressureFromTheWorkedReadings) {
  EXPECT_EQ(PressureLines(830, 0), L"\r\nCurrent ADC: 830\r\nCurrent Voltage: 4.05273 Volts\r\n"
                                   L"Current Pressure: 100.616 kPa\r\nCurrent MSL Altitude: 59.1592 Meters\r\n");
  EXPECT_EQ(PressureLines(830, -5), L"\r\nCurrent ADC: 830\r\nCurrent Voltage: 4.02832 Volts\r\n"
                                    L"Current Pressure: 100.074 kPa\r\nCurrent MSL Altitude: 104.677 Meters\r\n");
}

TEST(ControlLines, BatteryInVoltsWithoutTrailingZeros) {
  EXPECT_EQ(BatteryLine(120), L"Current Voltage: 12 Volts\r\n");
  EXPECT_EQ(BatteryLine(92), L"Current Voltage: 9.2 Volts\r\n");
}

TEST(ControlLines, EmulationEventsAndTheCodesThatShowNothing) {
  EXPECT_EQ(EmulationEventLine(13, 0), L"Launch Time (s): 0\r\n");
  EXPECT_EQ(EmulationEventLine(13, 120), L"Launch Time (s): 12\r\n");
  EXPECT_EQ(EmulationEventLine(14, 3), L"Launch detected.\r\n");
  EXPECT_EQ(EmulationEventLine(15, 3), L"Line A fired.\r\n");
  EXPECT_EQ(EmulationEventLine(16, 3), L"Line B fired.\r\n");
  EXPECT_EQ(EmulationEventLine(17, 3), L"Apogee detected.\r\n");
  EXPECT_EQ(EmulationEventLine(19, 3), L"Device indicates end of launch.\r\n");
  EXPECT_EQ(EmulationEventLine(18, 3), std::nullopt);
  EXPECT_EQ(EmulationEventLine(5, 3), std::nullopt);
}

TEST(ControlLines, ButtonsFollowConnectionWorkAndReadings) {
  struct Case {
    bool connected, busy, readings, operations, emulate;
  };
  const Case cases[] = {
      {false, false, true, false, false}, {true, false, false, true, false}, {true, false, true, true, true},
      {true, true, true, false, false},
  };
  for (const Case& c : cases) {
    const ControlButtons b = ControlButtonsEnabled(c.connected, c.busy, c.readings);
    EXPECT_EQ(b.operations, c.operations);
    EXPECT_EQ(b.emulate, c.emulate);
  }
}

class ControlWork : public ::testing::Test {
 protected:
  void SetUp() override {
    sim->State().adcCount = 830;
    bus.Plug(sim);
    ASSERT_EQ(device.Connect(Personality::Application), kConnected);
  }
  LogCapture log;
  std::shared_ptr<SimAltimeter> sim = MakeFlightSim({});
  VirtualBus bus;
  AltimeterDevice device{bus};
  RecordingHost host;
};

TEST_F(ControlWork, ReadPressureUsesTheDeviceOffsetAndKeepsTheRecordInMemory) {
  sim->State().settingsBlock[8] = 0xFB;  // -5
  sim->State().settingsBlock[14] = static_cast<std::uint8_t>(sim->State().settingsBlock[14] + 0xFB);
  device.settings.adcOffset = 40;
  device.settings.lineAMode = LineMode::Time;
  ReadPressureWork(device, host);
  EXPECT_EQ(host.record, (Lines{L"[busy]", PressureLines(830, -5), L"[plot]", L"[idle]"}));
  EXPECT_EQ(device.settings.adcOffset, 40);
  EXPECT_EQ(device.settings.lineAMode, LineMode::Time);
}

TEST_F(ControlWork, BatteryAndFiringWaitForTheDevice) {
  sim->State().batteryTenths = 92;
  ReadBatteryWork(device, host);
  EXPECT_EQ(host.record, (Lines{L"[busy]", L"Current Voltage: 9.2 Volts\r\n", L"[idle]"}));

  host.record.clear();
  const std::uint64_t before = bus.NowMs();
  FireLinesWork(device, host);
  EXPECT_EQ(host.StatusLines(), (Lines{L"Firing both lines for 2 seconds...\r\n", L"Done.\r\n"}));
  EXPECT_GE(bus.NowMs() - before, 2000u) << "Done only once the device has confirmed";
  EXPECT_EQ(sim->State().lineFirings, 1);
}

TEST_F(ControlWork, FailuresSayFailedAndGiveTheButtonsBack) {
  struct Case {
    const char* name;
    void (*work)(AltimeterDevice&, ControlDialogHost&);
    std::uint32_t at;
    Lines lines;
  };
  const Case cases[] = {
      {"settings of a pressure reading", ReadPressureWork, 0, {L"Failed to read settings.\r\n"}},
      {"ADC", ReadPressureWork, 17, {L"Failed.\r\n"}},
      {"battery", ReadBatteryWork, 0, {L"Failed.\r\n"}},
      {"fire", FireLinesWork, 0, {L"Firing both lines for 2 seconds...\r\n", L"Failed.\r\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.record.clear();
    sim->ClearFaults();
    sim->InjectFault({SimFaultKind::WithholdReplies, c.at, 0});
    c.work(device, host);
    EXPECT_EQ(host.StatusLines(), c.lines);
    EXPECT_EQ(host.record.back(), L"[idle]");
  }
}

TEST_F(ControlWork, WithoutTheAltimeterEachOperationSaysSo) {
  device.Close();
  for (auto work : {ReadPressureWork, ReadBatteryWork, FireLinesWork}) {
    host.record.clear();
    work(device, host);
    EXPECT_EQ(host.record, (Lines{L"[busy]", L"Altimeter not found. Make sure it is properly connected to the PC.\r\n",
                                  L"[idle]"}));
  }
}

TEST_F(ControlWork, AnEmulatedFlightShowsOneTimeLinePerSecondAmongTheEvents) {
  const auto& profiles = sim::SampleFlightProfiles();
  const PacketList memory = sim::RecordMemory({profiles[0]}, sim::FlightSettings{});
  BuildDataSet(memory, device.currentSet, 0, DeviceSettings{}, 0);
  ASSERT_GT(device.currentSet.adc.size(), 30u);

  EmulateWork(device, host, host);
  const Lines lines = host.StatusLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines.front(), L"Emulating...\r\n");
  EXPECT_EQ(lines[1], L"Launch Time (s): 0\r\n");
  EXPECT_EQ(lines.back(), L"Done.\r\n");
  EXPECT_EQ(lines[lines.size() - 2], L"Device indicates end of launch.\r\n");

  // Time lines count up by one second; the events fall between them in the device's order.
  int expectedSecond = 0;
  std::vector<std::wstring> events;
  for (const auto& line : lines) {
    if (line.rfind(L"Launch Time (s): ", 0) == 0) {
      EXPECT_EQ(line, L"Launch Time (s): " + std::to_wstring(expectedSecond++) + L"\r\n");
    } else if (line != L"Emulating...\r\n" && line != L"Done.\r\n") {
      events.push_back(line);
    }
  }
  EXPECT_GT(expectedSecond, 2);
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events.front(), L"Launch detected.\r\n");
  EXPECT_NE(std::find(events.begin(), events.end(), L"Apogee detected.\r\n"), events.end());
  EXPECT_NE(std::find(events.begin(), events.end(), L"Line A fired.\r\n"), events.end());
  EXPECT_EQ(events.back(), L"Device indicates end of launch.\r\n");
}

TEST_F(ControlWork, ACancelledEmulationStopsAtTheNextRequest) {
  for (int i = 0; i < 100; ++i) device.currentSet.adc.push_back(830);
  int requests = 0;
  struct Cancelling : EmulationObserver {
    AltimeterDevice* device;
    int* requests;
    void OnEmulationEvent(int code, int) override {
      if (code == 13 && ++*requests == 2) device->cancelRequested = true;
    }
  } observer;
  observer.device = &device;
  observer.requests = &requests;
  EmulateWork(device, host, observer);
  EXPECT_EQ(host.StatusLines(), (Lines{L"Emulating...\r\n", L"Done.\r\n"}));
  EXPECT_EQ(requests, 2) << "no request after the one that saw the cancel";
}

}  // namespace
}  // namespace tev
