// Download of a full 128-packet memory from the simulated altimeter on a real-time bus:
//  - at a report interval of 1 ms, the download time over (input reports × 1 ms): what the host
//    adds to the device's own pace (1.00 would be nothing at all);
//  - at interval 0, the host's own cost per report.
// Figures from one run on a shared machine; nothing here passes or fails.
#include <chrono>
#include <cstdio>

#include "bench/RealTimeBus.h"
#include "device/AltimeterDevice.h"
#include "device/Download.h"
#include "model/DebugLog.h"
#include "sim/FlightModel.h"
#include "sim/SimFlightCommands.h"

namespace {

struct QuietObserver : tev::DownloadObserver {
  void OnPacketProgress(int, bool, bool) override { ++calls; }
  int calls = 0;
};

struct Result {
  double seconds = 0;
  std::size_t inputReports = 0;
  std::size_t packets = 0;
  int code = 0;
};

Result Download(const tev::PacketList& memory, std::uint32_t intervalMs) {
  tev::SimConfig config;
  config.reportIntervalMs = intervalMs;
  auto sim = std::make_shared<tev::SimAltimeter>(config);
  tev::LoadFlightMemory(sim->State(), memory);

  tev::RealTimeBus bus(sim);
  tev::AltimeterDevice device(bus);
  Result r;
  if (device.Connect(tev::Personality::Application) != tev::kConnected) {
    r.code = 1;
    return r;
  }
  QuietObserver observer;
  const auto start = std::chrono::steady_clock::now();
  r.code = device.DownloadPackets(observer);
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.packets = device.packets.size();
  r.inputReports = r.packets * 33;  // 32 words and a completion each
  return r;
}

}  // namespace

int main() {
  // The diagnostic log is part of the host's cost in the program too, but a terminal would
  // dominate it here: it goes to a sink that drops the lines.
  tev::SetDebugLogSink([](std::string_view) {});
  const tev::PacketList memory = tev::sim::RecordFullMemory(tev::sim::FlightSettings{});

  const Result paced = Download(memory, 1);
  std::printf("download of %zu packets at a 1 ms report interval: %.3f s for %zu reports\n", paced.packets,
              paced.seconds, paced.inputReports);
  std::printf("  ratio to the device's own pace (reports x 1 ms): %.4f (result %d)\n",
              paced.seconds / (paced.inputReports * 0.001), paced.code);

  const Result flat = Download(memory, 0);
  std::printf("download of %zu packets at interval 0: %.4f s, host cost per report %.2f us (result %d)\n",
              flat.packets, flat.seconds, flat.seconds * 1e6 / flat.inputReports, flat.code);
  return paced.code == 0 && flat.code == 0 ? 0 : 1;
}
