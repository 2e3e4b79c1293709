#pragma once
// The set selector strip of the Capture Data dialog: one column per downloaded packet, the sets in
// two alternating blues so that neighbours can be told apart, the picked set in red.
#include <cstdint>
#include <vector>

#include "model/FlightPacket.h"

namespace tev {

inline constexpr int kStripColumns = 128;  // one download holds at most this many packets
inline constexpr std::uint32_t kStripBackground = 0xFF000000;
inline constexpr std::uint32_t kStripBlueA = 0xFF4020FF;
inline constexpr std::uint32_t kStripBlueB = 0xFF4060DF;
inline constexpr std::uint32_t kStripPicked = 0xFFFF0000;

// The ARGB colour of each packet's column, in packet order (at most kStripColumns). Packets before
// the first flight start count as set -1, so they are red while nothing is picked.
std::vector<std::uint32_t> StripColumnColors(const PacketList& packets, int selectedSet);

// The width of the strip's picture: a little wider than the client area (by two pixels at 96 DPI,
// scaled with the strip's DPI), so that the last column is not cut short.
int StripPictureWidth(int clientRight, unsigned dpi);

// The packet column under pixel x of a strip at `dpi` whose client area ends at `clientRight`.
int StripColumnAt(int x, int clientRight, unsigned dpi);

// The set a click on `column` picks: the set holding that packet, or `previous` when it holds none.
int PickSetAt(const PacketList& packets, int column, int previous);

}  // namespace tev
