#pragma once
// Simulated altimeters holding flights, for the download, emulation and update tests.
#include <algorithm>
#include <memory>

#include "sim/FlightModel.h"
#include "tests/device/SimDevices.h"

namespace tev {

inline void LoadMemory(SimAltimeter& sim, const PacketList& packets) {
  auto& memory = sim.State().flightMemory;
  memory.fill(0xFF);
  for (std::size_t i = 0; i < packets.size() && i < kSimFlightMemoryPackets; ++i)
    std::copy(packets[i].bytes.begin(), packets[i].bytes.end(), memory.begin() + i * kSimPacketBytes);
}

// The reports of a packet must trickle in: 33 at once would overflow the host's 32-report
// buffer, as they would on a real bus. On virtual time the interval costs nothing.
inline std::shared_ptr<SimAltimeter> MakeFlightSim(const PacketList& memory) {
  auto sim = MakeSim();
  sim->SetReportInterval(1);
  LoadMemory(*sim, memory);
  return sim;
}

inline PacketList SampleMemory() {
  const auto& p = sim::SampleFlightProfiles();
  return sim::RecordMemory({p[0], p[1], p[2]}, sim::FlightSettings{});
}

}  // namespace tev
