#include "device/FirmwareFile.h"

#include <algorithm>
#include <fstream>

#include "model/DebugLog.h"
#include "model/WidePath.h"

namespace tev {
namespace {

bool ReadWord(std::istream& in, std::uint16_t& value) {
  std::uint8_t b[2];
  if (!in.read(reinterpret_cast<char*>(b), 2)) return false;
  value = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
  return true;
}

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

int ReadFirmwareFile(const std::wstring& path, FirmwareImage& image) {
  std::ifstream in(ToFsPath(path), std::ios::binary);
  if (!in) return kFirmwareCannotOpen;
  DebugLog("Reading file.");

  std::array<std::uint8_t, 16> magic{};
  if (!in.read(reinterpret_cast<char*>(magic.data()), magic.size())) return kFirmwareTooShort;
  if (magic != kFirmwareMagic) return kFirmwareWrongMagic;

  if (!ReadWord(in, image.fileFormatVersion)) return kFirmwareTooShort;
  if (image.fileFormatVersion != kFirmwareFileFormat) return kFirmwareWrongFormat;

  if (!ReadWord(in, image.bootloaderVersion) || !ReadWord(in, image.firmwareVersion)) return kFirmwareTooShort;
  image.image.resize(kFirmwareImageSize);
  if (!in.read(reinterpret_cast<char*>(image.image.data()), kFirmwareImageSize)) return kFirmwareTooShort;
  std::uint8_t len[4];
  if (!in.read(reinterpret_cast<char*>(len), 4)) return kFirmwareTooShort;
  image.length = static_cast<std::int32_t>(static_cast<std::uint32_t>(len[0]) | (static_cast<std::uint32_t>(len[1]) << 8) |
                                           (static_cast<std::uint32_t>(len[2]) << 16) |
                                           (static_cast<std::uint32_t>(len[3]) << 24));
  in.close();
  Scramble(image.image.data());
  if (image.length < 0) return kFirmwareBadLength;
  return kFirmwareRead;
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
