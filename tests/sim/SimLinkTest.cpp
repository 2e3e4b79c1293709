// Both ends of the sim link over real loopback sockets.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "device/AltimeterDevice.h"
#include "sim/SimLinkBus.h"
#include "sim/SimLinkDevice.h"
#include "sim/SimLinkFrame.h"
#include "tests/device/SimDevices.h"
#include "tests/support/WaitUntil.h"

namespace tev {
namespace {

using namespace std::chrono_literals;

using testing::WaitUntil;

// A simulated altimeter served on its own thread. Its state is the test's again once unplugged.
class PluggedSim {
 public:
  PluggedSim(std::uint16_t port, std::shared_ptr<SimAltimeter> sim) : sim_(std::move(sim)), link_(*sim_) {
    plugged_ = link_.Plug(port);
    thread_ = std::thread([this] {
      while (!stop_ && link_.Serve(10)) {
      }
    });
  }
  ~PluggedSim() { Unplug(); }
  void Unplug() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    link_.Unplug();
  }
  bool Plugged() const { return plugged_; }

 private:
  std::shared_ptr<SimAltimeter> sim_;
  SimLinkDevice link_;
  std::atomic<bool> stop_{false};
  bool plugged_ = false;
  std::thread thread_;
};

// A device end written by hand, frame by frame.
struct RawDevice {
  SimSocket socket;
  explicit RawDevice(std::uint16_t port, const std::string& serial = "raw") : socket(SimSocket::Connect(port)) {
    if (serial.empty()) return;
    const auto payload = EncodeAttach({kVendorId, kApplicationProductId, 0x0140, 0, serial});
    Send(kFrameAttach, payload);
  }
  bool Send(std::uint8_t type, const std::vector<std::uint8_t>& payload = {}) {
    return WriteFrame(socket, type, payload.data(), payload.size());
  }
  // True when the host has closed the connection.
  bool ClosedByHost() {
    SimFrame frame;
    while (socket.WaitReadable(3000)) {
      if (!ReadFrame(socket, frame)) return true;
    }
    return false;
  }
};

class SimLink : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(bus.Listen(0)); }
  bool WaitForDevices(std::size_t n) {
    return WaitUntil(5000, [&] { return bus.EnumerateInterfaces().size() == n; });
  }
  static std::wstring PathOf(const std::string& serial) {
    return L"\\\\?\\hid#vid_1209&pid_0002#sim&" + std::wstring(serial.begin(), serial.end()) +
           L"#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  }

  // The host handles a connection's frames in order: once the ACCEPT sent after them has
  // completed a write, every report the device sent before it is in the ring.
  void WaitForFramesBefore(RawDevice& raw, HidHandle write) {
    const auto reset = HidReport{0, 0, kCmdReset}.Bytes();
    auto written = std::async(std::launch::async, [&] { return bus.WriteReport(write, reset.data(), 4, 3000); });
    SimFrame output;
    ASSERT_TRUE(ReadFrame(raw.socket, output));
    raw.Send(kFrameAccept);
    ASSERT_TRUE(written.get());
  }

  SimLinkBus bus;
};

TEST_F(SimLink, SettingsRoundTripThroughTheLink) {
  auto sim = MakeSim(Personality::Application, 0x0141, "Link1");
  const SettingsImage factory = sim->State().settingsBlock;
  PluggedSim plugged(bus.Port(), sim);
  ASSERT_TRUE(plugged.Plugged());
  ASSERT_TRUE(WaitForDevices(1));

  AltimeterDevice device(bus);
  std::uint16_t version = 0;
  ASSERT_EQ(device.Connect(Personality::Application, &version), kConnected);
  EXPECT_EQ(version, 0x0141);
  EXPECT_EQ(device.devicePath, PathOf("Link1"));

  ASSERT_EQ(device.ReadSettings(), kOk);
  EXPECT_EQ(device.settings.image, factory);
  const SettingsImage changed{9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};
  device.settings.image = changed;
  ASSERT_EQ(device.WriteSettings(), kOk);
  device.settings.image = {};
  ASSERT_EQ(device.ReadSettings(), kOk);
  EXPECT_EQ(device.settings.image, changed);
  std::uint16_t adc = 0;
  EXPECT_EQ(device.ReadAdc(adc), kOk);
  EXPECT_EQ(adc, 836);

  plugged.Unplug();
  EXPECT_EQ(sim->State().settingsBlock, changed);
}

