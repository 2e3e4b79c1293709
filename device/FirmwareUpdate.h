#pragma once
// The firmware update through the bootloader: 64-byte blocks in three 65-byte reports each.
#include <cstddef>
#include <cstdint>

namespace tev {

// Told of each block before it is written (or skipped), on the update's thread.
class UpdateObserver {
 public:
  virtual ~UpdateObserver() = default;
  virtual void OnBlockProgress(int blockIndex, int highestBlockIndex) = 0;
};

inline constexpr std::size_t kBootloaderReportLength = 65;
inline constexpr std::uint8_t kBootHardwareQuery = 1;
inline constexpr std::uint8_t kBootWriteBlock = 2;
inline constexpr int kLastFirmwareBlock = 1023;  // the 65536-byte image holds 1024 blocks

// Update results beyond the device operations' shared ones.
inline constexpr int kUpdateTimeout = -4;
inline constexpr int kUpdateCannotOpenFile = -6;
inline constexpr int kUpdateCannotOpenDevice = -7;
inline constexpr int kUpdateWrongFileFormat = -8;
inline constexpr int kUpdateInvalidFile = -9;
inline constexpr int kUpdateNotBootloader = -10;
inline constexpr int kUpdateWrongBootloader = -11;
inline constexpr int kUpdateWrongFirmware = -12;
inline constexpr int kUpdateWrongHardware = -13;

}  // namespace tev
