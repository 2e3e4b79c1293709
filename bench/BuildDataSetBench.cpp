// BuildDataSet's cost per sample for a full device memory (128 packets, 3,968 samples) and for
// the longest flight a data file can hold (65,535 packets, 2,031,585 samples), saved to a file
// and loaded back first. The cost per sample should stay flat as the flight grows: the ratio of
// the two is printed. Costs are process CPU time: on a machine shared with other work, wall time
// of a long build mostly measures the neighbours (it is printed too, for reference).
// Figures from one run; nothing here passes or fails.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "model/DataFile.h"
#include "model/DataSet.h"
#include "model/DebugLog.h"
#include "model/WidePath.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Repeated flights of 60 s: boost, coast to about 700 m, descent under a parachute, with a
// little sensor noise, recorded as one set of the given number of packets.
tev::PacketList MakeFlight(int packetCount) {
  tev::PacketList packets(static_cast<std::size_t>(packetCount));
  std::uint32_t noise = 12345;
  long sample = 0;
  for (int p = 0; p < packetCount; ++p) {
    auto& packet = packets[static_cast<std::size_t>(p)];
    packet.bytes[0] = p == 0 ? tev::kPacketTypeFlightStart : 1;
    packet.bytes[1] = 0;
    for (int w = 1; w <= tev::kSamplesPerPacket; ++w, ++sample) {
      const double t = (sample % 600) / 10.0;
      const double height = t < 12 ? 700 * (1 - (12 - t) * (12 - t) / 144) : std::max(0.0, 700 - (t - 12) * 15);
      noise = noise * 1664525u + 1013904223u;
      const int adc = static_cast<int>(836 - height / 9.0) + static_cast<int>((noise >> 29) & 1);
      const int flags = t > 12 && t < 13 ? 2 : 0;
      packet.SetWord(w, static_cast<std::uint16_t>((flags << 14) | ((adc & 0x3FF) << 4)));
    }
  }
  return packets;
}

struct Cost {
  double cpuNs = 0;   // best CPU time per sample
  double wallNs = 0;  // best wall time per sample
  std::size_t samples = 0;
};

Cost Measure(const tev::PacketList& packets, int repeats) {
  const tev::DeviceSettings settings;
  tev::DataSet set;
  double bestCpu = 1e30, bestWall = 1e30;
  for (int i = 0; i < repeats; ++i) {
    const std::clock_t cpuStart = std::clock();
    const auto start = Clock::now();
    tev::BuildDataSet(packets, set, 0, settings, 0);
    bestWall = std::min(bestWall, Seconds(start));
    bestCpu = std::min(bestCpu, static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
  }
  Cost cost;
  cost.samples = set.adc.size();
  cost.cpuNs = bestCpu * 1e9 / static_cast<double>(cost.samples);
  cost.wallNs = bestWall * 1e9 / static_cast<double>(cost.samples);
  return cost;
}

void Print(const char* what, const Cost& cost) {
  std::printf("BuildDataSet, %zu samples (%s): %.1f ns CPU per sample, %.3f ms per build (wall %.1f ns per sample)\n",
              cost.samples, what, cost.cpuNs, cost.cpuNs * static_cast<double>(cost.samples) / 1e6, cost.wallNs);
}

}  // namespace

int main() {
  tev::SetDebugLogSink({});  // silenced: the analysis is measured, not the weights' text

  const tev::PacketList memory = MakeFlight(128);
  const Cost small = Measure(memory, 200);
  Print("128 packets", small);

  const auto file = std::filesystem::temp_directory_path() / "tev-bench-65535.tev";
  const std::wstring path = tev::Utf8ToWide(file.string());
  const tev::DeviceSettings settings;
  auto start = Clock::now();
  if (!tev::SaveDataSetFile(MakeFlight(65535), settings, 0, path)) {
    std::printf("cannot write %s\n", file.string().c_str());
    return 1;
  }
  const double saveSeconds = Seconds(start);
  tev::PacketList loaded;
  tev::DeviceSettings loadedSettings;
  start = Clock::now();
  const bool ok = tev::LoadDataSetFile(path, loaded, loadedSettings);
  const double loadSeconds = Seconds(start);
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(file, ec);
  std::filesystem::remove(file, ec);
  if (!ok) {
    std::printf("cannot load the 65,535-packet file back\n");
    return 1;
  }
  std::printf("65,535-packet file (%ju bytes): saved in %.3f s, loaded in %.3f s\n", static_cast<std::uintmax_t>(bytes),
              saveSeconds, loadSeconds);

  const Cost large = Measure(loaded, 3);
  Print("65,535 packets", large);
  std::printf("  CPU cost per sample, large over small: %.2f (1.00 is perfectly flat)\n", large.cpuNs / small.cpuNs);

  // The same builds while someone listens to the log: the weights are then composed as text.
  tev::SetDebugLogSink([](std::string_view) {});
  const Cost logged = Measure(loaded, 1);
  std::printf("  with the weights logged: %.1f ns CPU per sample (%.2f x silenced)\n", logged.cpuNs,
              logged.cpuNs / large.cpuNs);
  return 0;
}
