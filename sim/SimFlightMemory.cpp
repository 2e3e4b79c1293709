// Command 2 of the simulated firmware: one packet of the flight memory per request.
//
// The host sends command 2 twice for every packet. Our device takes the first report (its value
// is ignored) as "a packet read follows" and answers nothing; the second names the packet, which
// goes out as 32 words (code 11) and a completion. Packets past the memory read as erased.
#include <algorithm>

#include "device/HidReport.h"
#include "sim/SimFlightCommands.h"

namespace tev {
namespace {

class PacketReadSession : public SimSession {
 public:
  Outcome OnCommand(SimApplication& app, std::uint8_t code, std::uint16_t value, SimReplies& replies) override {
    if (code != kCmdReadPacket) return Outcome::NotMine;
    const auto& memory = app.State().flightMemory;
    for (std::size_t j = 0; j < kSimPacketBytes / 2; ++j) {
      std::uint16_t word = 0xFFFF;
      if (value < kSimFlightMemoryPackets) {
        const std::size_t at = value * kSimPacketBytes + 2 * j;
        word = static_cast<std::uint16_t>(memory[at] | (memory[at + 1] << 8));
      }
      replies.Reply(word, kReplyPacketWord);
    }
    replies.Reply(0, kReplyComplete);
    return Outcome::Finished;
  }
};

void BeginPacketRead(SimApplication& app, std::uint16_t, SimReplies&) {
  app.BeginSession(std::make_unique<PacketReadSession>());
}

}  // namespace

void LoadFlightMemory(SimState& state, const PacketList& packets) {
  state.flightMemory.fill(0xFF);
  for (std::size_t i = 0; i < packets.size() && i < kSimFlightMemoryPackets; ++i)
    std::copy(packets[i].bytes.begin(), packets[i].bytes.end(), state.flightMemory.begin() + i * kSimPacketBytes);
}

PacketList StoredFlightPackets(const SimState& state) {
  PacketList packets;
  for (std::size_t i = 0; i < kSimFlightMemoryPackets; ++i) {
    FlightPacket p;
    std::copy_n(state.flightMemory.begin() + i * kSimPacketBytes, kSimPacketBytes, p.bytes.begin());
    if (p.Type() == kPacketTypeErased) break;
    packets.push_back(p);
  }
  return packets;
}

void RegisterFlightMemoryCommands(SimCommandTable& table) { table[kCmdReadPacket] = BeginPacketRead; }

}  // namespace tev
