#pragma once
// The 4-byte report of the application protocol, both directions: report id, 16-bit value
// (little-endian), command or reply code.
#include <array>
#include <cstdint>

namespace tev {

inline constexpr std::size_t kHidReportLength = 4;

// Command codes, host to device.
inline constexpr std::uint8_t kCmdSettingsData = 0;
inline constexpr std::uint8_t kCmdReset = 1;
inline constexpr std::uint8_t kCmdReadPacket = 2;
inline constexpr std::uint8_t kCmdReadAdc = 3;
inline constexpr std::uint8_t kCmdEmulateLaunch = 4;
inline constexpr std::uint8_t kCmdClearData = 6;
inline constexpr std::uint8_t kCmdReadBattery = 7;
inline constexpr std::uint8_t kCmdReadSettings = 8;
inline constexpr std::uint8_t kCmdWriteSettings = 9;
inline constexpr std::uint8_t kCmdFireLines = 10;
inline constexpr std::uint8_t kCmdAdcSample = 20;

// Reply codes, device to host.
inline constexpr std::uint8_t kReplyData = 0;
inline constexpr std::uint8_t kReplyComplete = 5;
inline constexpr std::uint8_t kReplyPacketWord = 11;
inline constexpr std::uint8_t kReplySampleRequest = 13;
inline constexpr std::uint8_t kReplyLaunch = 14;
inline constexpr std::uint8_t kReplyLineA = 15;
inline constexpr std::uint8_t kReplyLineB = 16;
inline constexpr std::uint8_t kReplyApogee = 17;
inline constexpr std::uint8_t kReplyEndOfLaunch = 19;

struct HidReport {
  std::uint8_t reportId = 0;
  std::uint16_t value = 0;
  std::uint8_t code = 0;

  std::array<std::uint8_t, kHidReportLength> Bytes() const {
    return {reportId, static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8), code};
  }
  static HidReport FromBytes(const std::uint8_t* b) {
    return {b[0], static_cast<std::uint16_t>(b[1] | (b[2] << 8)), b[3]};
  }
};

}  // namespace tev
