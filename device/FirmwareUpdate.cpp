// UpdateFirmware: check the file and the hardware, then write every block that is not blank.
#include "device/FirmwareUpdate.h"

#include <algorithm>
#include <array>
#include <string>

#include "device/AltimeterDevice.h"
#include "device/FirmwareFile.h"
#include "model/DebugLog.h"
#include "model/NumberFormat.h"
#include "model/Versions.h"

namespace tev {
namespace {


}  // namespace

int AltimeterDevice::UpdateFirmware(UpdateObserver& observer, const std::wstring& path, std::uint16_t& hardwareVersion,
                                    std::uint16_t& fileFormatVersion, std::uint16_t& fileBootloaderVersion,
                                    std::uint16_t& fileFirmwareVersion) {
  if (!bootloaderMode) return kUpdateNotBootloader;

  FirmwareImage firmware;  // 64 KiB on the heap, for this call only
  const int read = ReadFirmwareFile(path, firmware);
  if (read != kFirmwareCannotOpen && read != kFirmwareWrongMagic && read != kFirmwareTooShort)
    fileFormatVersion = firmware.fileFormatVersion;
  switch (read) {
    case kFirmwareRead: break;
    case kFirmwareCannotOpen: return kUpdateCannotOpenFile;
    case kFirmwareWrongFormat: return kUpdateWrongFileFormat;
    // A file cut short or with a length outside its image is no firmware file: neither a protocol fault
    // blamed on the device nor an update that "succeeds" by writing nothing.
    case kFirmwareTooShort:
    case kFirmwareBadLength:
    case kFirmwareWrongMagic:
    default: return kUpdateInvalidFile;
  }

  fileBootloaderVersion = firmware.bootloaderVersion;
  if ((firmware.bootloaderVersion & kVersionMask) != kBootloaderVersion) return kUpdateWrongBootloader;
  fileFirmwareVersion = firmware.firmwareVersion;
  if ((firmware.firmwareVersion & kVersionMask) != kFirmwareVersion) return kUpdateWrongFirmware;

  if (!Open()) return kUpdateCannotOpenDevice;
  const int highest = firmware.length / static_cast<int>(kFirmwareBlockSize);
  DebugLog("MaxBlockIndex: " + std::to_string(highest));
  DebugLog("Connected to device.");

  DiscardInput();
  std::array<std::uint8_t, kBootloaderReportLength> report{};
  report[1] = kBootHardwareQuery;
  if (!WriteReport(report.data(), report.size())) {
    DebugLog("Failed to write.");
    return kUpdateTimeout;
  }
  report.fill(0);
  if (!ReadReport(report.data(), report.size(), kIoTimeoutMs)) {
    DebugLog("Failed to read.");
    return kUpdateTimeout;
  }
  hardwareVersion = static_cast<std::uint16_t>(report[1] | (report[2] << 8));
  if ((hardwareVersion & kVersionMask) != kHardwareVersion) return kUpdateWrongHardware;
  DebugLog("Hardware Version: " + FormatHex(hardwareVersion, 4));

  for (int b = 0; b <= std::min(highest, kLastFirmwareBlock); ++b) {
    report.fill(0);
    observer.OnBlockProgress(b, highest);
    const auto block = firmware.image.begin() + static_cast<std::ptrdiff_t>(b * kFirmwareBlockSize);
    if (std::all_of(block, block + kFirmwareBlockSize, [](std::uint8_t x) { return x == 0xFF; })) continue;

    const auto address = static_cast<std::uint16_t>(b * kFirmwareBlockSize);
    std::array<std::uint8_t, kBootloaderReportLength> command{}, where{}, data{};
    command[1] = kBootWriteBlock;
    where[1] = static_cast<std::uint8_t>(address & 0xFF);
    where[2] = static_cast<std::uint8_t>(address >> 8);
    std::copy(block, block + kFirmwareBlockSize, data.begin() + 1);
    if (!WriteReport(command.data(), command.size()) || !WriteReport(where.data(), where.size()) ||
        !WriteReport(data.data(), data.size())) {
      DebugLog("Failed to write.");
      return kUpdateTimeout;
    }
    report.fill(0);
    if (!ReadReport(report.data(), report.size(), kIoTimeoutMs)) {
      DebugLog("Failed to read.");
      return kUpdateTimeout;
    }
    if (report[1] != 1) {
      DebugLog("Protocol error.");
      return kProtocolError;
    }
    DebugLog("Written Block: " + FormatHex(address));
  }
  return kOk;
}

}  // namespace tev
