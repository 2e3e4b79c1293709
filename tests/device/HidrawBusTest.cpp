// The Linux HID bus against a sysfs tree of the test's own and device nodes that are one end of
// a socket pair, the other end driven by the simulated altimeter in hidraw's layout.
#include "device/linux/HidrawBus.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "device/AltimeterDevice.h"
#include "device/Download.h"
#include "model/WidePath.h"
#include "tests/device/FakeSysfs.h"
#include "tests/device/FlightSims.h"
#include "tests/support/LogCapture.h"
#include "tests/device/SocketAltimeter.h"

namespace tev {
namespace {

using hidraw::HidrawBus;
using hidraw::UniqueFd;
using testing::FakeSysfs;
using testing::SocketAltimeter;
using Clock = std::chrono::steady_clock;

std::wstring Wide(const std::filesystem::path& path) { return Utf8ToWide(path.string()); }

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// hidraw refuses opening a node it does not know; a test's opener hands out what it has.
int NoSuchNode(const std::string&) {
  errno = ENOENT;
  return -1;
}

struct Attrs {
  std::uint16_t vendor, product, version;
};

void ExpectAttributes(HidrawBus& bus, const std::filesystem::path& path, Attrs want) {
  const std::optional<HidAttributes> got = bus.ReadAttributes(Wide(path));
  ASSERT_TRUE(got) << path;
  EXPECT_EQ(got->VendorID, want.vendor) << path;
  EXPECT_EQ(got->ProductID, want.product) << path;
  EXPECT_EQ(got->VersionNumber, want.version) << path;
}

TEST(HidrawEnumeration, FindsTheAltimeterAmongOtherHidDevices) {
  FakeSysfs sysfs;
  const auto keyboard = sysfs.AddUsb(0, 0x046D, 0xC31C, 0x6400, "");
  const auto pad = sysfs.AddBluetooth(1, 0x054C, 0x05C4);
  sysfs.AddWithUevent(2, "");
  std::filesystem::remove(sysfs.ClassLink(2) / "device/uevent");
  std::filesystem::create_directory(sysfs.ClassLink(2) / "device/uevent");  // opens, but cannot be read
  const auto altimeter = sysfs.AddUsb(3, kVendorId, kApplicationProductId, 0x0141, "A7");
  const auto bootloader = sysfs.AddUsb(10, kVendorId, kBootloaderProductId, 0x0100, "B2");
  const auto foreign = sysfs.AddUsb(11, 0x0483, kApplicationProductId, 0x0140, "");

  HidrawBus bus(sysfs.Root(), NoSuchNode);
  // By node number, hidraw10 after hidraw3; the unreadable hidraw2 left out.
  const std::vector<std::wstring> paths = bus.EnumerateInterfaces();
  EXPECT_EQ(paths, (std::vector<std::wstring>{Wide(keyboard), Wide(pad), Wide(altimeter), Wide(bootloader),
                                               Wide(foreign)}));
  EXPECT_EQ(bus.EnumerateInterfaces(), paths);

  ExpectAttributes(bus, keyboard, {0x046D, 0xC31C, 0x6400});
  ExpectAttributes(bus, pad, {0x054C, 0x05C4, 0});  // no USB device, no release number
  ExpectAttributes(bus, altimeter, {kVendorId, kApplicationProductId, 0x0141});
  ExpectAttributes(bus, bootloader, {kVendorId, kBootloaderProductId, 0x0100});

  const auto described = bus.Describe(Wide(altimeter));
  ASSERT_TRUE(described);
  EXPECT_EQ(described->node, "/dev/hidraw3");
  EXPECT_EQ(described->serial, "A7");

  AltimeterDevice device(bus);
  const auto application = device.FindDevices(kApplicationProductId, 0x0140, 0xFFF0);
  ASSERT_EQ(application.size(), 1u);
  EXPECT_EQ(application[0].devicePath, Wide(altimeter));
  EXPECT_EQ(device.FindDevices(kBootloaderProductId, 0x0100, 0xFFF0).at(0).devicePath, Wide(bootloader));

  // Unplugged and plugged in again on the same node number: the old path names nothing now.
  sysfs.Remove(3);
  EXPECT_FALSE(bus.Describe(Wide(altimeter)));
  EXPECT_FALSE(bus.ReadAttributes(Wide(altimeter)));
  const auto again = sysfs.AddUsb(3, kVendorId, kApplicationProductId, 0x0141, "A7");
  EXPECT_NE(again, altimeter);
  EXPECT_FALSE(bus.Describe(Wide(altimeter)));
  EXPECT_EQ(bus.OpenForReading(Wide(altimeter)), kInvalidHidHandle);
  EXPECT_EQ(bus.LastOpenError(), ENOENT);
  EXPECT_EQ(bus.EnumerateInterfaces().at(2), Wide(again));
}

TEST(HidrawEnumeration, WhatAHidDeviceSaysAboutItself) {
  struct Case {
    const char* name;
    std::string uevent;
    bool listed;
    std::optional<std::uint16_t> version;  // nullopt: attributes unreadable
  };
  const Case cases[] = {
      {"no HID_ID", "DRIVER=hid-generic\nHID_NAME=x\n", false, {}},
      {"HID_ID cut short", "HID_ID=0003:00001209\n", false, {}},
      {"HID_ID not hexadecimal", "HID_ID=0003:0000120G:00000002\n", false, {}},
      {"vendor id beyond 16 bits", "HID_ID=0003:00011209:00000002\n", false, {}},
      {"empty", "", false, {}},
      {"on I2C: no release number", "HID_ID=0018:00001209:00000002\nHID_UNIQ=\n", true, 0},
      {"on USB without a readable bcdDevice", "HID_ID=0003:00001209:00000002\n", true, std::nullopt},
      {"HID_ID last", "HID_NAME=x\nHID_ID=0018:00001209:00000002", true, 0},
  };
  for (const Case& c : cases) {
    FakeSysfs sysfs;
    const auto path = sysfs.AddWithUevent(0, c.uevent);
    HidrawBus bus(sysfs.Root(), NoSuchNode);
    const auto paths = bus.EnumerateInterfaces();
    EXPECT_EQ(paths.size(), c.listed ? 1u : 0u) << c.name;
    const auto attrs = bus.ReadAttributes(Wide(path));
    EXPECT_EQ(attrs.has_value(), c.listed && c.version.has_value()) << c.name;
    if (attrs) {
      EXPECT_EQ(attrs->VendorID, kVendorId) << c.name;
      EXPECT_EQ(attrs->VersionNumber, *c.version) << c.name;
    }
  }
}

TEST(HidrawEnumeration, NoHidrawAtAll) {
  FakeSysfs sysfs;  // a machine without the class folder
  HidrawBus bus(sysfs.Root(), NoSuchNode);
  EXPECT_TRUE(bus.EnumerateInterfaces().empty());
  AltimeterDevice device(bus);
  EXPECT_EQ(device.Connect(Personality::Application), kNotFound);
  EXPECT_FALSE(bus.ReadAttributes(L"/etc"));
  EXPECT_EQ(bus.OpenForReading(L"/etc/hidraw0"), kInvalidHidHandle);
}

// One altimeter plugged in as hidraw3, its node a socket driven by the simulation.
class HidrawAltimeter : public ::testing::Test {
 protected:
  explicit HidrawAltimeter(std::shared_ptr<SimAltimeter> sim = MakeFlightSim(SampleMemory()))
      : altimeter(std::move(sim)) {
    path = Wide(sysfs.AddUsb(3, kVendorId, kApplicationProductId, 0x0140, "0001"));
  }
  int Open(const std::string& node) {
    ++opens;
    if (node == "/dev/hidraw3") return altimeter.OpenHostEnd();
    errno = ENOENT;
    return -1;
  }

