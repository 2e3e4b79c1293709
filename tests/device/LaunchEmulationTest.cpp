#include "device/LaunchEmulation.h"

#include <gtest/gtest.h>

#include "device/AltimeterDevice.h"
#include "sim/VirtualBus.h"
#include "tests/device/FlightSims.h"
#include "tests/support/LogCapture.h"
#include "tests/device/ScriptedBus.h"

namespace tev {
namespace {

using Lines = std::vector<std::string>;
using Events = std::vector<std::pair<int, int>>;  // (code, sample index)
using Commands = std::vector<std::pair<std::uint8_t, std::uint16_t>>;

struct RecordingObserver : EmulationObserver {
  void OnEmulationEvent(int code, int sampleIndex) override {
    events.push_back({code, sampleIndex});
    if (onEvent) onEvent(code, sampleIndex);
  }
  Events events;
  std::function<void(int, int)> onEvent;
};

bool Contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class Emulation : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(device.Connect(Personality::Application), kConnected);
    log.Clear();
  }
  LogCapture log;
  ScriptedBus bus;
  AltimeterDevice device{bus};
  RecordingObserver observer;
};

TEST_F(Emulation, TwentyFiveSamplesThenTheDataRunsOut) {
  for (int i = 0; i < 25; ++i) device.currentSet.adc.push_back(800 + i);
  device.currentSet.adc[3] = 0x12345;  // only the low 16 bits travel
  for (int i = 0; i < 26; ++i) bus.Reply(0, kReplySampleRequest);
  bus.Reply(0, kReplyComplete);

  EXPECT_TRUE(device.EmulateLaunch(observer));
  EXPECT_EQ(observer.events, (Events{{13, 0}, {13, 10}, {13, 20}}));

  Commands expected{{kCmdEmulateLaunch, 0}};
  for (int i = 0; i < 25; ++i) expected.push_back({kCmdAdcSample, i == 3 ? 0x2345 : 800 + i});
  expected.push_back({kCmdReset, 0});
  EXPECT_EQ(bus.Commands(), expected);
  EXPECT_EQ(bus.readTimeouts, std::vector<std::uint32_t>(27, kEmulationTimeoutMs));
  EXPECT_EQ(bus.sleeps, std::vector<std::uint32_t>(26, kEmulationPollMs));

  const Lines lines = log.Lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.front(), "Emulating Launch...");
  EXPECT_EQ(lines[1], "The device is requesting ADC data. Data: 800");
  EXPECT_TRUE(Contains(lines, "The device is requesting ADC data. Data: 9029"));  // 0x2345
  EXPECT_EQ(lines.back(), "The device is requesting ADC data. Data: End of available data.");
}

