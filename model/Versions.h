#pragma once
// Versions are 16-bit words: high byte major, low byte minor; the low four bits are a revision
// that never affects compatibility.
#include <cstdint>
#include <string>

namespace tev {

inline constexpr std::uint16_t kVersionMask = 0xFFF0;
inline constexpr std::uint16_t kFirmwareVersion = 0x0140;    // application firmware this software requires
inline constexpr std::uint16_t kBootloaderVersion = 0x0100;  // bootloader this software requires
inline constexpr std::uint16_t kHardwareVersion = 0x0120;    // hardware the firmware update supports
inline constexpr std::uint16_t kSoftwareVersion = 0x0140;    // this program

// 0x0140 -> "1.40", 0x0A05 -> "a.05".
std::wstring FormatVersion(std::uint16_t version);
// 0x0140 -> "1.4x": every revision of a version.
std::wstring FormatVersionFamily(std::uint16_t version);

}  // namespace tev
