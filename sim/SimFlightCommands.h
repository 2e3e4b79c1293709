#pragma once
// The simulated application firmware's flight commands: reading the flight memory (command 2)
// and the launch emulation (command 4).
#include "sim/SimApplication.h"

namespace tev {

void RegisterFlightMemoryCommands(SimCommandTable& table);
void RegisterLaunchEmulationCommands(SimCommandTable& table);

}  // namespace tev