TEST_F(SimLink, ArrivalAndRemovalAreAnnouncedAndAGoneDeviceFailsAtOnce) {
  std::mutex mutex;
  std::vector<std::pair<bool, std::wstring>> changes;
  bus.SetChangeCallback([&](bool arrived, std::wstring path) {
    std::lock_guard lock(mutex);
    changes.emplace_back(arrived, std::move(path));
  });
  auto count = [&] {
    std::lock_guard lock(mutex);
    return changes.size();
  };

  PluggedSim plugged(bus.Port(), MakeSim(Personality::Application, 0, "A1"));
  ASSERT_TRUE(WaitUntil(5000, [&] { return count() == 1; }));
  AltimeterDevice device(bus);
  ASSERT_EQ(device.Connect(Personality::Application), kConnected);

  plugged.Unplug();
  ASSERT_TRUE(WaitUntil(5000, [&] { return count() == 2; }));
  EXPECT_EQ(changes[0], std::make_pair(true, PathOf("A1")));
  EXPECT_EQ(changes[1], std::make_pair(false, PathOf("A1")));
  EXPECT_TRUE(bus.EnumerateInterfaces().empty());

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(device.ReadSettings(), kSendFailed);
  std::uint16_t value;
  EXPECT_FALSE(device.ReadReply(value, nullptr));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
}

TEST_F(SimLink, TheAttachFlagsRefuseOpeningAndHideTheAttributes) {
  auto held = MakeSim(Personality::Application, 0, "held");
  held->SetRefuseOpen(true);
  PluggedSim a(bus.Port(), held);
  ASSERT_TRUE(WaitForDevices(1));
  AltimeterDevice device(bus);
  EXPECT_EQ(device.Connect(Personality::Application), kCannotOpen);
  a.Unplug();
  ASSERT_TRUE(WaitForDevices(0));

  auto hidden = MakeSim(Personality::Application, 0, "hidden");
  hidden->SetAttributesUnreadable(true);
  PluggedSim b(bus.Port(), hidden);
  ASSERT_TRUE(WaitForDevices(1));
  EXPECT_FALSE(bus.ReadAttributes(PathOf("hidden")).has_value());
  EXPECT_EQ(device.Connect(Personality::Application), kNotFound);
}

TEST_F(SimLink, DevicesEnumerateInTheOrderTheyConnected) {
  PluggedSim first(bus.Port(), MakeSim(Personality::Application, 0, "zz"));
  ASSERT_TRUE(WaitForDevices(1));
  PluggedSim second(bus.Port(), MakeSim(Personality::Application, 0, "aa"));
  ASSERT_TRUE(WaitForDevices(2));
  EXPECT_EQ(bus.EnumerateInterfaces(), (std::vector<std::wstring>{PathOf("zz"), PathOf("aa")}));

  // A second device under a path already present could not be told apart: it is refused.
  RawDevice twin(bus.Port(), "zz");
  EXPECT_TRUE(twin.ClosedByHost());
  EXPECT_EQ(bus.EnumerateInterfaces().size(), 2u);
}

TEST_F(SimLink, AWithheldAcceptFailsTheWriteAfterItsTimeOut) {
  auto sim = MakeSim();
  sim->InjectFault({SimFaultKind::WithholdAccept, 0});
  PluggedSim plugged(bus.Port(), sim);
  ASSERT_TRUE(WaitForDevices(1));
  const HidHandle write = bus.OpenForWriting(bus.EnumerateInterfaces()[0]);
  const auto reset = HidReport{0, 0, kCmdReset}.Bytes();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(bus.WriteReport(write, reset.data(), reset.size(), 150));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
  EXPECT_TRUE(bus.WriteReport(write, reset.data(), reset.size(), 3000));
}

TEST_F(SimLink, ALateAcceptDoesNotCountForTheNextWrite) {
  RawDevice raw(bus.Port());
  ASSERT_TRUE(WaitForDevices(1));
  const HidHandle write = bus.OpenForWriting(PathOf("raw"));
  const auto report = HidReport{0, 0, kCmdReset}.Bytes();
  const HidHandle read = bus.OpenForReading(PathOf("raw"));
  EXPECT_FALSE(bus.WriteReport(write, report.data(), report.size(), 100));
  raw.Send(kFrameAccept);  // too late for the first write
  // The host handles frames in order: once this report is read, the late accept has been seen.
  raw.Send(kFrameInput, {0, 1, 0, 0});
  std::array<std::uint8_t, 4> marker{};
  ASSERT_TRUE(bus.ReadReport(read, marker.data(), marker.size(), 3000));
  EXPECT_FALSE(bus.WriteReport(write, report.data(), report.size(), 100));

  SimFrame frame;
  ASSERT_TRUE(ReadFrame(raw.socket, frame));
  EXPECT_EQ(frame.type, kFrameOutput);
  EXPECT_EQ(frame.payload, std::vector<std::uint8_t>(report.begin(), report.end()));
}

