#pragma once
// The firmware file (*.dat): a magic, three version words, the scrambled 64 KiB image and the
// number of image bytes to program.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tev {

inline constexpr std::uint16_t kFirmwareKey = 0x5C71;  // XORed into every image word
inline constexpr std::uint16_t kFirmwareFileFormat = 0x0100;
inline constexpr std::size_t kFirmwareImageSize = 65536;
inline constexpr std::size_t kFirmwareBlockSize = 64;
inline constexpr std::size_t kFirmwareHeaderSize = 22;  // magic + three version words
inline constexpr std::size_t kFirmwareFileSize = kFirmwareHeaderSize + kFirmwareImageSize + 4;

// {3DBEFF30-B961-4A71-B1E7-913663930EC2} in memory order.
inline constexpr std::array<std::uint8_t, 16> kFirmwareMagic = {
    0x30, 0xFF, 0xBE, 0x3D, 0x61, 0xB9, 0x71, 0x4A, 0xB1, 0xE7, 0x91, 0x36, 0x63, 0x93, 0x0E, 0xC2};

struct FirmwareImage {
  std::vector<std::uint8_t> image = std::vector<std::uint8_t>(kFirmwareImageSize, 0xFF);
  std::int32_t length = 0;  // image bytes to program
  std::uint16_t fileFormatVersion = 0;
  std::uint16_t bootloaderVersion = 0;
  std::uint16_t firmwareVersion = 0;
};

enum ReadFirmwareResult : int {
  kFirmwareRead = 0,
  kFirmwareWrongMagic = 1,
  kFirmwareWrongFormat = 2,
  kFirmwareCannotOpen = 3,
  kFirmwareTooShort = 4,
  kFirmwareBadLength = 5,  // a negative length or one beyond the image: nothing sensible to program
};

// Reads and unscrambles the file. The path is taken wide, as the user picked it, so folders
// named outside the current code page open too. Fields read before a failure stay in image.
int ReadFirmwareFile(const std::wstring& path, FirmwareImage& image);
// The same on the file's bytes in memory.
int DecodeFirmwareFile(const std::uint8_t* data, std::size_t size, FirmwareImage& image);

// The file's bytes for an image (scrambled), as make-firmware and tests write them.
std::vector<std::uint8_t> EncodeFirmwareFile(const FirmwareImage& image);
bool WriteFirmwareFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes);

}  // namespace tev
