#include "ui/logic/ConnectSequence.h"

#include "model/Versions.h"

namespace tev {

void ConnectSequence(AltimeterDevice& device, const StatusSink& append) {
  std::uint16_t version = 0;
  const int result = device.Connect(Personality::Application, &version);
  if (result >= 0) {
    append(L"Device Connected.\r\n");
    append(L"Current device firmware version: " + FormatVersion(version) + L"\r\n");
  } else if (result == kCannotOpen) {
    append(L"Device found. Unable to connect to device.\r\n"
           L"Please ensure it is not being used by another application.\r\n"
           L"Removing the device and re-attaching it should correct this.\r\n");
  } else if (result == kNotFound) {
    device.Connect(Personality::Bootloader);
    if (device.IsOpen() && device.bootloaderMode) {
      device.Close();
      append(L"Device found, but is in bootloader mode.\r\n");
      append(L"Please reconnect the device.\r\n");
    } else {
      append(L"Device not found.\r\n");
    }
  } else if (result == kWrongVersion) {
    append(L"Device found, but has incompatible firmware version.\r\n");
    append(L"Current device firmware version: " + FormatVersion(version) + L"\r\n");
    append(L"Required device firmware version: " + FormatVersion(kFirmwareVersion) + L"\r\n");
  }
}

}  // namespace tev