TEST_F(Emulation, EventsInterleaveWithRequestsAndOnlySomeCodesEnd) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> replies;  // (value, code)
    bool result;
    Events events;
    Lines logged;  // in order, among the other lines
  } cases[] = {
      {"a whole flight",
       {{0, 13}, {0, 14}, {0, 13}, {0xFFF6, 17}, {0, 15}, {0, 16}, {0, 13}, {0, 19}, {0, 5}},
       true,
       {{13, 0}, {14, 1}, {17, 2}, {15, 2}, {16, 2}, {19, 3}},
       {"Launch detected.", "Apogee!", "Slope: -10", "Line A fired.", "Line B fired.", "Device indicates end of launch."}},
      {"an unknown code ends it", {{0, 13}, {0, 18}, {0, 5}}, true, {{13, 0}, {18, 1}}, {"Unknown code received."}},
      {"the final reply is not a completion", {{0, 19}, {0, 11}}, false, {{19, 0}}, {"Device indicates end of launch."}},
      {"no final reply", {{0, 19}}, false, {{19, 0}}, {"Device indicates end of launch.", "Read Error."}},
      {"the device goes quiet", {{0, 13}, {0, 14}}, false, {{13, 0}, {14, 1}}, {"Launch detected.", "Read Error."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedBus caseBus;
    AltimeterDevice caseDevice{caseBus};
    ASSERT_EQ(caseDevice.Connect(Personality::Application), kConnected);
    caseDevice.currentSet.adc = {830, 820, 810, 800};
    for (auto [value, code] : c.replies) caseBus.Reply(value, code);
    log.Clear();
    RecordingObserver o;
    EXPECT_EQ(caseDevice.EmulateLaunch(o), c.result);
    EXPECT_EQ(o.events, c.events);
    Lines lines = log.Lines();
    auto at = lines.begin();
    for (const auto& want : c.logged) {
      at = std::find(at, lines.end(), want);
      EXPECT_NE(at, lines.end()) << want;
    }
    EXPECT_TRUE(caseBus.replies.empty());
  }
}

TEST_F(Emulation, CancelIsHonouredAtTheNextRequest) {
  for (int i = 0; i < 40; ++i) device.currentSet.adc.push_back(836);
  for (int i = 0; i < 12; ++i) bus.Reply(0, kReplySampleRequest);
  observer.onEvent = [&](int code, int n) {
    if (code == 13 && n == 10) device.cancelRequested = true;
  };
  EXPECT_TRUE(device.EmulateLaunch(observer));
  const Commands sent = bus.Commands();
  ASSERT_EQ(sent.size(), 1u + 10u + 1u);  // command 4, ten samples, the reset
  EXPECT_EQ(sent.back(), (std::pair<std::uint8_t, std::uint16_t>{kCmdReset, 0}));
  const Lines lines = log.Lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(Lines(lines.end() - 3, lines.end()),
            (Lines{"The device is requesting ADC data. Data: 836", "User ended emulation.", "Reseting device."}));

  // The reset not taken makes the cancel a failure.
  ScriptedBus refusing;
  AltimeterDevice other{refusing};
  ASSERT_EQ(other.Connect(Personality::Application), kConnected);
  other.currentSet.adc = {836};
  refusing.Reply(0, kReplySampleRequest);
  refusing.refuseWritesFrom = 1;
  other.cancelRequested = false;
  RecordingObserver o;
  o.onEvent = [&](int, int) { other.cancelRequested = true; };
  EXPECT_FALSE(other.EmulateLaunch(o));
}

TEST_F(Emulation, RefusedReportsAndBootloaderMode) {
  device.currentSet.adc = {836, 836};
  bus.refuseWritesFrom = 0;
  EXPECT_FALSE(device.EmulateLaunch(observer));
  EXPECT_EQ(log.Lines(), (Lines{"Emulating Launch...", "Write Error."}));

  log.Clear();
  bus.refuseWritesFrom = 1;
  bus.Reply(0, kReplySampleRequest);
  EXPECT_FALSE(device.EmulateLaunch(observer));
  EXPECT_EQ(log.Lines().back(), "Write Error");

  log.Clear();
  device.bootloaderMode = true;
  bus.written.clear();
  EXPECT_FALSE(device.EmulateLaunch(observer));
  EXPECT_TRUE(bus.written.empty());
  EXPECT_TRUE(log.Lines().empty());
}

// The simulated altimeter flies a recorded flight as its own logic would have flown it.
class EmulationOnTheSim : public ::testing::Test {
 protected:
  void SetUp() override {
    sim = MakeSim();
    sim->SetReportInterval(1);
    bus.Plug(sim);
    ASSERT_EQ(device.Connect(Personality::Application), kConnected);
    readings = sim::FlyFlight(*sim::FindSampleFlight("park"));
    device.currentSet.adc.assign(readings.begin(), readings.end());
  }
  LogCapture log;
  std::shared_ptr<SimAltimeter> sim;
  VirtualBus bus;
  AltimeterDevice device{bus};
  RecordingObserver observer;
  std::vector<int> readings;
};

TEST_F(EmulationOnTheSim, ReportsTheFlightLogicsEventsAtItsOwnPace) {
  EXPECT_TRUE(device.EmulateLaunch(observer));

  Events expected;
  sim::FlightLogic logic{sim::FlightSettings{}};
  for (std::size_t n = 0; n < readings.size() && !logic.Ended(); ++n) {
    if (n % 10 == 0) expected.push_back({13, static_cast<int>(n)});
    for (const auto& e : logic.Feed(readings[n])) expected.push_back({e.code, static_cast<int>(n + 1)});
  }
  EXPECT_EQ(observer.events, expected);
  std::vector<int> codes;
  for (auto [code, n] : observer.events)
    if (code != 13) codes.push_back(code);
  EXPECT_EQ(codes, (std::vector<int>{14, 17, 15, 16, 19}));
  // One reading every 0.1 s: the device sets the pace, not the host.
  EXPECT_GE(bus.NowMs(), (expected.back().second - 1) * 100u);
  EXPECT_EQ(log.Lines().back(), "Device indicates end of launch.");
}

TEST_F(EmulationOnTheSim, AfterACancelTheNextExchangeStillWorks) {
  observer.onEvent = [&](int code, int n) {
    if (code == 13 && n == 20) device.cancelRequested = true;
  };
  EXPECT_TRUE(device.EmulateLaunch(observer));
  // The device answered the reset that ended the emulation; that completion must not be taken
  // for the reading of the next exchange.
  std::uint16_t count = 0;
  EXPECT_EQ(device.ReadAdc(count), kOk);
  EXPECT_EQ(count, sim->State().adcCount);
}

}  // namespace
}  // namespace tev
