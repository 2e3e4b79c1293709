#pragma once
// What the simulated altimeter keeps across commands, resets and personality switches.
#include <array>
#include <cstdint>
#include <vector>

namespace tev {

inline constexpr std::size_t kSimFlightMemoryPackets = 128;
inline constexpr std::size_t kSimPacketBytes = 64;

struct SimState {
  // The factory settings block (a valid checksum).
  std::array<std::uint8_t, 16> settingsBlock{0xE0, 0x03, 0xFF, 0x3C, 0x00, 0x14, 0x00, 0x50,
                                             0x00, 0x32, 0x96, 0x00, 0x96, 0x00, 0x3B, 0x04};
  std::array<std::uint8_t, kSimFlightMemoryPackets * kSimPacketBytes> flightMemory{};
  std::uint16_t adcCount = 836;     // sea-level pressure on the bench
  std::uint16_t batteryTenths = 90;  // 9.0 V
  int lineFirings = 0;               // how often both lines were fired
  int resets = 0;
  // What the bootloader has programmed, to compare with a firmware file's image.
  std::vector<std::uint8_t> programmedImage = std::vector<std::uint8_t>(65536, 0xFF);
  int blocksProgrammed = 0;
  std::uint16_t hardwareVersion = 0x0120;  // answered to the bootloader's query
  std::uint32_t emulationPeriodMs = 100;   // launch emulation: one reading asked for per period
  std::uint32_t settingsWriteMs = 0;       // a settings write: its 16 bytes taken, until it confirms
  std::uint32_t bootloaderDelayMs = 0;     // added before every bootloader answer: a slow flash, on demand

  SimState() { flightMemory.fill(0xFF); }
};

}  // namespace tev