  FakeSysfs sysfs;
  SocketAltimeter altimeter;
  std::wstring path;
  int opens = 0;
  HidrawBus bus{sysfs.Root(), [this](const std::string& node) { return Open(node); }};
  AltimeterDevice device{bus};
};

struct QuietObserver : DownloadObserver {
  void OnPacketProgress(int, bool, bool) override {}
};

TEST_F(HidrawAltimeter, DownloadsEveryPacketByteForByte) {
  const PacketList memory = SampleMemory();
  ASSERT_EQ(device.Connect(Personality::Application), kConnected);
  EXPECT_EQ(device.devicePath, path);
  EXPECT_EQ(opens, 1);  // both handles on one open file of the node
  ASSERT_EQ(device.ReadSettings(), kOk);
  EXPECT_EQ(device.settings.image, altimeter.Sim().State().settingsBlock);

  QuietObserver observer;
  ASSERT_EQ(device.DownloadPackets(observer), kOk);
  ASSERT_EQ(device.packets.size(), memory.size());
  for (std::size_t i = 0; i < memory.size(); ++i) EXPECT_EQ(device.packets[i].bytes, memory[i].bytes) << i;
  // Output reports reach the device as written: report id 0 first, four bytes.
  for (const auto& report : altimeter.Sim().Received()) {
    ASSERT_EQ(report.size(), kHidReportLength);
    EXPECT_EQ(report[0], 0);
  }
}

TEST_F(HidrawAltimeter, SettingsRoundTrip) {
  ASSERT_EQ(device.Connect(Personality::Application), kConnected);
  ASSERT_EQ(device.ReadSettings(), kOk);
  device.settings.lineAMode = LineMode::Altitude;
  device.settings.lineAValue = 150;
  device.settings.lineBMode = LineMode::Time;
  device.settings.lineBValue = 35;
  device.settings.adcOffset = -7;
  ASSERT_TRUE(device.settings.Pack());
  const SettingsImage written = device.settings.image;
  ASSERT_EQ(device.WriteSettings(), kOk);
  EXPECT_EQ(altimeter.Sim().State().settingsBlock, written);

  // Read back through a connection of its own.
  device.Close();
  AltimeterDevice other(bus);
  ASSERT_EQ(other.Connect(Personality::Application), kConnected);
  ASSERT_EQ(other.ReadSettings(), kOk);
  EXPECT_EQ(other.settings.image, written);
}

class HidrawUnplug : public HidrawAltimeter {};

TEST_F(HidrawUnplug, AnAltimeterThatGoesMidDownloadFailsItAtOnce) {
  const PacketList memory = SampleMemory();
  ASSERT_GT(memory.size(), 10u);
  ASSERT_EQ(device.Connect(Personality::Application), kConnected);
  // Gone in the middle of packet 5 (33 input reports a packet).
  altimeter.Sim().InjectFault({SimFaultKind::UnplugAfter, 33 * 5 + 12, 0});

  QuietObserver observer;
  const auto start = Clock::now();
  EXPECT_EQ(device.DownloadPackets(observer), kNoReply);
  EXPECT_LT(MsSince(start), 2000);  // not one transfer time-out (3000 ms) more than the download takes
  EXPECT_TRUE(altimeter.Unplugged());
  ASSERT_EQ(device.packets.size(), 5u);  // what came before is kept
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(device.packets[i].bytes, memory[i].bytes) << i;

  // Every later transfer fails at once too; a write to the closed socket raises no SIGPIPE.
  const auto after = Clock::now();
  const std::uint8_t report[kHidReportLength] = {0, 0, 0, kCmdReset};
  EXPECT_FALSE(device.WriteReport(report, sizeof report));
  std::uint8_t reply[kHidReportLength];
  EXPECT_FALSE(device.ReadReport(reply, sizeof reply, kIoTimeoutMs));
  EXPECT_LT(MsSince(after), 500);
}

// The node's other end held by the test itself, for the transfers' own rules.
class HidrawTransfers : public ::testing::Test {
 protected:
  HidrawTransfers() {
    int fds[2];
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
    host.Reset(fds[0]);
    far.Reset(fds[1]);
    path = Wide(sysfs.AddUsb(0, kVendorId, kApplicationProductId, 0x0140, "0001"));
    reader = bus.OpenForReading(path);
    writer = bus.OpenForWriting(path);
  }
  void Send(std::vector<std::uint8_t> report) {
    ASSERT_EQ(::send(far.Get(), report.data(), report.size(), 0), static_cast<ssize_t>(report.size()));
  }
  std::vector<std::uint8_t> Read(std::uint32_t timeoutMs = 1000) {
    std::vector<std::uint8_t> buffer(kHidReportLength, 0xEE);
    if (!bus.ReadReport(reader, buffer.data(), buffer.size(), timeoutMs)) return {};
    return buffer;
  }

