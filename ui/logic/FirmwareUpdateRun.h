#pragma once
// The Update Firmware dialog's worker: the update of the firmware file the user picked, told in
// the status box step by step, every failure explained and closed by "Failed to update firmware.".
#include <cstdint>
#include <string>
#include <vector>

#include "device/AltimeterDevice.h"
#include "device/FirmwareUpdate.h"
#include "ui/logic/WorkerHost.h"

namespace tev {

// The versions the update reports as it learns them.
struct UpdateVersions {
  std::uint16_t hardware = 0;
  std::uint16_t fileFormat = 0;
  std::uint16_t fileBootloader = 0;
  std::uint16_t fileFirmware = 0;
};

// The status lines that explain an update's result, one AppendStatus each; a failure's closing
// line is not among them (the controls are refreshed before it).
std::vector<std::wstring> UpdateResultLines(int result, const UpdateVersions& versions);

inline constexpr wchar_t kUpdateFailedLine[] = L"Failed to update firmware.\r\n";

// What the update asks of the Update Firmware dialog beyond every worker's own: it is told of
// each block, to show the progress.
class UpdateDialogHost : public WorkerHost, public UpdateObserver {};

// Runs the whole update on the calling thread (the dialog's worker). The controls are refreshed
// for the device's state once the outcome is known.
void RunFirmwareUpdate(AltimeterDevice& device, const std::wstring& path, UpdateDialogHost& host);

}  // namespace tev
