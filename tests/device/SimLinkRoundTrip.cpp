// The host end of an end-to-end run: listens on a free port, prints it, waits for an altimeter
// (altimeter-sim, started by simlink-roundtrip.sh), writes and reads back its settings and
// downloads the flights it holds.
#include <chrono>
#include <cstdio>
#include <thread>

#include "device/AltimeterDevice.h"
#include "device/Download.h"
#include "model/DebugLog.h"
#include "sim/SimLinkBus.h"

namespace {

struct CountingObserver : tev::DownloadObserver {
  int stored = 0;
  void OnPacketProgress(int, bool live, bool) override { stored += live ? 0 : 1; }
};

int Fail(const char* what, int result) {
  std::printf("FAILED: %s (%d)\n", what, result);
  std::fflush(stdout);
  return 1;
}

}  // namespace

int main() {
  using namespace tev;
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
  std::fflush(stdout);
  return 0;
}
