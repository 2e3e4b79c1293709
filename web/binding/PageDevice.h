#pragma once
// The page's one altimeter object, on WebHID, as the program has one for its life.
#include <string_view>

#include "device/AltimeterDevice.h"

namespace tev::web {

AltimeterDevice& Device();

// The one way from the device workers to the page: their status lines (UTF-8, one or more whole
// lines), shown as the worker appends them, as the dialogs show them.
void ShowDeviceStatus(std::string_view lines);

}  // namespace tev::web