  FakeSysfs sysfs;
  UniqueFd host, far;
  std::wstring path;
  HidrawBus bus{sysfs.Root(), [this](const std::string&) { return ::dup(host.Get()); }};
  HidHandle reader = kInvalidHidHandle;
  HidHandle writer = kInvalidHidHandle;
};

TEST_F(HidrawTransfers, ReportIdFirstOnWritesAndPutBackOnReads) {
  ASSERT_NE(reader, kInvalidHidHandle);
  ASSERT_NE(writer, kInvalidHidHandle);
  const std::uint8_t out[] = {0, 0x34, 0x12, kCmdReadPacket};
  ASSERT_TRUE(bus.WriteReport(writer, out, sizeof out, 1000));
  std::uint8_t got[16];
  ASSERT_EQ(::recv(far.Get(), got, sizeof got, 0), 4);
  EXPECT_EQ(std::vector<std::uint8_t>(got, got + 4), std::vector<std::uint8_t>(out, out + 4));

  Send({0x78, 0x56, kReplyPacketWord});
  EXPECT_EQ(Read(), (std::vector<std::uint8_t>{0, 0x78, 0x56, kReplyPacketWord}));
  // A report longer than asked for is taken whole: the next read gets the next report.
  Send({1, 2, 3, 4, 5, 6, 7});
  Send({9, 8});
  EXPECT_EQ(Read(), (std::vector<std::uint8_t>{0, 1, 2, 3}));
  EXPECT_EQ(Read(), (std::vector<std::uint8_t>{0, 9, 8, 0}));
  // Each handle does only its own kind of transfer.
  EXPECT_FALSE(bus.WriteReport(reader, out, sizeof out, 100));
  std::uint8_t buffer[kHidReportLength];
  EXPECT_FALSE(bus.ReadReport(writer, buffer, sizeof buffer, 100));
}

TEST_F(HidrawTransfers, ReadTimesOutLeavingNothingHalfRead) {
  const auto start = Clock::now();
  EXPECT_TRUE(Read(200).empty());
  const auto waited = MsSince(start);
  EXPECT_GE(waited, 200);
  EXPECT_LT(waited, 1500);
  // The report that comes after the time-out arrives whole, for the read that waits for it.
  Send({0x11, 0x22, kReplyComplete});
  EXPECT_EQ(Read(), (std::vector<std::uint8_t>{0, 0x11, 0x22, kReplyComplete}));
}

TEST_F(HidrawTransfers, DiscardInputDropsWhatHasArrived) {
  for (std::uint8_t i = 0; i < 40; ++i) Send({i, 0, kReplyPacketWord});
  bus.DiscardInput(reader);
  EXPECT_TRUE(Read(50).empty());
  Send({0x42, 0, kReplyComplete});
  EXPECT_EQ(Read(), (std::vector<std::uint8_t>{0, 0x42, 0, kReplyComplete}));
  bus.DiscardInput(writer);  // not a read handle: nothing happens
  bus.DiscardInput(reader);  // nothing queued: returns at once
}

TEST_F(HidrawTransfers, TheOtherEndClosingEndsAWaitingRead) {
  std::thread unplug([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    far.Reset();
  });
  const auto start = Clock::now();
  EXPECT_TRUE(Read(kIoTimeoutMs).empty());
  EXPECT_LT(MsSince(start), 1500);
  unplug.join();
  const std::uint8_t out[] = {0, 0, 0, kCmdReset};
  EXPECT_FALSE(bus.WriteReport(writer, out, sizeof out, kIoTimeoutMs));
  EXPECT_LT(MsSince(start), 1500);
}

TEST_F(HidrawTransfers, ClosingAHandleEndsItsWaitingRead) {
  std::thread closer([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    bus.Close(reader);
  });
  const auto start = Clock::now();
  EXPECT_TRUE(Read(kIoTimeoutMs).empty());
  EXPECT_LT(MsSince(start), 1500);
  closer.join();
  // The writer still works: the node stays open while a handle holds it.
  const std::uint8_t out[] = {0, 0, 0, kCmdReset};
  EXPECT_TRUE(bus.WriteReport(writer, out, sizeof out, 1000));
}

TEST_F(HidrawTransfers, ShareRules) {
  // A second reader or writer beside the pair is refused; a closed one can be opened again.
  EXPECT_EQ(bus.OpenForReading(path), kInvalidHidHandle);
  EXPECT_EQ(bus.LastOpenError(), EBUSY);
  EXPECT_EQ(bus.OpenForWriting(path), kInvalidHidHandle);
  bus.Close(reader);
  reader = bus.OpenForReading(path);
  EXPECT_NE(reader, kInvalidHidHandle);
}

TEST(HidrawOpen, AnotherProgramHoldingTheNodeIsRefused) {
  FakeSysfs sysfs;
  const auto path = Wide(sysfs.AddUsb(0, kVendorId, kApplicationProductId, 0x0140, "0001"));
  // A plain file stands in for the node: every open of it is a file of its own, as with a device.
  const auto node = sysfs.Root() / "node";
  std::ofstream(node).put('\0');
  const auto opener = [&](const std::string&) { return ::open(node.c_str(), O_RDWR | O_CLOEXEC); };
  HidrawBus first(sysfs.Root(), opener), second(sysfs.Root(), opener);
  AltimeterDevice holder(first), latecomer(second);
  ASSERT_EQ(holder.Connect(Personality::Application), kConnected);
  LogCapture log;
  EXPECT_EQ(latecomer.Connect(Personality::Application), kCannotOpen);
  EXPECT_EQ(second.LastOpenError(), EBUSY);
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"Cant get USB file handle. The file is locked.",
                                                   "Invalid read handle.", "Invalid write handle."}));
  holder.Close();
  EXPECT_EQ(latecomer.Connect(Personality::Application), kConnected);
}

