#include "ui/logic/FirmwareUpdateRun.h"

#include "device/FirmwareFile.h"
#include "model/DebugLog.h"
#include "model/Versions.h"
#include "model/WidePath.h"
#include "ui/logic/WorkerText.h"

namespace tev {
namespace {

const std::wstring kEnd = L"\r\n";

std::vector<std::wstring> RemovedDeviceLines(const wchar_t* first) {
  return {first, L"This was most likely caused by prematurely removing the device.\r\n",
          L"Please reconnect and try again.\r\n"};
}

}  // namespace

std::vector<std::wstring> UpdateResultLines(int result, const UpdateVersions& v) {
  if (result >= 0) {
    return {L"New firmware version: " + FormatVersion(v.fileFirmware) + kEnd, L"Firmware updated successfully.\r\n"};
  }
  switch (result) {
    case kUpdateWrongHardware:
      return {L"The firmware version is not intended for use with your hardware version.\r\n",
              L"Your hardware version: " + FormatVersion(v.hardware) + kEnd,
              L"Expected version: " + FormatVersion(kHardwareVersion) + kEnd};
    case kUpdateWrongFirmware:
      return {L"The firmware version is not intended for use with this software version.\r\n",
              L"New firmware version: " + FormatVersion(v.fileFirmware) + kEnd,
              L"Expected version: " + FormatVersion(kFirmwareVersion) + kEnd};
    case kUpdateWrongBootloader:
      // The bootloader version the file asks for, under the words the user reads.
      return {L"The firmware version is not intended for use with this bootloader version.\r\n",
              L"Your bootloader version: " + FormatVersion(v.fileBootloader) + kEnd,
              L"Expected version: " + FormatVersion(kBootloaderVersion) + kEnd};
    case kUpdateNotBootloader:
      return {L"The device is not in bootloader mode.\r\n"};
    case kUpdateInvalidFile:
      return {L"This is not a valid firmware file.\r\n"};
    case kUpdateWrongFileFormat:
      return {L"Incorect file version.\r\n", L"File version: " + FormatVersion(v.fileFormat) + kEnd,
              L"Expected version: " + FormatVersion(kFirmwareFileFormat) + kEnd};
    case kUpdateCannotOpenFile:
      return {L"The file could not be opened.\r\n"};
    case kUpdateTimeout:
      return RemovedDeviceLines(L"There was a timeout on a read operation.\r\n");
    case kProtocolError:
      return RemovedDeviceLines(L"There was a protocol error.\r\n");
    default:
      return {};  // the device could not be opened, or a result of no known kind
  }
}

void RunFirmwareUpdate(AltimeterDevice& device, const std::wstring& path, UpdateDialogHost& host) {
  DebugLog("Firmware file: " + WideToUtf8(path));
  if (!device.IsOpen()) {
    host.RefreshControls(false);
    host.AppendStatus(kAltimeterNotFound);
    return;
  }
  host.AppendStatus(L"Updating firmware...\r\n");
  UpdateVersions v;
  const int result =
      device.UpdateFirmware(host, path, v.hardware, v.fileFormat, v.fileBootloader, v.fileFirmware);
  for (const std::wstring& line : UpdateResultLines(result, v)) host.AppendStatus(line);
  host.RefreshControls(false);
  if (result < 0) host.AppendStatus(kUpdateFailedLine);
}

}  // namespace tev
