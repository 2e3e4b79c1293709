#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Flights.h"
#include "model/DebugLog.h"
#include "model/FlightPacket.h"
#include "tests/support/LogCapture.h"

namespace tev {
namespace {

using testing::MakePacket;
using testing::SampleWord;

// Types of packets 0..7: sets start at 1, 4 and 5; packet 7 is erased memory.
PacketList ThreeSets() {
  PacketList packets;
  for (std::uint8_t type : {1, 2, 1, 1, 2, 2, 1, 0xFF, 1}) packets.push_back(MakePacket(type, {SampleWord(800)}));
  return packets;
}

TEST(PacketList, SetsAreRunsStartingAtTypeTwo) {
  const PacketList packets = ThreeSets();
  EXPECT_EQ(CountSets(packets), 3);
  EXPECT_EQ(FindSetStart(packets, 0), 1);
  EXPECT_EQ(FindSetStart(packets, 1), 4);
  EXPECT_EQ(FindSetStart(packets, 2), 5);
  EXPECT_EQ(FindSetStart(packets, 3), -1);
  EXPECT_EQ(FindSetStart(packets, -1), -1);

  EXPECT_EQ(CountSetPackets(packets, 0), 3);
  EXPECT_EQ(CountSetPackets(packets, 1), 1);  // two type-2 packets in a row
  // Erased memory inside a set belongs to it, as it does for the samples: up to the list's end.
  EXPECT_EQ(CountSetPackets(packets, 2), 4);
  EXPECT_EQ(CountSetSamples(packets, 5), 4u);
  EXPECT_EQ(CountSetPackets(packets, 3), 0);
}

TEST(PacketList, SetOfPacketCountsTheStartsUpToIt) {
  const PacketList packets = ThreeSets();
  const struct {
    int packet, set;
  } cases[] = {{-1, -1}, {0, -1}, {1, 0}, {3, 0}, {4, 1}, {5, 2}, {8, 2}, {9, -1}};
  for (const auto& c : cases) EXPECT_EQ(SetOfPacket(packets, c.packet), c.set) << c.packet;
}

TEST(PacketList, ListWithoutFlightStartHoldsNoSets) {
  PacketList packets = {MakePacket(1, {SampleWord(800)}), MakePacket(0xFF, {})};
  EXPECT_EQ(CountSets(packets), 0);
  EXPECT_EQ(FindSetStart(packets, 0), -1);
  EXPECT_EQ(CountSetPackets(packets, 0), 0);
  EXPECT_EQ(CountSets({}), 0);
}

TEST(PacketList, CountSetPacketsLogsSetAndAddress) {
  LogCapture log;
  CountSetPackets(ThreeSets(), 1);
  CountSetPackets(ThreeSets(), 9);
  const std::vector<std::string> lines = log.Lines();
  EXPECT_EQ(lines, (std::vector<std::string>{"Set: 1", "Set Address: 4", "Set: 9", "Set Address: -1"}));
}

TEST(FlightPacket, ErasedStateAndLittleEndianWords) {
  FlightPacket packet = FlightPacket::Erased();
  EXPECT_EQ(packet.bytes[0], 0xFF);
  EXPECT_EQ(packet.bytes[1], 0);
  for (int i = 2; i < 64; ++i) EXPECT_EQ(packet.bytes[i], 0xFF);
  packet.bytes[62] = 0x34;
  packet.bytes[63] = 0xC2;
  EXPECT_EQ(packet.Word(31), 0xC234);
  EXPECT_EQ(SampleAdc(0xC234), 0x023);
  EXPECT_EQ(SampleLineFlags(0xC234), 3);
  EXPECT_EQ(SampleLineFlags(0x8000), 2);  // Line A
  EXPECT_EQ(SampleLineFlags(0x4000), 1);  // Line B
}

}  // namespace
}  // namespace tev
