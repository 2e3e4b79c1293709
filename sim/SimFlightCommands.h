#pragma once
// The simulated application firmware's flight commands: reading the flight memory (command 2)
// and the launch emulation (command 4).
#include "model/FlightPacket.h"
#include "sim/SimApplication.h"

namespace tev {

// Puts packets into the flight memory from its start (at most 128); the rest is erased.
void LoadFlightMemory(SimState& state, const PacketList& packets);
// The packets the memory holds, up to the first erased one.
PacketList StoredFlightPackets(const SimState& state);

void RegisterFlightMemoryCommands(SimCommandTable& table);
void RegisterLaunchEmulationCommands(SimCommandTable& table);

}  // namespace tev
