// Writes the data files bench/tevtool-huge.sh measures tevtool on, into the folder given:
//   sets-N.tev  N one-packet sets (3.1 s each on the ground, one in 1,024 a short hop)
//   long-N.tev  one set of N packets (N × 31 samples): 60 s flights over and over, with noise
// for N = 4,096 and 65,535 (sets) and 1,024 and 65,535 (long): the largest a file can hold.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/DataFile.h"
#include "model/DebugLog.h"
#include "model/FlightPacket.h"

namespace {

std::uint32_t noise = 12345;
int Noise() {
  noise = noise * 1664525u + 1013904223u;
  return static_cast<int>((noise >> 29) & 1);
}

std::uint16_t Word(double height) {
  const int adc = static_cast<int>(836 - height / 9.0) + Noise();
  return static_cast<std::uint16_t>((adc & 0x3FF) << 4);
}

tev::PacketList Sets(int count) {
  tev::PacketList packets(static_cast<std::size_t>(count));
  for (int p = 0; p < count; ++p) {
    auto& packet = packets[static_cast<std::size_t>(p)];
    packet.bytes[0] = tev::kPacketTypeFlightStart;
    const bool hop = p % 1024 == 1023;
    for (int w = 1; w <= tev::kSamplesPerPacket; ++w) packet.SetWord(w, Word(hop && w > 5 ? (w - 5) * 12.0 : 0));
  }
  return packets;
}

tev::PacketList Long(int count) {
  tev::PacketList packets(static_cast<std::size_t>(count));
  long sample = 0;
  for (int p = 0; p < count; ++p) {
    auto& packet = packets[static_cast<std::size_t>(p)];
    packet.bytes[0] = p == 0 ? tev::kPacketTypeFlightStart : 1;
    for (int w = 1; w <= tev::kSamplesPerPacket; ++w, ++sample) {
      const double t = (sample % 600) / 10.0;
      packet.SetWord(w, Word(t < 12 ? 700 * (1 - (12 - t) * (12 - t) / 144) : std::max(0.0, 700 - (t - 12) * 15)));
    }
  }
  return packets;
}

// All the sets in one file, as the tests write files by hand: the program saves one set a file.
bool Write(const std::filesystem::path& path, const tev::PacketList& packets) {
  const tev::DeviceSettings settings;
  const auto one = tev::EncodeDataSetFile(packets, settings, 0);
  if (!one) return false;
  std::string bytes = one->substr(0, 24);
  bytes += static_cast<char>(packets.size() & 0xFF);
  bytes += static_cast<char>(packets.size() >> 8);
  for (const auto& p : packets) bytes.append(p.bytes.begin(), p.bytes.end());
  bytes.append(settings.image.begin(), settings.image.end());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_huge_flights FOLDER\n", stderr);
    return 2;
  }
  tev::SetDebugLogSink({});
  const std::filesystem::path folder = argv[1];
  for (const int n : {4096, 65535})
    if (!Write(folder / ("sets-" + std::to_string(n) + ".tev"), Sets(n))) return 1;
  for (const int n : {1024, 65535})
    if (!Write(folder / ("long-" + std::to_string(n) + ".tev"), Long(n))) return 1;
  return 0;
}
