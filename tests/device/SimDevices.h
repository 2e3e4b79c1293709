#pragma once
// Simulated altimeters for the device tests: instant replies unless a test asks otherwise.
#include <memory>
#include <string>

#include "sim/SimAltimeter.h"

namespace tev {

inline std::shared_ptr<SimAltimeter> MakeSim(Personality personality = Personality::Application,
                                             std::uint16_t version = 0, const std::string& serial = "0001") {
  SimConfig config;
  config.personality = personality;
  config.reportIntervalMs = 0;
  config.serial = serial;
  if (version != 0) {
    if (personality == Personality::Bootloader) config.bootloaderVersion = version;
    else config.firmwareVersion = version;
  }
  return std::make_shared<SimAltimeter>(config);
}

// Another HID device on the bus: a keyboard of some other maker.
inline std::shared_ptr<SimAltimeter> MakeForeignDevice(const std::string& serial = "kbd") {
  SimConfig config;
  config.vendorId = 0x046D;
  config.productId = 0x0002;
  config.serial = serial;
  return std::make_shared<SimAltimeter>(config);
}

}  // namespace tev
