// The Capture Data workers against a simulated altimeter, natively: their status lines in order,
// what they ask of the dialog, and the packets they leave.
#include "ui/logic/CaptureWorkers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "sim/VirtualBus.h"
#include "tests/device/FlightSims.h"
#include "tests/support/LogCapture.h"

namespace tev {
namespace {

using Lines = std::vector<std::wstring>;

// Status lines as they are, and what is asked of the dialog in brackets.
class RecordingHost : public CaptureDialogHost {
 public:
  void AppendStatus(const std::wstring& text) override { record.push_back(text); }
  void RefreshControls(bool busy) override { record.push_back(busy ? L"[busy]" : L"[idle]"); }
  void RenderPlot() override { record.push_back(L"[plot]"); }
  void ShowStrip() override { record.push_back(L"[strip]"); }
  bool Closing() const override { return closing; }

  Lines StatusLines() const {
    Lines lines;
    std::copy_if(record.begin(), record.end(), std::back_inserter(lines), [](const auto& l) { return l[0] != L'['; });
    return lines;
  }

  Lines record;
  bool closing = false;
};

const Lines kReadOpening = {L"Attempting to connect to device.\r\n", L"Altimeter found! Reading settings...\r\n",
                            L"Settings read successfully.\r\n", L"Reading data...\r\n"};

class CaptureWorkTest : public ::testing::Test {
 protected:
  void Plug(const PacketList& memory) {
    sim = MakeFlightSim(memory);
    bus.Plug(sim);
    ASSERT_EQ(device.Connect(Personality::Application), kConnected);
  }
  std::size_t PacketCount() const {
    std::lock_guard lock(device.packetsMutex);
    return device.packets.size();
  }

