#pragma once
// The firmware image the update tests program: version 1.42 for bootloader 1.00, `length` bytes
// of data that fill no block with the erased value.
#include <cstdint>

#include "device/FirmwareFile.h"

namespace tev::testing {

inline FirmwareImage GoodImage(std::int32_t length) {
  FirmwareImage fw;
  fw.fileFormatVersion = 0x0100;
  fw.bootloaderVersion = 0x0100;
  fw.firmwareVersion = 0x0142;
  fw.length = length;
  for (int i = 0; i < fw.length; ++i) fw.image[i] = static_cast<std::uint8_t>(i * 7 + 1);
  return fw;
}

}  // namespace tev::testing
