#include "device/Download.h"

#include <gtest/gtest.h>

#include "device/AltimeterDevice.h"
#include "sim/VirtualBus.h"
#include "tests/device/FlightSims.h"
#include "tests/support/LogCapture.h"

namespace tev {
namespace {

using Lines = std::vector<std::string>;
using Kind = VirtualBus::Transfer::Kind;

struct Call {
  int packet;
  bool live;
  bool newFlight;
  bool operator==(const Call&) const = default;
};

struct RecordingObserver : DownloadObserver {
  void OnPacketProgress(int packetIndex, bool live, bool newFlight) override {
    calls.push_back({packetIndex, live, newFlight});
  }
  std::vector<Call> calls;
};

// The calls the download makes for packet i: word 0, words 5..30, and (unless it is the erased
// end of the memory) the stored packet.
std::vector<Call> PacketCalls(int i, bool newFlight, bool stored) {
  std::vector<Call> calls{{i, true, newFlight}};
  for (int j = 5; j <= 30; j += 5) calls.push_back({i, true, false});
  if (stored) calls.push_back({i, false, false});
  return calls;
}

class Download : public ::testing::Test {
 protected:
  void Start(const PacketList& memory) {
    sim = MakeFlightSim(memory);
    bus.Plug(sim);
    ASSERT_EQ(device.Connect(Personality::Application), kConnected);
    log.Clear();
    bus.ClearRecords();
  }
  std::vector<std::uint16_t> PacketIndexesAsked() const {
    std::vector<std::uint16_t> asked;
    const auto transfers = bus.Transfers();
    for (std::size_t k = 0; k < transfers.size(); ++k) {
      const auto& t = transfers[k];
      // The second of each pair of command-2 reports names the packet.
      if (t.kind == Kind::Write && t.bytes.at(3) == kCmdReadPacket && k > 0 && transfers[k - 1].kind == Kind::Write &&
          transfers[k - 1].bytes.at(3) == kCmdReadPacket)
        asked.push_back(static_cast<std::uint16_t>(t.bytes[1] | (t.bytes[2] << 8)));
    }
    return asked;
  }
  std::size_t Count(const std::string& line) const {
    const auto lines = log.Lines();
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
  }

  LogCapture log;
  std::shared_ptr<SimAltimeter> sim;
  VirtualBus bus;
  AltimeterDevice device{bus};
  RecordingObserver observer;
};

TEST_F(Download, CopiesSeveralFlightsByteForByte) {
  const PacketList memory = SampleMemory();
  ASSERT_GT(memory.size(), 20u);
  Start(memory);
  device.packets = PacketList(3);  // whatever was there goes

  EXPECT_EQ(device.DownloadPackets(observer), kOk);
  ASSERT_EQ(device.packets.size(), memory.size());
  for (std::size_t i = 0; i < memory.size(); ++i) EXPECT_EQ(device.packets[i].bytes, memory[i].bytes) << i;

  std::vector<Call> expected;
  for (std::size_t i = 0; i < memory.size(); ++i) {
    const auto calls = PacketCalls(static_cast<int>(i), memory[i].Type() == kPacketTypeFlightStart, true);
    expected.insert(expected.end(), calls.begin(), calls.end());
  }
  const auto end = PacketCalls(static_cast<int>(memory.size()), false, false);
  expected.insert(expected.end(), end.begin(), end.end());
  EXPECT_EQ(observer.calls, expected);

  // Every sample reached the live trace; the end marks did not.
  std::size_t samples = 0;
  for (const auto& p : memory)
    for (int j = 1; j <= kSamplesPerPacket; ++j) samples += p.Word(j) != kNoSample;
  EXPECT_EQ(device.liveSet.points.size(), samples);

  const Lines lines = log.Lines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 2), (Lines{"Resetting device.", "Reading Data..."}));
  EXPECT_EQ(lines.back(), "Done Reading Data...");
  EXPECT_EQ(Count("Done Reading Packet..."), memory.size());
  EXPECT_EQ(Count("Begin Notify..."), memory.size() + 1);
  EXPECT_EQ(Count("Notify..."), 6 * (memory.size() + 1));
  EXPECT_EQ(Count("updating fast set..."), 31 * (memory.size() + 1));
  EXPECT_EQ(Count("Code: [b]"), 32 * (memory.size() + 1));
  EXPECT_EQ(Count("Invalid data."), 0u);

