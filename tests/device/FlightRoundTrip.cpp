// The host end of the flight round trips over the sim link (flight-roundtrip.sh starts it and a
// native altimeter-sim): listens on a free port, prints it, waits for the altimeter, then
//   download OUT   downloads the whole memory and writes the packets to OUT, 64 bytes each;
//   update FILE    writes the firmware file FILE through the bootloader.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "device/AltimeterDevice.h"
#include "device/Download.h"
#include "device/FirmwareUpdate.h"
#include "model/DebugLog.h"
#include "sim/SimLinkBus.h"

namespace {

using namespace tev;

int Fail(const std::string& what, int result) {
  std::printf("FAILED: %s (%d)\n", what.c_str(), result);
  std::fflush(stdout);
  return 1;
}

struct CountingObserver : DownloadObserver, UpdateObserver {
  void OnPacketProgress(int, bool live, bool) override { stored += !live; }
  void OnBlockProgress(int, int) override { ++blocks; }
  int stored = 0, blocks = 0;
};

std::wstring Wide(const char* text) {  // the test's paths are plain ASCII
  return std::wstring(text, text + std::char_traits<char>::length(text));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: flight_roundtrip download OUT | update FILE", 2);
  const std::string mode = argv[1];
  SetDebugLogSink(nullptr);
  SimLinkBus bus;
  if (!bus.Listen(0)) return Fail("listen", 0);
  std::printf("port %u\n", static_cast<unsigned>(bus.Port()));
  std::fflush(stdout);

  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (bus.EnumerateInterfaces().empty()) {
    if (std::chrono::steady_clock::now() > end) return Fail("no device attached", 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }

  AltimeterDevice device(bus);
  CountingObserver observer;
  if (mode == "download") {
    if (int r = device.Connect(Personality::Application); r != kConnected) return Fail("connect", r);
    const auto start = std::chrono::steady_clock::now();
    if (int r = device.DownloadPackets(observer); r != kOk) return Fail("download", r);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::ofstream out(argv[2], std::ios::binary);
    for (const FlightPacket& p : device.packets) out.write(reinterpret_cast<const char*>(p.bytes.data()), 64);
    if (!out) return Fail("cannot write the packets", 0);
    std::printf("downloaded %zu packets (%d stored notices) in %.2f s\n", device.packets.size(), observer.stored,
                seconds);
  } else if (mode == "update") {
    if (int r = device.Connect(Personality::Bootloader); r != kConnected) return Fail("connect", r);
    std::uint16_t hardware = 0, format = 0, bootloader = 0, firmware = 0;
    const int r = device.UpdateFirmware(observer, Wide(argv[2]), hardware, format, bootloader, firmware);
    if (r != kOk) return Fail("update", r);
    std::printf("firmware %x written on hardware %x, %d blocks\n", firmware, hardware, observer.blocks);
  } else {
    return Fail("unknown mode " + mode, 2);
  }
  std::fflush(stdout);
  return 0;
}
