#include "device/FirmwareFile.h"

#include <algorithm>
#include <fstream>

#include "model/DebugLog.h"
#include "model/WidePath.h"

namespace tev {
namespace {

void PutWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// XOR with the key is its own inverse: the same pass scrambles and unscrambles.
void Scramble(std::uint8_t* image) {
  for (std::size_t i = 0; i < kFirmwareImageSize; i += 2) {
    image[i] ^= static_cast<std::uint8_t>(kFirmwareKey & 0xFF);
    image[i + 1] ^= static_cast<std::uint8_t>(kFirmwareKey >> 8);
  }
}

}  // namespace

int DecodeFirmwareFile(const std::uint8_t* data, std::size_t size, FirmwareImage& image) {
  std::size_t at = 0;
  // Takes the next `length` bytes, or nothing when fewer are left.
  auto take = [&](std::size_t length) -> const std::uint8_t* {
    if (size - at < length) return nullptr;
    const std::uint8_t* part = data + at;
    at += length;
    return part;
  };
  auto word = [](const std::uint8_t* b) { return static_cast<std::uint16_t>(b[0] | (b[1] << 8)); };

  const std::uint8_t* magic = take(kFirmwareMagic.size());
  if (!magic) return kFirmwareTooShort;
  if (!std::equal(kFirmwareMagic.begin(), kFirmwareMagic.end(), magic)) return kFirmwareWrongMagic;

  const std::uint8_t* format = take(2);
  if (!format) return kFirmwareTooShort;
  image.fileFormatVersion = word(format);
  if (image.fileFormatVersion != kFirmwareFileFormat) return kFirmwareWrongFormat;

  const std::uint8_t* bootloader = take(2);
  if (!bootloader) return kFirmwareTooShort;
  image.bootloaderVersion = word(bootloader);
  const std::uint8_t* firmware = take(2);
  if (!firmware) return kFirmwareTooShort;
  image.firmwareVersion = word(firmware);
  const std::uint8_t* scrambled = take(kFirmwareImageSize);
  const std::uint8_t* len = take(4);
  if (!scrambled || !len) return kFirmwareTooShort;
  image.image.assign(scrambled, scrambled + kFirmwareImageSize);
  image.length = static_cast<std::int32_t>(static_cast<std::uint32_t>(len[0]) | (static_cast<std::uint32_t>(len[1]) << 8) |
                                           (static_cast<std::uint32_t>(len[2]) << 16) |
                                           (static_cast<std::uint32_t>(len[3]) << 24));
  Scramble(image.image.data());
  // A length beyond the image names blocks that do not exist.
  if (image.length < 0 || image.length > static_cast<std::int32_t>(kFirmwareImageSize)) return kFirmwareBadLength;
  return kFirmwareRead;
}

int ReadFirmwareFile(const std::wstring& path, FirmwareImage& image) {
  std::ifstream in(ToFsPath(path), std::ios::binary);
  if (!in) return kFirmwareCannotOpen;
  DebugLog("Reading file.");
  // Bytes after the layout are never read.
  std::vector<std::uint8_t> bytes(kFirmwareFileSize);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  in.close();
  return DecodeFirmwareFile(bytes.data(), bytes.size(), image);
}

std::vector<std::uint8_t> EncodeFirmwareFile(const FirmwareImage& image) {
  std::vector<std::uint8_t> out(kFirmwareMagic.begin(), kFirmwareMagic.end());
  PutWord(out, image.fileFormatVersion);
  PutWord(out, image.bootloaderVersion);
  PutWord(out, image.firmwareVersion);
  const std::size_t at = out.size();
  out.resize(at + kFirmwareImageSize, 0xFF);
  std::copy_n(image.image.begin(), std::min(image.image.size(), kFirmwareImageSize), out.begin() + at);
  Scramble(out.data() + at);
  const auto length = static_cast<std::uint32_t>(image.length);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(length >> shift));
  return out;
}

bool WriteFirmwareFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(ToFsPath(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace tev
