#include <gtest/gtest.h>

#include <functional>

#include "device/AltimeterDevice.h"
#include "sim/VirtualBus.h"
#include "tests/support/LogCapture.h"
#include "tests/device/SimDevices.h"

namespace tev {
namespace {

using Lines = std::vector<std::string>;
using Kind = VirtualBus::Transfer::Kind;

class CommandProtocol : public ::testing::Test {
 protected:
  void SetUp() override {
    bus.Plug(sim);
    ASSERT_EQ(device.Connect(Personality::Application), kConnected);
    log.Clear();
  }

  std::vector<std::uint8_t> CommandCodesSent() const {
    std::vector<std::uint8_t> codes;
    for (const auto& t : bus.Transfers()) {
      if (t.kind == Kind::Write) codes.push_back(t.bytes.at(3));
    }
    return codes;
  }
  std::vector<std::uint32_t> TimeoutsAsked() const {
    std::vector<std::uint32_t> timeouts;
    for (const auto& t : bus.Transfers()) timeouts.push_back(t.timeoutMs);
    return timeouts;
  }
  static Lines SettingsLines(const char* prefix, int count) {
    Lines lines;
    for (int i = 0; i < count; ++i) lines.push_back(prefix + std::to_string(i));
    return lines;
  }
  static Lines Concat(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }

  std::shared_ptr<SimAltimeter> sim = MakeSim();
  VirtualBus bus;
  AltimeterDevice device{bus};
  LogCapture log;
};

const SettingsImage kDeviceBlock{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xAB, 0xCD};

TEST_F(CommandProtocol, ReadSettingsFillsTheImageFromTheDevice) {
  sim->State().settingsBlock = kDeviceBlock;
  EXPECT_EQ(device.ReadSettings(), kOk);
  EXPECT_EQ(device.settings.image, kDeviceBlock);
  EXPECT_EQ(log.Lines(), Concat(Concat({"Resetting device.", "Reading Settings..."},
                                       SettingsLines("Settings Packet Read: ", 16)),
                                {"Done."}));
  EXPECT_EQ(CommandCodesSent(), (std::vector<std::uint8_t>{kCmdReset, kCmdReadSettings}));
  EXPECT_EQ(TimeoutsAsked(), std::vector<std::uint32_t>(19, kIoTimeoutMs));
  EXPECT_EQ(bus.NowMs(), 0u);
}

TEST_F(CommandProtocol, ReadSettingsFailures) {
  struct Case {
    const char* name;
    SimFault fault;
    int result;
    Lines tail;           // the last log lines
    int bytesStored;      // image bytes taken from the device before the failure
    std::uint64_t waited;  // virtual time lost to time-outs
  };
  const Case cases[] = {
      {"reset not taken", {SimFaultKind::WithholdAccept, 0}, kSendFailed, {"Resetting device.", "Write Error."}, 0, 3000},
      {"command not taken", {SimFaultKind::WithholdAccept, 1}, kSendFailed, {"Reading Settings..."}, 0, 3000},
      {"replies stop", {SimFaultKind::WithholdReplies, 3}, kNoReply,
       {"Settings Packet Read: 2", "Failed to read packet."}, 3, 3000},
      {"completion at once", {SimFaultKind::EndEarly, 0}, kProtocolError,
       {"Reading Settings...", "Premature end of data."}, 0, 0},
      {"no completion", {SimFaultKind::WithholdReplies, 16}, kNoReply,
       {"Settings Packet Read: 15", "Could not read complete confirmation."}, 16, 3000},
      {"completion with another code", {SimFaultKind::ReplaceCode, 16, 0}, kProtocolError,
       {"Settings Packet Read: 14", "Settings Packet Read: 15"}, 16, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualBus caseBus;
    auto caseSim = MakeSim();
    caseSim->State().settingsBlock = kDeviceBlock;
    caseSim->InjectFault(c.fault);
    caseBus.Plug(caseSim);
    AltimeterDevice caseDevice(caseBus);
    ASSERT_EQ(caseDevice.Connect(Personality::Application), kConnected);
    const SettingsImage before = caseDevice.settings.image;
    LogCapture caseLog;

    EXPECT_EQ(caseDevice.ReadSettings(), c.result);
    const Lines lines = caseLog.Lines();
    ASSERT_GE(lines.size(), c.tail.size());
    EXPECT_EQ(Lines(lines.end() - static_cast<std::ptrdiff_t>(c.tail.size()), lines.end()), c.tail);
    for (int i = 0; i < 16; ++i) {
      EXPECT_EQ(caseDevice.settings.image[i], i < c.bytesStored ? kDeviceBlock[i] : before[i]) << "byte " << i;
    }
    EXPECT_EQ(caseBus.NowMs(), c.waited);
  }
}

TEST_F(CommandProtocol, ASettingsReplyWithAnyCodeButCompletionIsData) {
  sim->State().settingsBlock = kDeviceBlock;
  sim->InjectFault({SimFaultKind::ReplaceCode, 4, 0x0C});
  EXPECT_EQ(device.ReadSettings(), kOk);
  EXPECT_EQ(device.settings.image, kDeviceBlock);
}

TEST_F(CommandProtocol, WriteSettingsSendsTheImageUnchanged) {
  device.settings.image = kDeviceBlock;
  EXPECT_EQ(device.WriteSettings(), kOk);
  EXPECT_EQ(sim->State().settingsBlock, kDeviceBlock);
  EXPECT_EQ(log.Lines(), Concat(Concat({"Resetting device.", "Writting Settings..."},
                                       SettingsLines("Settings Packet Written: ", 16)),
                                {"Done."}));
  const auto transfers = bus.Transfers();
  ASSERT_EQ(transfers.size(), 19u);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(transfers[2 + i].bytes, (std::vector<std::uint8_t>{0, kDeviceBlock[i], 0, 0}));
  }
  EXPECT_EQ(transfers.back().kind, Kind::Read);
  EXPECT_EQ(TimeoutsAsked(), std::vector<std::uint32_t>(19, kIoTimeoutMs));

  // And it reads back as written.
  device.settings.image = {};
  EXPECT_EQ(device.ReadSettings(), kOk);
  EXPECT_EQ(device.settings.image, kDeviceBlock);
}

TEST_F(CommandProtocol, WriteSettingsFailures) {
  struct Case {
    const char* name;
    SimFault fault;
    int result;
    Lines tail;
  };
  const Case cases[] = {
      {"reset not taken", {SimFaultKind::WithholdAccept, 0}, kSendFailed, {"Resetting device.", "Write Error."}},
      {"command not taken", {SimFaultKind::WithholdAccept, 1}, kSendFailed, {"Writting Settings..."}},
      {"sixth byte not taken", {SimFaultKind::WithholdAccept, 7}, kNoReply,
       {"Settings Packet Written: 4", "Failed to write packet."}},
      {"no completion", {SimFaultKind::WithholdReplies, 0}, kNoReply,
       {"Settings Packet Written: 15", "Could not read complete confirmation."}},
      {"completion with another code", {SimFaultKind::ReplaceCode, 0, 0}, kProtocolError,
       {"Settings Packet Written: 15"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualBus caseBus;
    auto caseSim = MakeSim();
    caseSim->InjectFault(c.fault);
    caseBus.Plug(caseSim);
    AltimeterDevice caseDevice(caseBus);
    ASSERT_EQ(caseDevice.Connect(Personality::Application), kConnected);
    LogCapture caseLog;
    EXPECT_EQ(caseDevice.WriteSettings(), c.result);
    const Lines lines = caseLog.Lines();
    ASSERT_GE(lines.size(), c.tail.size());
    EXPECT_EQ(Lines(lines.end() - static_cast<std::ptrdiff_t>(c.tail.size()), lines.end()), c.tail);
  }
}

TEST_F(CommandProtocol, ClearDataSendsNoResetAndLogsNothing) {
  sim->State().flightMemory.fill(0x12);
  EXPECT_EQ(device.ClearData(), kOk);
  EXPECT_EQ(CommandCodesSent(), std::vector<std::uint8_t>{kCmdClearData});
  EXPECT_TRUE(log.Lines().empty());
  for (std::uint8_t b : sim->State().flightMemory) ASSERT_EQ(b, 0xFF);
}

TEST_F(CommandProtocol, ClearDataFailures) {
  const std::pair<SimFault, int> cases[] = {
      {{SimFaultKind::WithholdAccept, 0}, kNoReply},
      {{SimFaultKind::WithholdReplies, 0}, kNoReply},
      {{SimFaultKind::ReplaceCode, 0, 0}, kProtocolError},
  };
  for (const auto& [fault, result] : cases) {
    sim->InjectFault(fault);
    EXPECT_EQ(device.ClearData(), result);
    sim->ClearFaults();
  }
}

TEST_F(CommandProtocol, SensorReadingsAndFiring) {
  sim->State().adcCount = 812;
  sim->State().batteryTenths = 87;
  device.cancelRequested = true;
  std::uint16_t adc = 0, battery = 0;
  EXPECT_EQ(device.ReadAdc(adc), kOk);
  EXPECT_EQ(adc, 812);
  EXPECT_FALSE(device.cancelRequested);
  EXPECT_EQ(log.Lines(), (Lines{"Resetting device...", "Sending command...", "Reading data...",
                                "Reading completion code..."}));

  log.Clear();
  EXPECT_EQ(device.ReadBatteryVoltage(battery), kOk);
  EXPECT_EQ(battery, 87);
  EXPECT_EQ(log.Lines(), (Lines{"Resetting device...", "Sending command...", "Reading data...",
                                "Reading completion code...", "Done."}));

  log.Clear();
  bus.ClearRecords();
  const std::uint64_t before = bus.NowMs();
  EXPECT_EQ(device.FireLines(), kOk);
  EXPECT_EQ(sim->State().lineFirings, 1);
  EXPECT_EQ(bus.NowMs() - before, 2000u) << "the device confirms once the lines have fired";
  EXPECT_EQ(log.Lines(), (Lines{"Resetting device...", "Sending command...", "Reading completion code..."}));
  EXPECT_EQ(CommandCodesSent(), (std::vector<std::uint8_t>{kCmdReset, kCmdFireLines}));
  EXPECT_EQ(TimeoutsAsked(), std::vector<std::uint32_t>(3, kIoTimeoutMs));
}

TEST_F(CommandProtocol, SensorAndFireFailures) {
  using Operation = std::function<int(AltimeterDevice&, std::uint16_t&)>;
  const std::pair<const char*, Operation> operations[] = {
      {"adc", [](AltimeterDevice& d, std::uint16_t& v) { return d.ReadAdc(v); }},
      {"battery", [](AltimeterDevice& d, std::uint16_t& v) { return d.ReadBatteryVoltage(v); }},
  };
  struct Case {
    const char* name;
    SimFault fault;
    int result;
    bool valueStored;
  };
  const Case cases[] = {
      {"reset not taken", {SimFaultKind::WithholdAccept, 0}, kSendFailed, false},
      {"command not taken", {SimFaultKind::WithholdAccept, 1}, kSendFailed, false},
      {"no data reply", {SimFaultKind::WithholdReplies, 0}, kSendFailed, false},
      {"completion in place of data", {SimFaultKind::EndEarly, 0}, kProtocolError, false},
      {"no completion", {SimFaultKind::WithholdReplies, 1}, kSendFailed, true},
      {"completion with another code", {SimFaultKind::ReplaceCode, 1, 0}, kProtocolError, true},
  };
  for (const auto& [opName, operation] : operations) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(opName) + ": " + c.name);
      sim->InjectFault(c.fault);
      std::uint16_t value = 0x5555;
      EXPECT_EQ(operation(device, value), c.result);
      EXPECT_EQ(value, c.valueStored ? (std::string(opName) == "adc" ? 836 : 90) : 0x5555);
      sim->ClearFaults();
    }
  }