TEST(HidrawOpen, NoPermissionIsCannotOpen) {
  FakeSysfs sysfs;
  sysfs.AddUsb(5, kVendorId, kApplicationProductId, 0x0140, "0001");
  HidrawBus bus(sysfs.Root(), [](const std::string&) {
    errno = EACCES;
    return -1;
  });
  AltimeterDevice device(bus);
  std::uint16_t version = 0;
  EXPECT_EQ(device.Connect(Personality::Application, &version), kCannotOpen);
  EXPECT_EQ(version, 0x0140);
  EXPECT_EQ(bus.LastOpenError(), EACCES);
  EXPECT_FALSE(device.IsOpen());
}

// The rule must name the ids the program looks for, for both personalities.
TEST(UdevRule, GivesTheSeatUserBothPersonalities) {
  std::ifstream in(TEV_UDEV_RULE);
  ASSERT_TRUE(in) << TEV_UDEV_RULE;
  std::vector<std::string> rules;
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') rules.push_back(line);
  for (std::uint16_t product : {kApplicationProductId, kBootloaderProductId}) {
    char ids[96];
    std::snprintf(ids, sizeof ids, "ATTRS{idVendor}==\"%04x\", ATTRS{idProduct}==\"%04x\"", kVendorId, product);
    int found = 0;
    for (const std::string& rule : rules) {
      if (rule.find(ids) == std::string::npos) continue;
      ++found;
      EXPECT_NE(rule.find("SUBSYSTEM==\"hidraw\""), std::string::npos) << rule;
      EXPECT_NE(rule.find("TAG+=\"uaccess\""), std::string::npos) << rule;
    }
    EXPECT_EQ(found, 1) << ids;
  }
}

}  // namespace
}  // namespace tev