TEST_F(SimLink, TheInputRingKeepsTheNewestReportsItsReaderAskedRoomFor) {
  RawDevice raw(bus.Port());
  ASSERT_TRUE(WaitForDevices(1));
  const HidHandle write = bus.OpenForWriting(PathOf("raw"));
  raw.Send(kFrameInput, {0, 0xEE, 0, 0});  // nobody has the device open for reading: lost
  ASSERT_NO_FATAL_FAILURE(WaitForFramesBefore(raw, write));
  const HidHandle read = bus.OpenForReading(PathOf("raw"));
  const int sent = static_cast<int>(SimLinkBus::kRequestedInputRing) + 8;
  const auto report = [](int i) {
    return std::vector<std::uint8_t>{0, static_cast<std::uint8_t>(i & 0xFF), static_cast<std::uint8_t>(i >> 8), 0};
  };
  for (int i = 0; i < sent; ++i) raw.Send(kFrameInput, report(i));
  raw.Send(0x7F, {1, 2, 3});  // a frame type the host does not know: ignored
  raw.Send(kFrameInput, report(sent));

  ASSERT_NO_FATAL_FAILURE(WaitForFramesBefore(raw, write));

  std::vector<int> values;
  std::array<std::uint8_t, 4> buffer{};
  while (bus.ReadReport(read, buffer.data(), buffer.size(), 0)) values.push_back(buffer[1] | (buffer[2] << 8));
  ASSERT_EQ(values.size(), SimLinkBus::kRequestedInputRing) << "the program's read handle asks for more than 32";
  EXPECT_EQ(values.front(), sent + 1 - static_cast<int>(SimLinkBus::kRequestedInputRing)) << "the oldest go";
  EXPECT_EQ(values.back(), sent);
}

TEST_F(SimLink, AMalformedFrameUnplugsTheDevice) {
  const std::vector<std::pair<const char*, std::function<void(RawDevice&)>>> cases = {
      {"input before attach", [](RawDevice& d) { d.Send(kFrameInput, {0, 1, 2, 3}); }},
      {"serial with a dash", [](RawDevice& d) {
         d.Send(kFrameAttach, EncodeAttach({kVendorId, kApplicationProductId, 0x0140, 0, "a-b"}));
       }},
      {"attach too short", [](RawDevice& d) { d.Send(kFrameAttach, {1, 2, 3}); }},
      {"second attach", [](RawDevice& d) {
         d.Send(kFrameAttach, EncodeAttach({kVendorId, kApplicationProductId, 0x0140, 0, "x1"}));
         d.Send(kFrameAttach, EncodeAttach({kVendorId, kApplicationProductId, 0x0140, 0, "x2"}));
       }},
      {"accept with a payload", [](RawDevice& d) {
         d.Send(kFrameAttach, EncodeAttach({kVendorId, kApplicationProductId, 0x0140, 0, "x3"}));
         d.Send(kFrameAccept, {1});
       }},
      {"empty input", [](RawDevice& d) {
         d.Send(kFrameAttach, EncodeAttach({kVendorId, kApplicationProductId, 0x0140, 0, "x4"}));
         d.Send(kFrameInput, {});
       }},
      {"output from a device", [](RawDevice& d) {
         d.Send(kFrameAttach, EncodeAttach({kVendorId, kApplicationProductId, 0x0140, 0, "x5"}));
         d.Send(kFrameOutput, {0, 0, 0, 1});
       }},
  };
  for (const auto& [name, misbehave] : cases) {
    SCOPED_TRACE(name);
    RawDevice raw(bus.Port(), "");
    misbehave(raw);
    EXPECT_TRUE(raw.ClosedByHost());
    EXPECT_TRUE(WaitForDevices(0));
  }
}

TEST_F(SimLink, AFaultyDeviceCanUnplugItselfMidExchange) {
  auto sim = MakeSim();
  sim->InjectFault({SimFaultKind::UnplugAfter, 3});
  PluggedSim plugged(bus.Port(), sim);
  ASSERT_TRUE(WaitForDevices(1));
  AltimeterDevice device(bus);
  ASSERT_EQ(device.Connect(Personality::Application), kConnected);
  EXPECT_EQ(device.ReadSettings(), kNoReply);
  EXPECT_TRUE(WaitForDevices(0));
}

TEST_F(SimLink, DiscardDropsWhatIsQueuedAndClosingEndsAWaitingRead) {
  RawDevice raw(bus.Port());
  ASSERT_TRUE(WaitForDevices(1));
  const HidHandle read = bus.OpenForReading(PathOf("raw"));
  for (std::uint8_t i = 0; i < 3; ++i) raw.Send(kFrameInput, {0, i, 0, 0});
  ASSERT_NO_FATAL_FAILURE(WaitForFramesBefore(raw, bus.OpenForWriting(PathOf("raw"))));

  bus.DiscardInput(read);
  std::array<std::uint8_t, 4> buffer{};
  EXPECT_FALSE(bus.ReadReport(read, buffer.data(), buffer.size(), 0));

  // A read still waiting when its handle is closed ends then, as on Windows, and takes nothing
  // that arrives afterwards.
  auto waiting = std::async(std::launch::async, [&] { return bus.ReadReport(read, buffer.data(), buffer.size(), 20000); });
  std::this_thread::sleep_for(50ms);  // no sign shows the read has begun to wait: let it
  bus.Close(read);
  ASSERT_EQ(waiting.wait_for(5s), std::future_status::ready) << "the read outlived its handle";
  EXPECT_FALSE(waiting.get());
}

}  // namespace
}  // namespace tev
