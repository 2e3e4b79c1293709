#pragma once
// The altimeter's 16-byte settings block: the packed image exactly as it travels to and from the
// device and into data files, and the unpacked fields the dialogs and conversions use.
#include <array>
#include <cstdint>
#include <ostream>

namespace tev {

enum class LineMode : std::uint8_t {
  Disabled = 0,
  Time = 1,      // value in tenths of a second
  Apogee = 2,
  Altitude = 3,  // value in metres above ground level
};

using SettingsImage = std::array<std::uint8_t, 16>;

struct DeviceSettings {
  SettingsImage image{};
  std::uint16_t maxReadings = 0;
  std::uint8_t preservedFlag = 0;
  std::uint16_t preservedWord = 0;
  std::uint16_t inhibitTenths = 0;
  std::uint8_t preservedByte = 0;
  std::int32_t adcOffset = 0;
  LineMode lineAMode = LineMode::Disabled;
  LineMode lineBMode = LineMode::Disabled;
  std::uint16_t lineAValue = 0;
  std::uint16_t lineBValue = 0;

  DeviceSettings() { SetDefaults(); }

  void SetDefaults();
  bool Pack();
  bool Parse();
  bool Serialize(std::ostream& out) const;
  // True when bytes 14-15 of the image match its body (no logging, no unpacking).
  bool HasValidChecksum() const;
  static std::uint16_t ComputeChecksum(const SettingsImage& image);
};

}  // namespace tev
