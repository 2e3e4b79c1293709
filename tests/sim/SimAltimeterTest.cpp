// The simulated altimeter and the in-process bus it plugs into.
#include <gtest/gtest.h>

#include "device/HidReport.h"
#include "sim/VirtualBus.h"
#include "tests/device/SimDevices.h"

namespace tev {
namespace {

std::array<std::uint8_t, 4> Command(std::uint8_t code, std::uint16_t value = 0) {
  return HidReport{0, value, code}.Bytes();
}

struct OpenDevice {
  VirtualBus bus;
  std::shared_ptr<SimAltimeter> sim = MakeSim();
  std::wstring path = bus.Plug(sim);
  HidHandle read = bus.OpenForReading(path);
  HidHandle write = bus.OpenForWriting(path);

  bool Send(std::uint8_t code, std::uint16_t value = 0) {
    auto report = Command(code, value);
    return bus.WriteReport(write, report.data(), report.size(), 3000);
  }
  std::optional<HidReport> Receive(std::uint32_t timeoutMs = 3000) {
    std::array<std::uint8_t, 4> buffer{};
    if (!bus.ReadReport(read, buffer.data(), buffer.size(), timeoutMs)) return std::nullopt;
    return HidReport::FromBytes(buffer.data());
  }
};

TEST(VirtualBus, KeepsTheNewest32UnreadReports) {
  OpenDevice d;
  // Three settings reads: 51 replies, nobody reading.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(d.Send(kCmdReadSettings));
  int received = 0;
  std::optional<HidReport> last;
  while (auto r = d.Receive(10)) {
    last = r;
    ++received;
  }
  EXPECT_EQ(received, 32);
  EXPECT_EQ(last->code, kReplyComplete);
}

TEST(VirtualBus, ReportsArrivingWhileNobodyReadsAreLost) {
  OpenDevice d;
  d.bus.Close(d.read);
  ASSERT_TRUE(d.Send(kCmdReadAdc));
  d.bus.Sleep(5);
  d.read = d.bus.OpenForReading(d.path);
  EXPECT_FALSE(d.Receive().has_value());
  EXPECT_EQ(d.bus.NowMs(), 3005u);
}

TEST(VirtualBus, ATransferOnAClosedOrWrongHandleFailsAtOnce) {
  OpenDevice d;
  std::array<std::uint8_t, 4> buffer{};
  EXPECT_FALSE(d.bus.WriteReport(d.read, buffer.data(), 4, 3000));
  EXPECT_FALSE(d.bus.ReadReport(d.write, buffer.data(), 4, 3000));
  d.bus.Close(d.write);
  EXPECT_FALSE(d.bus.WriteReport(d.write, buffer.data(), 4, 3000));
  EXPECT_EQ(d.bus.NowMs(), 0u);
}

TEST(SimAltimeter, UnplugsAfterTheGivenNumberOfReportsAndTheBusSaysSo) {
  OpenDevice d;
  std::vector<std::pair<bool, std::wstring>> changes;
  d.bus.SetChangeCallback([&](bool arrived, std::wstring path) { changes.emplace_back(arrived, path); });
  d.sim->SetReportInterval(1);  // the device leaves one interval after its last report
  d.sim->InjectFault({SimFaultKind::UnplugAfter, 5});
  ASSERT_TRUE(d.Send(kCmdReadSettings));
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(d.Receive().has_value()) << i;
  EXPECT_FALSE(d.Receive().has_value());
  EXPECT_TRUE(d.bus.EnumerateInterfaces().empty());
  EXPECT_FALSE(d.Send(kCmdReset));
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0], std::make_pair(false, d.path));

  // Plugged in again it enumerates under the same path and is announced.
  d.bus.Plug(d.sim);
  EXPECT_EQ(d.bus.EnumerateInterfaces(), std::vector<std::wstring>{d.path});
  EXPECT_EQ(changes.back(), std::make_pair(true, d.path));
}

TEST(SimAltimeter, FaultsCountFromTheirInjection) {
  OpenDevice d;
  ASSERT_TRUE(d.Send(kCmdReadAdc));
  ASSERT_TRUE(d.Receive() && d.Receive());
  d.sim->InjectFault({SimFaultKind::ReplaceCode, 1, 0x42});
  d.sim->InjectFault({SimFaultKind::WithholdAccept, 1});
  ASSERT_TRUE(d.Send(kCmdReadBattery));
  EXPECT_EQ(d.Receive()->code, kReplyData);
  EXPECT_EQ(d.Receive()->code, 0x42);
  EXPECT_FALSE(d.Send(kCmdReset));
  EXPECT_TRUE(d.Send(kCmdReset));
}

TEST(SimAltimeter, RefusesReportsOfTheWrongLength) {
  OpenDevice d;
  std::array<std::uint8_t, 65> big{};
  big[3] = kCmdReadAdc;
  EXPECT_FALSE(d.bus.WriteReport(d.write, big.data(), big.size(), 3000));
  EXPECT_FALSE(d.bus.WriteReport(d.write, big.data(), 3, 3000));
  EXPECT_TRUE(d.sim->Received().empty());
}

TEST(SimAltimeter, KeepsItsMemoryAcrossAPersonalitySwitch) {
  auto sim = MakeSim();
  sim->State().settingsBlock[0] = 0x77;
  sim->SwitchPersonality(Personality::Bootloader);
  EXPECT_EQ(sim->Attributes().ProductID, kBootloaderProductId);
  EXPECT_EQ(sim->Attributes().VersionNumber, 0x0100);
  sim->SwitchPersonality(Personality::Application);
  EXPECT_EQ(sim->Attributes().ProductID, kApplicationProductId);
  EXPECT_EQ(sim->Attributes().VersionNumber, 0x0140);
  EXPECT_EQ(sim->State().settingsBlock[0], 0x77);
}

}  // namespace
}  // namespace tev
