#include "model/DeviceSettings.h"

#include <string>

#include "model/DebugLog.h"
#include "model/NumberFormat.h"

namespace tev {
namespace {

void PutWord(SettingsImage& image, int at, std::uint16_t value) {
  image[at] = static_cast<std::uint8_t>(value & 0xFF);
  image[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t GetWord(const SettingsImage& image, int at) {
  return static_cast<std::uint16_t>(image[at] | (image[at + 1] << 8));
}


}  // namespace

void DeviceSettings::SetDefaults() {
  maxReadings = 992;
  preservedFlag = 1;
  preservedWord = 60;
  inhibitTenths = 20;
  preservedByte = 80;
  adcOffset = 0;
  lineAMode = LineMode::Apogee;
  lineBMode = LineMode::Altitude;
  lineAValue = 150;
  lineBValue = 150;
  Pack();
}

bool DeviceSettings::Pack() {
  DebugLog("Building settings...");
  PutWord(image, 0, maxReadings);
  image[2] = preservedFlag != 0 ? 0xFF : 0x00;
  PutWord(image, 3, preservedWord);
  PutWord(image, 5, inhibitTenths);
  image[7] = preservedByte;
  // The device keeps one signed byte: an offset outside -128..127 wraps.
  image[8] = static_cast<std::uint8_t>(adcOffset & 0xFF);
  // Each mode owns one nibble; masking keeps an out-of-range mode from spilling into the other.
  image[9] = static_cast<std::uint8_t>(((static_cast<unsigned>(lineBMode) & 0x0F) << 4) |
                                       (static_cast<unsigned>(lineAMode) & 0x0F));
  PutWord(image, 10, lineAValue);
  PutWord(image, 12, lineBValue);
  PutWord(image, 14, ComputeChecksum(image));
  DebugLog("Done.");
  return true;
}

bool DeviceSettings::Parse() {
  DebugLog("Parsing settings...");
  DebugLog("MaxReadings: " + std::to_string(maxReadings));
  maxReadings = GetWord(image, 0);
  preservedFlag = image[2] != 0 ? 0xFF : 0x00;
  preservedWord = GetWord(image, 3);
  inhibitTenths = GetWord(image, 5);
  preservedByte = image[7];
  adcOffset = static_cast<std::int8_t>(image[8]);
  lineAMode = static_cast<LineMode>(image[9] & 0x0F);
  lineBMode = static_cast<LineMode>(image[9] >> 4);
  lineAValue = GetWord(image, 10);
  lineBValue = GetWord(image, 12);
  DebugLog("Line: " + FormatHex(image[9]));
  if (ComputeChecksum(image) != GetWord(image, 14)) {
    DebugLog("Invalid checksum!");
    return false;
  }
  DebugLog("Checksum is valid.");
  DebugLog("Done.");
  return true;
}

bool DeviceSettings::Serialize(std::ostream& out) const {
  if (!out.good()) return false;
  if (!HasValidChecksum()) DebugLog("Invalid checksum.");
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  DebugLog("Successfully serialized settings.");
  return true;
}

bool DeviceSettings::HasValidChecksum() const { return ComputeChecksum(image) == GetWord(image, 14); }

std::uint16_t DeviceSettings::ComputeChecksum(const SettingsImage& image) {
  unsigned sum = 0;
  for (unsigned i = 0; i < 14; ++i) sum += i + image[i];
  return static_cast<std::uint16_t>(sum & 0xFFFF);
}

}  // namespace tev
