#pragma once
// 64 bytes of recorded flight exactly as the device delivers them: a type byte, one byte carried
// through, 31 little-endian sample words.
#include <array>
#include <cstdint>
#include <vector>

namespace tev {

inline constexpr std::uint8_t kPacketTypeFlightStart = 2;
inline constexpr std::uint8_t kPacketTypeErased = 0xFF;
inline constexpr std::uint16_t kNoSample = 0xFFFF;  // the rest of the packet holds no samples
inline constexpr int kSamplesPerPacket = 31;

struct FlightPacket {
  std::array<std::uint8_t, 64> bytes{};

  std::uint8_t Type() const { return bytes[0]; }
  // Word 0 carries the type; words 1..31 are samples.
  std::uint16_t Word(int j) const {
    return static_cast<std::uint16_t>(bytes[2 * j] | (bytes[2 * j + 1] << 8));
  }
  void SetWord(int j, std::uint16_t w) {
    bytes[2 * j] = static_cast<std::uint8_t>(w & 0xFF);
    bytes[2 * j + 1] = static_cast<std::uint8_t>(w >> 8);
  }
  // The state a packet is in before anything is received into it.
  static FlightPacket Erased();
};

using PacketList = std::vector<FlightPacket>;

inline int SampleAdc(std::uint16_t word) { return (word >> 4) & 0x3FF; }
inline std::uint8_t SampleLineFlags(std::uint16_t word) { return static_cast<std::uint8_t>((word >> 14) & 3); }

// Sets are runs of packets starting with a type-2 packet.
int CountSets(const PacketList& packets);
int FindSetStart(const PacketList& packets, int set);
int CountSetPackets(const PacketList& packets, int set);
int SetOfPacket(const PacketList& packets, int packetIndex);
// The first packet of every set, in order, found in one pass.
std::vector<int> FindSetStarts(const PacketList& packets);

// Calls visit(word) for every sample word of the set whose first packet is firstPacket: packets
// up to the next flight start, each up to its first 0xFFFF word. Nothing for an index outside the list.
template <class Visit>
void ForEachSetSample(const PacketList& packets, int firstPacket, Visit&& visit) {
  if (firstPacket < 0 || static_cast<std::size_t>(firstPacket) >= packets.size()) return;
  for (std::size_t i = static_cast<std::size_t>(firstPacket); i < packets.size(); ++i) {
    const FlightPacket& packet = packets[i];
    if (packet.Type() == kPacketTypeFlightStart && i != static_cast<std::size_t>(firstPacket)) break;
    for (int word = 1; word <= kSamplesPerPacket; ++word) {
      const std::uint16_t sample = packet.Word(word);
      if (sample == kNoSample) break;
      visit(sample);
    }
  }
}

// Number of samples a data set built from firstPacket holds.
std::size_t CountSetSamples(const PacketList& packets, int firstPacket);

}  // namespace tev