  std::vector<std::uint16_t> indexes(memory.size() + 1);
  for (std::size_t i = 0; i < indexes.size(); ++i) indexes[i] = static_cast<std::uint16_t>(i);
  EXPECT_EQ(PacketIndexesAsked(), indexes);
  for (const auto& t : bus.Transfers()) EXPECT_EQ(t.timeoutMs, kIoTimeoutMs);
}

TEST_F(Download, EmptyMemoryGivesNoPacketsAfterOnePacketsWorth) {
  Start({});
  EXPECT_EQ(device.DownloadPackets(observer), kOk);
  EXPECT_TRUE(device.packets.empty());
  EXPECT_EQ(observer.calls, PacketCalls(0, false, false));
  EXPECT_TRUE(device.liveSet.points.empty());  // 0xFFFF words are no samples
  const auto transfers = bus.Transfers();
  EXPECT_EQ(std::count_if(transfers.begin(), transfers.end(), [](auto& t) { return t.kind == Kind::Write; }), 3);
  EXPECT_EQ(std::count_if(transfers.begin(), transfers.end(), [](auto& t) { return t.kind == Kind::Read; }), 33);
  EXPECT_EQ(log.Lines().back(), "Done Reading Data...");
}

TEST_F(Download, FullMemoryStopsAfterPacket127) {
  const PacketList full = sim::RecordFullMemory(sim::FlightSettings{});
  ASSERT_EQ(full.size(), 128u);
  Start(full);
  EXPECT_EQ(device.DownloadPackets(observer), kOk);
  ASSERT_EQ(device.packets.size(), 128u);
  EXPECT_EQ(device.packets.back().bytes, full.back().bytes);
  const auto asked = PacketIndexesAsked();
  ASSERT_EQ(asked.size(), 128u);
  EXPECT_EQ(asked.back(), 127);
  EXPECT_EQ(observer.calls.back(), (Call{127, false, false}));
  EXPECT_EQ(log.Lines().back(), "Done Reading Data...");
}

TEST_F(Download, RepliesWithOtherCodesInMidPacketAreSkipped) {
  const PacketList memory = SampleMemory();
  Start(memory);
  sim->InjectFault({SimFaultKind::InsertBefore, 7, 12});        // packet 0, before word 7
  sim->InjectFault({SimFaultKind::InsertBefore, 33 + 31, 0});   // packet 1, before word 31
  EXPECT_EQ(device.DownloadPackets(observer), kOk);
  ASSERT_EQ(device.packets.size(), memory.size());
  EXPECT_EQ(device.packets[0].bytes, memory[0].bytes);
  EXPECT_EQ(device.packets[1].bytes, memory[1].bytes);
  EXPECT_EQ(Count("Invalid data."), 2u);
  EXPECT_EQ(Count("Code: [c]"), 1u);
  EXPECT_EQ(Count("Code: [0]"), 1u);
}

