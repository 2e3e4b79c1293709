#include "ui/logic/SettingsWorkers.h"

#include "model/Conversions.h"
#include "resources/ResourceIds.h"
#include "ui/logic/WorkerText.h"

namespace tev {
namespace {

// Between the success line and showing it, as the device needs a moment after a write.
constexpr std::uint32_t kAfterWriteMs = 100;

}  // namespace

std::optional<std::wstring> RefuseCalibrationOffset(std::int32_t offset) {
  if (offset >= -128 && offset <= 127) return std::nullopt;
  return L"ADC Offset " + std::to_wstring(offset) +
         L" does not fit the device: it holds offsets from -128 to 127. Nothing was written.\r\n";
}

int ReadSettingsWork(AltimeterDevice& device, SettingsDialogHost& host) {
  host.AppendStatus(kAttemptingToConnect);
  if (!device.IsOpen()) {
    host.EnableRead();
    host.AppendStatus(kAltimeterNotFound);
    return -1;
  }
  host.AppendStatus(kReadingSettings);
  if (device.ReadSettings() < 0) {
    host.EnableRead();
    host.AppendStatus(kSettingsReadFailed);
    return -1;
  }
  int result = 0;
  if (device.settings.Parse()) {
    host.AppendStatus(kSettingsRead);
  } else {
    host.AppendStatus(L"Checksum failed. The device settings are invalid.\r\n");
    host.AppendStatus(L"Displaying default settings.\r\n");
    device.settings.SetDefaults();
    device.settings.Parse();
    result = -1;
  }
  host.ShowSettings();
  host.RenderPlot();
  host.RefreshControls(false);  // last: the buttons come back as the worker ends
  return result;
}

namespace {

std::int32_t CalibrationOffset(std::uint32_t groundAltitude, std::uint16_t deviceCount) {
  return AltitudeToAdc(groundAltitude) - static_cast<std::int32_t>(deviceCount);
}

// The three ADC lines; the offset when it fits the device, else its refusal.
std::optional<std::int32_t> ReportOffset(SettingsDialogHost& host, std::uint32_t groundAltitude,
                                         std::uint16_t deviceCount) {
  const std::int32_t offset = CalibrationOffset(groundAltitude, deviceCount);
  host.AppendStatus(L"ADC Real: " + std::to_wstring(AltitudeToAdc(groundAltitude)) + L"\r\n");
  host.AppendStatus(L"ADC Device: " + std::to_wstring(deviceCount) + L"\r\n");
  host.AppendStatus(L"ADC Offset: " + std::to_wstring(offset) + L"\r\n");
  if (const auto refusal = RefuseCalibrationOffset(offset)) {
    // One byte would keep only the low bits: a wrong offset written without a word.
    host.AppendStatus(*refusal);
    return std::nullopt;
  }
  return offset;
}

// The write itself. Within a calibration the buttons are left to the calibration's end.
int WriteSettingsSteps(AltimeterDevice& device, SettingsDialogHost& host, const SettingsEntries& entries,
                       bool withinCalibration) {
  auto enableRead = [&] {
    if (!withinCalibration) host.EnableRead();
  };
  auto refreshIdle = [&] {
    if (!withinCalibration) host.RefreshControls(false);
  };
  // The click refuses such entries already; a write never stores a truncated value.
  if (const auto refusal = RefuseEntries(entries)) {
    host.AppendStatus(*refusal);
    refreshIdle();
    return -1;
  }
  const SettingsWarnings warnings = EntriesToSettings(entries, device.settings);
  if (warnings.inhibitLarge) host.Warn(IDS_INHIBIT_LARGE);
  if (warnings.lineDisabled) host.Warn(IDS_LINES_DISABLED);
  device.settings.Pack();

  host.AppendStatus(kAttemptingToConnect);
  if (!device.IsOpen()) {
    enableRead();
    host.AppendStatus(kAltimeterNotFound);
    return -1;
  }
  if (device.ClearData() < 0) {
    refreshIdle();
    host.AppendStatus(kClearFailed);
    return -1;
  }
  host.AppendStatus(L"Altimeter found! Writing settings...\r\n");
  if (device.WriteSettings() < 0) {
    enableRead();
    host.AppendStatus(L"Failed to write settings.\r\n");
    return -1;
  }
  host.AppendStatus(L"Settings written successfully.\r\n");
  device.Bus().Sleep(kAfterWriteMs);
  host.ShowStatusNow();
  device.settings.Parse();
  host.ShowSettings();
  host.RenderPlot();
  refreshIdle();  // last: the buttons come back as the worker ends
  return 0;
}

}  // namespace

int WriteSettingsWork(AltimeterDevice& device, SettingsDialogHost& host, const SettingsEntries& entries) {
  return WriteSettingsSteps(device, host, entries, false);
}

void CalibrateWork(AltimeterDevice& device, SettingsDialogHost& host, std::uint32_t groundAltitude,
                   const SettingsEntries& entries) {
  host.RefreshControls(true);
  if (!device.IsOpen()) {
    host.AppendStatus(kAltimeterNotFound);
    host.RefreshControls(false);
    return;
  }
  // The sensor is read once before the flights are erased, so that a calibration that cannot
  // succeed costs nothing; one that can goes on as always, with its own reading.
  {
    std::uint16_t deviceCount = 0;
    const int read = device.ReadAdc(deviceCount);
    if (read < 0 || RefuseCalibrationOffset(CalibrationOffset(groundAltitude, deviceCount))) {
      host.AppendStatus(L"Calibrating...\r\n");
      if (read < 0) {
        host.AppendStatus(kFailed);
      } else {
        ReportOffset(host, groundAltitude, deviceCount);
        host.AppendStatus(L"Failed to calibrate.\r\n");
      }
      host.RefreshControls(false);
      return;
    }
  }
  if (device.ClearData() < 0) {
    host.RefreshControls(false);
    host.AppendStatus(kClearFailed);
    return;
  }
  host.AppendStatus(L"Calibrating...\r\n");
  {
    // A read that only proves the device answers: the record in memory stays as it is.
    const DeviceSettings kept = device.settings;
    const int read = device.ReadSettings();
    device.settings = kept;
    if (read < 0) {
      host.AppendStatus(kSettingsReadFailed);
      host.RefreshControls(false);
      return;
    }
  }
  std::uint16_t deviceCount = 0;
  if (device.ReadAdc(deviceCount) < 0) {
    host.AppendStatus(kFailed);
    host.RefreshControls(false);
    return;
  }
  bool calibrated = false;
  if (const std::optional<std::int32_t> offset = ReportOffset(host, groundAltitude, deviceCount)) {
    device.settings.adcOffset = *offset;
    calibrated = WriteSettingsSteps(device, host, entries, true) == 0;
  }
  host.AppendStatus(calibrated ? L"Calibration complete.\r\n" : L"Failed to calibrate.\r\n");
  host.RenderPlot();
  host.RefreshControls(false);
}

}  // namespace tev
