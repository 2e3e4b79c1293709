#include "ui/logic/BootloaderConnectSequence.h"

#include "model/Versions.h"

namespace tev {

void BootloaderConnectSequence(AltimeterDevice& device, const StatusSink& append) {
  std::uint16_t version = 0;
  const int result = device.Connect(Personality::Bootloader, &version);
  if (result == kConnected) {
    append(L"Device connected in bootloader mode.\r\n");
    append(L"Device bootloader version: " + FormatVersion(version) + L"\r\n");
  } else if (result == kCannotOpen) {
    append(L"Device found in bootloader mode. Unable to connect to device.\r\n"
           L"Please ensure it is not being used by another application.\r\n"
           L"Removing the device and re-attaching it should correct this.\r\n");
  } else if (result == kNotFound) {
    const int application = device.Connect(Personality::Application);
    if (application == kWrongVersion || (device.IsOpen() && !device.bootloaderMode)) {
      device.Close();
      append(L"Device found, but is not in bootloader mode.\r\n");
      append(L"Please reconnect the device in bootloader mode.\r\n");
    } else {
      append(L"Device not found.\r\n");
    }
  } else if (result == kWrongVersion) {
    append(L"Device found in bootloader mode, but has incompatible bootloader version.\r\n");
    append(L"Current device bootloader version: " + FormatVersion(version) + L"\r\n");
    append(L"Required device bootloader version: " + FormatVersion(kBootloaderVersion) + L"\r\n");
  }
}

}  // namespace tev