TEST_F(Download, FailuresKeepThePacketsStoredBefore) {
  struct Case {
    const char* name;
    SimFault fault;
    int result;
    Lines tail;
    std::size_t stored;
    std::uint64_t waited;
  } cases[] = {
      {"reset not taken", {SimFaultKind::WithholdAccept, 0}, kSendFailed, {"Resetting device.", "Write Error."}, 0, 3000},
      {"first command-2 report not taken", {SimFaultKind::WithholdAccept, 3}, kSendFailed, {"Done Reading Packet..."}, 1, 3000},
      {"packet index not taken", {SimFaultKind::WithholdAccept, 4}, kSendFailed, {"Done Reading Packet..."}, 1, 3000},
      {"premature end", {SimFaultKind::EndEarly, 33 + 10}, kProtocolError,
       {"Invalid data.", "Code: [5]", "Premature end of data."}, 1, 0},
      {"no data reply", {SimFaultKind::WithholdReplies, 33 + 12}, kNoReply, {"Failed to read to packet."}, 1, 3000},
      {"no completion", {SimFaultKind::WithholdReplies, 33 + 32}, kNoReply,
       {"Could not read complete confirmation."}, 1, 3000},
      {"completion with another code", {SimFaultKind::ReplaceCode, 33 + 32, 11}, kProtocolError, {"Done."}, 1, 0},
  };
  const PacketList memory = SampleMemory();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualBus caseBus;
    auto caseSim = MakeFlightSim(memory);
    caseBus.Plug(caseSim);
    AltimeterDevice caseDevice{caseBus};
    ASSERT_EQ(caseDevice.Connect(Personality::Application), kConnected);
    log.Clear();
    caseSim->InjectFault(c.fault);
    const std::uint64_t start = caseBus.NowMs();
    RecordingObserver o;
    EXPECT_EQ(caseDevice.DownloadPackets(o), c.result);
    const Lines lines = log.Lines();
    ASSERT_GE(lines.size(), c.tail.size());
    EXPECT_EQ(Lines(lines.end() - static_cast<std::ptrdiff_t>(c.tail.size()), lines.end()), c.tail);
    ASSERT_EQ(caseDevice.packets.size(), c.stored);
    if (c.stored) {
      EXPECT_EQ(caseDevice.packets[0].bytes, memory[0].bytes);
    }
    // Time lost to waiting, beyond the reports' own trickle.
    EXPECT_GE(caseBus.NowMs() - start, c.waited);
    EXPECT_LT(caseBus.NowMs() - start, c.waited + 200);
  }
}

TEST_F(Download, CancelDuringTheCompletionStoresThePacketAndStopsAtTheNext) {
  const PacketList memory = SampleMemory();
  Start(memory);
  int reads = 0;
  bus.SetBeforeTransfer([&](Kind kind, std::uint32_t) {
    if (kind == Kind::Read && ++reads == 33 + 33) device.cancelRequested = true;  // packet 1's completion
  });
  EXPECT_EQ(device.DownloadPackets(observer), kCancelled);
  ASSERT_EQ(device.packets.size(), 2u);
  EXPECT_EQ(device.packets[1].bytes, memory[1].bytes);
  EXPECT_EQ(observer.calls.back(), (Call{1, false, false}));
  const Lines lines = log.Lines();
  EXPECT_EQ(Lines(lines.end() - 2, lines.end()), (Lines{"Requesting CancelIO.", "Done Reading Packet..."}));
  // Packet 2 was asked for, but not one of its replies read.
  EXPECT_EQ(PacketIndexesAsked(), (std::vector<std::uint16_t>{0, 1, 2}));
  EXPECT_EQ(reads, 66);
}

TEST_F(Download, CancelInMidPacketLosesThatPacket) {
  Start(SampleMemory());
  int reads = 0;
  bus.SetBeforeTransfer([&](Kind kind, std::uint32_t) {
    if (kind == Kind::Read && ++reads == 33 + 20) device.cancelRequested = true;
  });
  EXPECT_EQ(device.DownloadPackets(observer), kCancelled);
  EXPECT_EQ(device.packets.size(), 1u);
  EXPECT_EQ(reads, 33 + 20);  // the word being read is stored, then the flag is seen
}

TEST_F(Download, BootloaderModeLeavesThePacketListAlone) {
  Start(SampleMemory());
  device.bootloaderMode = true;
  device.packets = PacketList(2);
  EXPECT_EQ(device.DownloadPackets(observer), kProtocolError);
  EXPECT_EQ(device.packets.size(), 2u);
  EXPECT_TRUE(bus.Transfers().empty());
  EXPECT_TRUE(observer.calls.empty());
}

}  // namespace
}  // namespace tev
