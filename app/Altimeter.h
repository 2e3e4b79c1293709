#pragma once
// The one AltimeterDevice of the process: it holds everything the program knows (the packets,
// the settings, the flight on display, the plot's scale) and lives until the process ends.
#include "device/AltimeterDevice.h"
#include "device/HidBus.h"

namespace tev {

// Creates the device on the build's bus; the bus must outlive the process's static objects.
AltimeterDevice& InstallAltimeter(HidBus& bus);

}  // namespace tev