  const std::pair<SimFault, int> fireCases[] = {
      {{SimFaultKind::WithholdAccept, 0}, kSendFailed},
      {{SimFaultKind::WithholdAccept, 1}, kSendFailed},
      {{SimFaultKind::WithholdReplies, 0}, kSendFailed},
      {{SimFaultKind::ReplaceCode, 0, 0}, kProtocolError},
  };
  for (const auto& [fault, result] : fireCases) {
    sim->InjectFault(fault);
    EXPECT_EQ(device.FireLines(), result);
    sim->ClearFaults();
  }
}

TEST_F(CommandProtocol, InBootloaderModeEveryExchangeRefusesWithoutSending) {
  device.bootloaderMode = true;
  device.cancelRequested = true;
  std::uint16_t value = 7;
  EXPECT_EQ(device.ReadSettings(), kProtocolError);
  EXPECT_EQ(device.WriteSettings(), kProtocolError);
  EXPECT_EQ(device.ClearData(), kProtocolError);
  EXPECT_EQ(device.ReadAdc(value), kProtocolError);
  EXPECT_EQ(device.ReadBatteryVoltage(value), kProtocolError);
  EXPECT_EQ(device.FireLines(), kProtocolError);
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(device.cancelRequested);
  EXPECT_TRUE(bus.Transfers().empty());
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(CommandProtocol, UnknownCommandsAreTakenAndLeftUnanswered) {
  EXPECT_TRUE(device.SendCommand(0x33, 0x1234));
  EXPECT_EQ(sim->Received().back(), (std::vector<std::uint8_t>{0, 0x34, 0x12, 0x33}));
  std::uint16_t value = 0xAAAA;
  std::uint8_t code = 0xAA;
  EXPECT_FALSE(device.ReadReply(value, &code, 20000));
  EXPECT_EQ(value, 0xAAAA) << "outputs are written only when a reply arrived";
  EXPECT_EQ(code, 0xAA);
  EXPECT_EQ(bus.NowMs(), 20000u);
  EXPECT_EQ(bus.Transfers().back().timeoutMs, 20000u);
}

TEST_F(CommandProtocol, AResetAbandonsAHalfWrittenSettingsBlock) {
  const auto factory = sim->State().settingsBlock;
  ASSERT_TRUE(device.SendCommand(kCmdWriteSettings, 0));
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(device.SendCommand(kCmdSettingsData, 0x11));
  ASSERT_TRUE(device.Reset());
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(device.SendCommand(kCmdSettingsData, 0x22));
  std::uint16_t value = 0;
  EXPECT_FALSE(device.ReadReply(value, nullptr));
  EXPECT_EQ(sim->State().settingsBlock, factory);
}

TEST_F(CommandProtocol, ADeviceThatIsGoneFailsAtOnce) {
  bus.Unplug(device.devicePath);
  EXPECT_EQ(device.ReadSettings(), kSendFailed);
  EXPECT_EQ(log.Lines(), (Lines{"Resetting device.", "Write Error."}));
  EXPECT_EQ(bus.NowMs(), 0u);
  EXPECT_TRUE(device.IsOpen()) << "the removal notification, not the failure, closes the handles";
}

TEST_F(CommandProtocol, RepliesWaitTheirTurnAtTheReportInterval) {
  sim->SetReportInterval(1);
  EXPECT_EQ(device.ReadSettings(), kOk);
  EXPECT_EQ(bus.NowMs(), 17u);
}

// An exchange that gave up before its replies came leaves them queued; the next exchange must not
// take them for its own.
TEST_F(CommandProtocol, RepliesThatCameAfterTheirTimeOutAreNotTakenByTheNextExchange) {
  sim->State().settingsBlock = kDeviceBlock;
  struct Case {
    const char* name;
    std::uint8_t strayCommand;  // the earlier exchange whose replies are still queued
    std::function<void()> check;
  };
  const std::vector<Case> cases = {
      {"battery after a late ADC reading", kCmdReadAdc,
       [&] {
         std::uint16_t tenths = 0;
         EXPECT_EQ(device.ReadBatteryVoltage(tenths), kOk);
         EXPECT_EQ(tenths, 90);
       }},
      {"ADC after a late battery reading", kCmdReadBattery,
       [&] {
         std::uint16_t count = 0;
         EXPECT_EQ(device.ReadAdc(count), kOk);
         EXPECT_EQ(count, 836);
       }},
      {"settings after a late battery reading", kCmdReadBattery,
       [&] {
         EXPECT_EQ(device.ReadSettings(), kOk);
         EXPECT_EQ(device.settings.image, kDeviceBlock);
       }},
      {"clear after a late ADC reading", kCmdReadAdc, [&] { EXPECT_EQ(device.ClearData(), kOk); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(device.Reset());
    ASSERT_TRUE(device.SendCommand(c.strayCommand, 0));
    bus.Sleep(100);  // the replies arrive; nobody reads them
    c.check();
  }
}

}  // namespace
}  // namespace tev
