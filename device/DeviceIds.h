#pragma once
// How the altimeter identifies itself on the USB, in both personalities.
#include <cstdint>

namespace tev {

// The open-source vendor id whose product ids 0x0001 to 0x0010 are set aside for testing.
inline constexpr std::uint16_t kVendorId = 0x1209;
inline constexpr std::uint16_t kApplicationProductId = 0x0002;
inline constexpr std::uint16_t kBootloaderProductId = 0x0001;

// Every transfer waits this long unless an exchange says otherwise.
inline constexpr std::uint32_t kIoTimeoutMs = 3000;

enum class Personality { Application, Bootloader };

}  // namespace tev
