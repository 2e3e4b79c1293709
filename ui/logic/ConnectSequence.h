#pragma once
// What a dialog says when it looks for the altimeter: on opening and on every device arrival.
#include <functional>
#include <string>

#include "device/AltimeterDevice.h"

namespace tev {

// Receives one status text (one or more lines, each ending in "\r\n").
using StatusSink = std::function<void(const std::wstring&)>;

// Connects in the application personality and reports the outcome. An altimeter found in its
// bootloader is closed again: the application dialogs cannot talk to it.
void ConnectSequence(AltimeterDevice& device, const StatusSink& append);

}  // namespace tev
