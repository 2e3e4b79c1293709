#pragma once
// Start-up, the main window's life and shut-down, shared by both builds; they differ only in the
// bus the altimeter is reached through.
#include <windows.h>

#include "device/HidBus.h"

namespace tev {

// Runs the program until its main window is closed; returns the process's exit code.
int RunApplication(HINSTANCE instance, HidBus& bus);

}  // namespace tev
