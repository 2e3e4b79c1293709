#pragma once
// What the Update Firmware dialog says when it looks for the altimeter's bootloader: on opening
// and on every device arrival.
#include "device/AltimeterDevice.h"
#include "ui/logic/ConnectSequence.h"

namespace tev {

// Connects in the bootloader personality and reports the outcome. An altimeter found running its
// application is closed again: only its bootloader takes new firmware.
void BootloaderConnectSequence(AltimeterDevice& device, const StatusSink& append);

}  // namespace tev
