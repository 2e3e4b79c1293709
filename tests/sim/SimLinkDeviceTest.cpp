// The device end of the sim link against a host written by hand: what a careless or hostile
// host cannot do to the simulated altimeter.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "device/HidReport.h"
#include "sim/SimLinkDevice.h"
#include "sim/SimLinkFrame.h"
#include "tests/device/SimDevices.h"

namespace tev {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The host end: a listener that takes the device's connection and its ATTACH frame.
struct RawHost {
  SimSocket listener = SimSocket::Listen(0);
  SimSocket connection;

  bool Accept() {
    if (!listener.WaitReadable(3000)) return false;
    connection = listener.Accept();
    SimFrame attach;
    return connection.Valid() && ReadFrame(connection, attach) && attach.type == kFrameAttach;
  }
  bool SendCommand(std::uint8_t code, std::uint16_t value = 0) {
    const auto report = HidReport{0, value, code}.Bytes();
    return WriteFrame(connection, kFrameOutput, report.data(), report.size());
  }
};

struct Plugged : ::testing::Test {
  std::shared_ptr<SimAltimeter> sim = MakeSim();  // replies with no interval of their own
  SimLinkDevice link{*sim};
  RawHost host;

  void SetUp() override {
    ASSERT_TRUE(link.Plug(host.listener.LocalPort()));
    ASSERT_TRUE(host.Accept());
  }
};

TEST_F(Plugged, APartFrameNeverHoldsTheDevice) {
  // Two bytes of a header, and the host keeps the connection open.
  const std::uint8_t part[] = {kFrameOutput, 4};
  ASSERT_TRUE(host.connection.SendAll(part, sizeof part));
  auto served = std::async(std::launch::async, [&] {
    const auto start = Clock::now();
    const bool open = link.Serve(50);
    return std::make_pair(open, Clock::now() - start);
  });
  const bool returned = served.wait_for(2s) == std::future_status::ready;
  if (!returned) host.connection.Close();  // frees a device stuck in a receive
  const auto [open, took] = served.get();
  ASSERT_TRUE(returned) << "Serve(50) waited for the rest of the frame";
  EXPECT_TRUE(open);
  EXPECT_LT(took, 1s);

  // The rest of the frame arrives later: the command is taken as a whole.
  const std::uint8_t rest[] = {0, 0, 0, 0, kCmdReadAdc};
  ASSERT_TRUE(host.connection.SendAll(rest, sizeof rest));
  ASSERT_TRUE(link.Serve(50));
  SimFrame frame;
  ASSERT_TRUE(host.connection.WaitReadable(1000));
  ASSERT_TRUE(ReadFrame(host.connection, frame));
  EXPECT_EQ(frame.type, kFrameAccept);
  ASSERT_EQ(sim->Received().size(), 1u);
  EXPECT_EQ(sim->Received()[0], (std::vector<std::uint8_t>{0, 0, 0, kCmdReadAdc}));
}

TEST_F(Plugged, AFloodOfCommandsIsHeldBackNotQueuedNorDropped) {
  // Twenty packet reads sent in one burst, without waiting for any ACCEPT.
  constexpr int kReads = 20;
  constexpr int kRepliesPerRead = 33;
  for (int i = 0; i < kReads; ++i) {
    ASSERT_TRUE(host.SendCommand(kCmdReadPacket));
    ASSERT_TRUE(host.SendCommand(kCmdReadPacket, static_cast<std::uint16_t>(i)));
  }
  // The host reads on its own thread; the device is served here, where its queue can be watched.
  auto received = std::async(std::launch::async, [&] {
    int accepts = 0, inputs = 0;
    std::vector<Clock::time_point> arrivals;
    SimFrame frame;
    while (inputs < kReads * kRepliesPerRead && host.connection.WaitReadable(3000) &&
           ReadFrame(host.connection, frame)) {
      if (frame.type == kFrameAccept) ++accepts;
      if (frame.type == kFrameInput) {
        ++inputs;
        arrivals.push_back(Clock::now());
      }
    }
    return std::make_tuple(accepts, inputs, arrivals);
  });
  std::size_t mostQueued = 0;
  const auto end = Clock::now() + 20s;
  while (received.wait_for(0s) != std::future_status::ready && Clock::now() < end) {
    ASSERT_TRUE(link.Serve(5));
    mostQueued = std::max(mostQueued, link.QueuedReplies());
  }
  link.Unplug();
  const auto [accepts, inputs, arrivals] = received.get();

  // At most one exchange beyond the limit was ever waiting to go out ...
  EXPECT_LE(mostQueued, SimLinkDevice::kMaxQueuedReplies + kRepliesPerRead);
  // ... and every command taken got all its replies, in time, none dropped.
  EXPECT_EQ(accepts, 2 * kReads);
  ASSERT_EQ(inputs, kReads * kRepliesPerRead);
  // Not faster than one report per millisecond, though this device has no interval of its own
  // (a tenth off for the host's own scheduling).
  const auto span = std::chrono::duration<double, std::milli>(arrivals.back() - arrivals.front()).count();
  EXPECT_GE(span, 0.9 * (inputs - 1)) << "reports sent back to back";
}

TEST_F(Plugged, AMalformedOutputFrameEndsTheConnection) {
  const std::vector<std::uint8_t> tooLong(kMaxReportLength + 1, 0);
  ASSERT_TRUE(WriteFrame(host.connection, kFrameOutput, tooLong.data(), tooLong.size()));
  EXPECT_FALSE(link.Serve(200));
  EXPECT_FALSE(link.Plugged());
  EXPECT_TRUE(sim->Received().empty());
}

TEST(SimFrameDecoder, AssemblesFramesFromPiecesOfAnySizeAndTakesNothingBeyond) {
  std::vector<std::uint8_t> stream;
  const std::vector<std::vector<std::uint8_t>> payloads = {{}, {1, 2, 3, 4}, std::vector<std::uint8_t>(300, 7)};
  for (std::size_t k = 0; k < payloads.size(); ++k) {
    const auto frame = EncodeFrame(static_cast<std::uint8_t>(k + 2), payloads[k].data(), payloads[k].size());
    stream.insert(stream.end(), frame.begin(), frame.end());
  }
  for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{5}, stream.size()}) {
    SimFrameDecoder decoder;
    std::vector<SimFrame> frames;
    std::size_t at = 0;
    while (at < stream.size()) {
      const std::size_t offered = std::min(piece, stream.size() - at);
      const std::size_t taken = decoder.Feed(stream.data() + at, offered);
      EXPECT_LE(taken, offered);
      at += taken;
      if (decoder.Complete()) frames.push_back(decoder.Take());
      else EXPECT_EQ(taken, offered) << "an incomplete frame takes all it is offered";
    }
    ASSERT_EQ(frames.size(), payloads.size()) << piece;
    for (std::size_t k = 0; k < payloads.size(); ++k) {
      EXPECT_EQ(frames[k].type, k + 2);
      EXPECT_EQ(frames[k].payload, payloads[k]);
    }
    EXPECT_EQ(decoder.Needed(), 3u);
  }
}

}  // namespace
}  // namespace tev
