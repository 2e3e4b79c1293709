#pragma once
// File > Open and File > Export of the main window.
#include <windows.h>

#include "device/AltimeterDevice.h"

namespace tev {

// Asks for a data file and loads it; true when a flight was loaded and its plot prepared
// (the caller renders it). A bad file is reported to the user and changes nothing.
bool OpenDataFile(HWND owner, AltimeterDevice& device);

// Asks for a CSV path and exports the flight on display; with no flight on display it does nothing.
void ExportDataFile(HWND owner, AltimeterDevice& device);

}  // namespace tev
