// tevtool on the Linux HID bus: what it says while waiting for the altimeter and when the
// altimeter is there but cannot be opened.
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <sstream>
#include <thread>

#include "device/linux/UniqueFd.h"
#include "tests/device/FakeSysfs.h"
#include "tools/tevtool/HidrawLink.h"

namespace tev {
namespace {

using hidraw::HidrawBus;
using testing::FakeSysfs;
using Clock = std::chrono::steady_clock;

struct Outcome {
  bool connected;
  std::string err;
  long long ms;
};

Outcome Connect(FakeSysfs& sysfs, HidrawBus::NodeOpener opener, std::chrono::milliseconds wait) {
  auto link = tool::MakeHidrawLink(std::make_unique<HidrawBus>(sysfs.Root(), std::move(opener)));
  AltimeterDevice device(link->Bus());
  std::ostringstream err;
  const auto start = Clock::now();
  const bool connected = tool::ConnectAltimeter(device, *link, wait, err);
  return {connected, err.str(),
          std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count()};
}

int Refuse(const std::string&) {
  errno = EACCES;
  return -1;
}

TEST(TevtoolHidraw, NoAltimeterGivesOneLineAfterTheWait) {
  FakeSysfs sysfs;
  sysfs.AddUsb(0, 0x046D, 0xC31C, 0x6400, "");  // a keyboard is no altimeter
  sysfs.AddUsb(1, kVendorId, kBootloaderProductId, 0x0100, "");  // nor is one waiting in its bootloader
  const Outcome outcome = Connect(sysfs, Refuse, std::chrono::milliseconds(600));
  EXPECT_FALSE(outcome.connected);
  EXPECT_EQ(outcome.err, "tevtool: waiting up to 1 s for an altimeter on USB... no altimeter found\n");
  EXPECT_GE(outcome.ms, 600);
  EXPECT_LT(outcome.ms, 2000);
}

TEST(TevtoolHidraw, AnAltimeterPluggedInWhileWaitingIsTaken) {
  FakeSysfs sysfs;
  std::thread plug([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sysfs.AddUsb(2, kVendorId, kApplicationProductId, 0x0140, "0001");
  });
  int fds[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
  hidraw::UniqueFd host(fds[0]), far(fds[1]);
  const Outcome outcome = Connect(sysfs, [&](const std::string&) { return ::dup(host.Get()); }, std::chrono::seconds(10));
  plug.join();
  EXPECT_TRUE(outcome.connected);
  EXPECT_EQ(outcome.err, "tevtool: waiting up to 10 s for an altimeter on USB... found\n");
  EXPECT_LT(outcome.ms, 5000);
}

TEST(TevtoolHidraw, WhyAPresentAltimeterCannotBeOpened) {
  struct Case {
    int error;
    std::string line;
  };
  const Case cases[] = {
      {EACCES,
       "tevtool: no permission to open the altimeter at /dev/hidraw4: install the udev rule "
       "tools/linux/70-tev-altimeter.rules (README.md, \"Linux\"), then plug the altimeter in again\n"},
      {EBUSY, "tevtool: the altimeter at /dev/hidraw4 is in use by another program\n"},
      {ENXIO, "tevtool: cannot open the altimeter at /dev/hidraw4: No such device or address\n"},
  };
  for (const Case& c : cases) {
    FakeSysfs sysfs;
    sysfs.AddUsb(4, kVendorId, kApplicationProductId, 0x0141, "0001");
    const int error = c.error;
    const Outcome outcome = Connect(sysfs, [error](const std::string&) {
      errno = error;
      return -1;
    }, std::chrono::seconds(30));
    EXPECT_FALSE(outcome.connected);
    EXPECT_EQ(outcome.err, c.line);  // one line, and no wait: the altimeter was there
    EXPECT_LT(outcome.ms, 2000);
  }
}

TEST(TevtoolHidraw, AnotherFirmwareIsNamed) {
  FakeSysfs sysfs;
  sysfs.AddUsb(0, kVendorId, kApplicationProductId, 0x0150, "0001");
  const Outcome outcome = Connect(sysfs, Refuse, std::chrono::seconds(30));
  EXPECT_FALSE(outcome.connected);
  EXPECT_EQ(outcome.err, "tevtool: the altimeter's firmware 1.50 is not 1.4x\n");
}

}  // namespace
}  // namespace tev
