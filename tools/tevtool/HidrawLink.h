#pragma once
// tevtool on the Linux HID bus: waits for the altimeter to be plugged in and, when it cannot be
// opened, says which node and why (most often the missing udev rule).
#include <memory>

#include "device/linux/HidrawBus.h"
#include "tools/tevtool/AltimeterLink.h"

namespace tev::tool {

std::unique_ptr<AltimeterLink> MakeHidrawLink(std::unique_ptr<hidraw::HidrawBus> bus);

}  // namespace tev::tool
