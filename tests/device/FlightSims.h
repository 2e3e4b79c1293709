#pragma once
// Simulated altimeters holding flights, for the download, emulation and update tests.
#include <algorithm>
#include <memory>

#include "sim/FlightModel.h"
#include "sim/SimFlightCommands.h"
#include "tests/device/SimDevices.h"

namespace tev {

// The reports of a packet must trickle in: 33 at once would overflow the host's 32-report
// buffer, as they would on a real bus. On virtual time the interval costs nothing.
inline std::shared_ptr<SimAltimeter> MakeFlightSim(const PacketList& memory) {
  auto sim = MakeSim();
  sim->SetReportInterval(1);
  LoadFlightMemory(sim->State(), memory);
  return sim;
}

inline PacketList SampleMemory() {
  const auto& p = sim::SampleFlightProfiles();
  return sim::RecordMemory({p[0], p[1], p[2]}, sim::FlightSettings{});
}

}  // namespace tev
