#pragma once
// The page's one altimeter object, on WebHID, as the program has one for its life.
#include "device/AltimeterDevice.h"

namespace tev::web {

AltimeterDevice& Device();

}  // namespace tev::web