  LogCapture log;
  std::shared_ptr<SimAltimeter> sim;
  VirtualBus bus;
  AltimeterDevice device{bus};
  RecordingHost host;
  std::atomic<int> frames{0};
  CaptureWork work{device, host, [this](const LiveTrace&) { ++frames; }};
};

TEST_F(CaptureWorkTest, AReadTellsEveryPacketRedrawsTheStripForEachAndEndsIdle) {
  const PacketList memory = SampleMemory();
  Plug(memory);
  work.Read(false);
  Lines expected = {L"[busy]", L"[strip]"};
  expected.insert(expected.end(), kReadOpening.begin(), kReadOpening.end());
  for (std::size_t i = 0; i < memory.size(); ++i) {
    expected.push_back(L"Packet Read: " + std::to_wstring(i) + L"\r\n");
    expected.push_back(L"[strip]");
  }
  expected.push_back(L"Data read successfully.\r\n");
  expected.push_back(L"Packets Read: " + std::to_wstring(memory.size()) + L"\r\n");
  expected.push_back(L"[idle]");
  EXPECT_EQ(host.record, expected);
  EXPECT_EQ(PacketCount(), memory.size());
  EXPECT_EQ(frames, 0) << "no live trace unless asked";
}

TEST_F(CaptureWorkTest, LiveUpdatePaintsTheTraceAtLeastOnceWithTheLastFrame) {
  Plug(SampleMemory());
  work.Read(true);
  EXPECT_GE(frames, 1);
  EXPECT_EQ(host.record.back(), L"[idle]");
}

TEST_F(CaptureWorkTest, AnEmptyAltimeterGivesThePlotBackToTheFlightOnDisplay) {
  Plug({});
  work.Read(false);
  const Lines tail(host.record.end() - 4, host.record.end());
  EXPECT_EQ(tail, (Lines{L"Data read successfully.\r\n", L"Packets Read: 0\r\n", L"[plot]", L"[idle]"}));
}

TEST_F(CaptureWorkTest, WithoutTheAltimeterBothWorkersSaySoAndGiveTheControlsBack) {
  Plug(SampleMemory());
  device.Close();
  work.Read(false);
  EXPECT_EQ(host.record, (Lines{L"[busy]", L"[strip]", L"Attempting to connect to device.\r\n",
                                L"Altimeter not found. Make sure it is properly connected to the PC.\r\n", L"[idle]"}));
  host.record.clear();
  work.Clear();
  EXPECT_EQ(host.record, (Lines{L"[idle]", L"Altimeter not found. Make sure it is properly connected to the PC.\r\n"}));
}

TEST_F(CaptureWorkTest, ASettingsReadThatFailsStopsBeforeTheData) {
  Plug(SampleMemory());
  sim->InjectFault({SimFaultKind::WithholdReplies, 0, 0});
  work.Read(false);
  EXPECT_EQ(host.StatusLines(), (Lines{L"Attempting to connect to device.\r\n", L"Altimeter found! Reading settings...\r\n",
                                       L"Failed to read settings.\r\n"}));
  EXPECT_EQ(host.record.back(), L"[idle]");
  EXPECT_EQ(PacketCount(), 0u);
}

TEST_F(CaptureWorkTest, AReadAfterTheDialogBeganToCloseIsNotBegunAndItsDataGo) {
  Plug(SampleMemory());
  work.Read(false);
  ASSERT_GT(PacketCount(), 0u);
  host.record.clear();
  host.closing = true;
  device.cancelRequested = true;
  work.Read(false);
  EXPECT_EQ(host.StatusLines().back(), L"Failed to read data.\r\n");
  EXPECT_EQ(PacketCount(), 0u);
  EXPECT_TRUE(work.DiscardOnClose());
}

TEST_F(CaptureWorkTest, AnUnplugMidDownloadKeepsTheWholeSetsAndNamesTheCutOne) {
  const PacketList memory = SampleMemory();
  Plug(memory);
  // Past the settings and a few packets, well before the end of the memory.
  sim->InjectFault({SimFaultKind::UnplugAfter, 120, 0});
  work.Read(false);
  const Lines lines = host.StatusLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_TRUE(std::find(lines.begin(), lines.end(), L"Failed to read data.\r\n") != lines.end());
  EXPECT_GT(PacketCount(), 0u);
  EXPECT_LT(PacketCount(), memory.size());
  {
    std::lock_guard lock(device.packetsMutex);
    EXPECT_NE(work.IncompleteSet(), -1);
  }
  EXPECT_EQ(host.record.back(), L"[idle]");
  work.ClearPackets();
  std::lock_guard lock(device.packetsMutex);
  EXPECT_EQ(work.IncompleteSet(), -1) << "a new read starts with no set cut off";
}

TEST_F(CaptureWorkTest, AFailureOnlyAfterTheLastSetsFinalPacketStillSaysItMayBeIncomplete) {
  // The settings take 17 reports, every packet 33 (32 words and the completion).
  const PacketList memory = SampleMemory();
  const int afterLastPacket = 17 + static_cast<int>(memory.size()) * 33;
  const struct {
    const char* name;
    int unplugAfter;
  } cases[] = {
      {"as the packet after it is asked for", afterLastPacket},
      {"in the erased packet that ends the memory", afterLastPacket + 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.record.clear();
    Plug(memory);
    sim->InjectFault({SimFaultKind::UnplugAfter, static_cast<std::uint32_t>(c.unplugAfter), 0});
    work.Read(false);
    EXPECT_EQ(PacketCount(), memory.size());
    const Lines lines = host.StatusLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(Lines(lines.end() - 2, lines.end()),
              (Lines{L"Failed to read data.\r\n", L"Data set " + std::to_wstring(CountSets(memory)) +
                                                       L" may be incomplete: the download stopped before its end.\r\n"}));
  }
}

TEST_F(CaptureWorkTest, ClearEmptiesTheAltimeterAndThePacketsThenRedrawsTheStrip) {
  Plug(SampleMemory());
  work.Read(false);
  host.record.clear();
  work.Clear();
  EXPECT_EQ(host.record, (Lines{L"[strip]", L"Data cleared successfully.\r\n", L"[idle]"}));
  EXPECT_EQ(PacketCount(), 0u);
  const auto& flash = sim->State().flightMemory;
  EXPECT_TRUE(std::all_of(flash.begin(), flash.end(), [](std::uint8_t b) { return b == 0xFF; }));
}

TEST_F(CaptureWorkTest, AClearTheDeviceRefusesSaysSo) {
  Plug(SampleMemory());
  sim->InjectFault({SimFaultKind::WithholdReplies, 0, 0});
  work.Clear();
  EXPECT_EQ(host.record, (Lines{L"[idle]", L"Failed to clear data.\r\n"}));
}

}  // namespace
}  // namespace tev
