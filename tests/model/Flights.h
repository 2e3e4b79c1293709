#pragma once
// Small packet lists for tests: flights given as ADC readings, packed as the device records them.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "model/FlightPacket.h"

namespace tev::testing {

inline std::uint16_t SampleWord(int adc, int lineFlags = 0) {
  return static_cast<std::uint16_t>(((lineFlags & 3) << 14) | ((adc & 0x3FF) << 4));
}

// A packet of the given type whose samples are words; the rest is marked empty (0xFFFF).
inline FlightPacket MakePacket(std::uint8_t type, const std::vector<std::uint16_t>& words) {
  FlightPacket packet = FlightPacket::Erased();
  packet.bytes[0] = type;
  packet.bytes[1] = 0x5A;  // carried through untouched
  for (std::size_t i = 0; i < words.size() && i < 31; ++i) packet.SetWord(static_cast<int>(i) + 1, words[i]);
  return packet;
}

// Appends one flight: a type-2 packet, then continuation packets (type 1) of 31 samples each.
inline void AppendFlight(PacketList& packets, const std::vector<int>& adc, const std::vector<int>& flags = {}) {
  std::vector<std::uint16_t> words;
  for (std::size_t i = 0; i < adc.size(); ++i) words.push_back(SampleWord(adc[i], i < flags.size() ? flags[i] : 0));
  std::size_t at = 0;
  bool first = true;
  do {
    const std::size_t take = std::min<std::size_t>(31, words.size() - at);
    packets.push_back(MakePacket(first ? kPacketTypeFlightStart : 1,
                                 std::vector<std::uint16_t>(words.begin() + at, words.begin() + at + take)));
    at += take;
    first = false;
  } while (at < words.size());
}

inline std::vector<int> Readings(std::size_t n, int value) { return std::vector<int>(n, value); }

}  // namespace tev::testing
