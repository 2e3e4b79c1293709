#include "ui/logic/SetStrip.h"

#include <algorithm>

#include "model/Dpi.h"

namespace tev {

std::vector<std::uint32_t> StripColumnColors(const PacketList& packets, int selectedSet) {
  const std::size_t count = std::min(packets.size(), static_cast<std::size_t>(kStripColumns));
  std::vector<std::uint32_t> colors;
  colors.reserve(count);
  int set = -1;
  bool toggle = false;
  for (std::size_t i = 0; i < count; ++i) {
    if (packets[i].Type() == kPacketTypeFlightStart) {
      ++set;
      toggle = !toggle;
    }
    colors.push_back(set == selectedSet ? kStripPicked : (toggle ? kStripBlueA : kStripBlueB));
  }
  return colors;
}

int StripPictureWidth(int clientRight, unsigned dpi) { return clientRight + ScaledLength(2, dpi); }

int StripColumnAt(int x, int clientRight, unsigned dpi) {
  // Columns as the picture lays them out; the column is rounded.
  return static_cast<int>(x * static_cast<double>(kStripColumns) / StripPictureWidth(clientRight, dpi) + 0.5);
}

int PickSetAt(const PacketList& packets, int column, int previous) {
  const int set = SetOfPacket(packets, column);
  return set == -1 ? previous : set;
}

}  // namespace tev
