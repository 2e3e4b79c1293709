// The firmware file reader on any bytes. A file it reads must be exactly what the writer makes of
// the image read, and the blocks an update would program must be the image's own.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "device/FirmwareFile.h"
#include "model/DebugLog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool silenced = (tev::SetDebugLogSink({}), true);
  (void)silenced;
  tev::FirmwareImage image;
  const int result = tev::DecodeFirmwareFile(data, size, image);
  FUZZ_CHECK(result >= tev::kFirmwareRead && result <= tev::kFirmwareBadLength);
  FUZZ_CHECK(result != tev::kFirmwareCannotOpen);
  if (result != tev::kFirmwareRead) return 0;

  FUZZ_CHECK(size >= tev::kFirmwareFileSize);
  FUZZ_CHECK(image.image.size() == tev::kFirmwareImageSize);
  FUZZ_CHECK(image.length >= 0 && image.length <= static_cast<std::int32_t>(tev::kFirmwareImageSize));
  // Bytes after the layout are ignored; everything before it comes back as it was.
  const std::vector<std::uint8_t> encoded = tev::EncodeFirmwareFile(image);
  FUZZ_CHECK(encoded.size() == tev::kFirmwareFileSize);
  FUZZ_CHECK(std::equal(encoded.begin(), encoded.end(), data));

  // The block list of an update: every block up to the length, never past the image.
  const int highest = std::min(image.length / static_cast<int>(tev::kFirmwareBlockSize),
                               static_cast<int>(tev::kFirmwareImageSize / tev::kFirmwareBlockSize) - 1);
  tev::FirmwareImage blocks;
  for (int b = 0; b <= highest; ++b) {
    const std::size_t at = static_cast<std::size_t>(b) * tev::kFirmwareBlockSize;
    std::copy_n(image.image.begin() + static_cast<std::ptrdiff_t>(at), tev::kFirmwareBlockSize,
                blocks.image.begin() + static_cast<std::ptrdiff_t>(at));
  }
  blocks.length = image.length;
  blocks.fileFormatVersion = image.fileFormatVersion;
  blocks.bootloaderVersion = image.bootloaderVersion;
  blocks.firmwareVersion = image.firmwareVersion;
  tev::FirmwareImage again;
  FUZZ_CHECK(tev::DecodeFirmwareFile(tev::EncodeFirmwareFile(blocks).data(), tev::kFirmwareFileSize, again) ==
             tev::kFirmwareRead);
  FUZZ_CHECK(again.image == blocks.image && again.length == image.length);
  return 0;
}
