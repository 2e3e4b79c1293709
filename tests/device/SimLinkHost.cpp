// The host end of the end-to-end runs over the sim link (simlink-roundtrip.sh starts it, then plugs
// a native altimeter-sim into it). It listens on a free port, prints it, waits for the altimeter, then
//   settings       writes and reads back the settings, and downloads the flights the sim holds;
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

int SettingsRoundTrip(AltimeterDevice& device) {
  std::uint16_t version = 0;
  if (int r = device.Connect(Personality::Application, &version); r != kConnected) return Fail("connect", r);
  if (int r = device.ReadSettings(); r != kOk) return Fail("first read", r);
  if (!device.settings.Parse()) return Fail("factory settings checksum", 0);

  device.settings.inhibitTenths = 35;
  device.settings.lineAMode = LineMode::Time;
  device.settings.lineAValue = 42;
  device.settings.adcOffset = -7;
  device.settings.Pack();
  const SettingsImage written = device.settings.image;
  if (int r = device.WriteSettings(); r != kOk) return Fail("write", r);

  device.settings.image = {};
  if (int r = device.ReadSettings(); r != kOk) return Fail("read back", r);
  if (device.settings.image != written) return Fail("image read back differs", 0);
  if (!device.settings.Parse() || device.settings.lineAValue != 42 || device.settings.adcOffset != -7) {
    return Fail("fields read back differ", 0);
  }

  // The flights altimeter-sim holds by default, over the same link.
  CountingObserver observer;
  if (int r = device.DownloadPackets(observer); r != kOk) return Fail("download", r);
  if (device.packets.empty() || observer.stored != static_cast<int>(device.packets.size())) {
    return Fail("downloaded packets", static_cast<int>(device.packets.size()));
  }
  if (CountSets(device.packets) != 4) return Fail("flights downloaded", CountSets(device.packets));
  std::printf("round trip ok with firmware %x: %zu packets downloaded\n", static_cast<unsigned>(version),
              device.packets.size());
  return 0;
}

int Download(AltimeterDevice& device, const char* outPath) {
  if (int r = device.Connect(Personality::Application); r != kConnected) return Fail("connect", r);
  CountingObserver observer;
  const auto start = std::chrono::steady_clock::now();
  if (int r = device.DownloadPackets(observer); r != kOk) return Fail("download", r);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::ofstream out(outPath, std::ios::binary);
  for (const FlightPacket& p : device.packets) out.write(reinterpret_cast<const char*>(p.bytes.data()), 64);
  if (!out) return Fail("cannot write the packets", 0);
  std::printf("downloaded %zu packets (%d stored notices) in %.2f s\n", device.packets.size(), observer.stored,
              seconds);
  return 0;
}

int Update(AltimeterDevice& device, const char* firmwarePath) {
  if (int r = device.Connect(Personality::Bootloader); r != kConnected) return Fail("connect", r);
  CountingObserver observer;
  std::uint16_t hardware = 0, format = 0, bootloader = 0, firmware = 0;
  const int r = device.UpdateFirmware(observer, Wide(firmwarePath), hardware, format, bootloader, firmware);
  if (r != kOk) return Fail("update", r);
  std::printf("firmware %x written on hardware %x, %d blocks\n", firmware, hardware, observer.blocks);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc >= 2 ? argv[1] : "";
  const bool withPath = mode == "download" || mode == "update";
  if ((mode != "settings" && !withPath) || argc != (withPath ? 3 : 2))
    return Fail("usage: simlink_host settings | download OUT | update FILE", 2);

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
  int status = 0;
  if (mode == "settings") status = SettingsRoundTrip(device);
  else if (mode == "download") status = Download(device, argv[2]);
  else status = Update(device, argv[2]);
  std::fflush(stdout);
  return status;
}
