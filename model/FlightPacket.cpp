#include "model/FlightPacket.h"

#include <string>

#include "model/DebugLog.h"

namespace tev {

FlightPacket FlightPacket::Erased() {
  FlightPacket packet;
  packet.bytes.fill(0xFF);
  packet.bytes[1] = 0;
  return packet;
}

int CountSets(const PacketList& packets) {
  int sets = 0;
  for (const auto& packet : packets)
    if (packet.Type() == kPacketTypeFlightStart) ++sets;
  return sets;
}

int FindSetStart(const PacketList& packets, int set) {
  if (set < 0) return -1;
  int seen = 0;
  for (std::size_t i = 0; i < packets.size(); ++i) {
    if (packets[i].Type() != kPacketTypeFlightStart) continue;
    if (seen == set) return static_cast<int>(i);
    ++seen;
  }
  return -1;
}

int CountSetPackets(const PacketList& packets, int set) {
  const int start = FindSetStart(packets, set);
  DebugLog("Set: " + std::to_string(set));
  DebugLog("Set Address: " + std::to_string(start));
  if (start < 0) return 0;
  // Up to the next flight start or the end of the list, erased packets included: the plot, the
  // CSV and the saver must all see the same flight.
  int count = 1;
  for (std::size_t i = static_cast<std::size_t>(start) + 1; i < packets.size(); ++i) {
    if (packets[i].Type() == kPacketTypeFlightStart) break;
    ++count;
  }
  return count;
}

int SetOfPacket(const PacketList& packets, int packetIndex) {
  if (packetIndex < 0 || static_cast<std::size_t>(packetIndex) >= packets.size()) return -1;
  int starts = 0;
  for (int i = 0; i <= packetIndex; ++i)
    if (packets[i].Type() == kPacketTypeFlightStart) ++starts;
  return starts - 1;
}

std::vector<int> FindSetStarts(const PacketList& packets) {
  std::vector<int> starts;
  for (std::size_t i = 0; i < packets.size(); ++i)
    if (packets[i].Type() == kPacketTypeFlightStart) starts.push_back(static_cast<int>(i));
  return starts;
}

std::size_t CountSetSamples(const PacketList& packets, int firstPacket) {
  std::size_t samples = 0;
  ForEachSetSample(packets, firstPacket, [&](std::uint16_t) { ++samples; });
  return samples;
}

}  // namespace tev
