#include "ui/logic/ControlWorkers.h"

#include "device/HidReport.h"
#include "model/Conversions.h"
#include "model/DebugLog.h"
#include "model/NumberFormat.h"
#include "ui/logic/WorkerText.h"

namespace tev {
namespace {

// Every worker: busy first; without a device it says so and stops.
bool Begin(AltimeterDevice& device, ControlDialogHost& host) {
  host.RefreshControls(true);
  if (device.IsOpen()) return true;
  host.AppendStatus(kAltimeterNotFound);
  host.RefreshControls(false);
  return false;
}

}  // namespace

ControlButtons ControlButtonsEnabled(bool connected, bool busy, bool haveReadings) {
  const bool operations = connected && !busy;
  return {operations, operations && haveReadings};
}

std::wstring PressureLines(std::uint16_t adc, std::int32_t offset) {
  const double volts = AdcToVolts(adc, offset);
  return L"\r\nCurrent ADC: " + std::to_wstring(adc) + L"\r\n" +  //
         L"Current Voltage: " + FormatRealW(volts) + L" Volts\r\n" +
         L"Current Pressure: " + FormatRealW(PressureFromVolts(volts)) + L" kPa\r\n" +
         L"Current MSL Altitude: " + FormatRealW(AdcToAltitude(adc, offset)) + L" Meters\r\n";
}

std::wstring BatteryLine(std::uint16_t tenthsOfVolt) {
  return L"Current Voltage: " + FormatRealW(tenthsOfVolt / 10.0) + L" Volts\r\n";
}

std::optional<std::wstring> EmulationEventLine(int code, int sampleIndex) {
  switch (code) {
    case kReplySampleRequest:
      return L"Launch Time (s): " + FormatRealW(sampleIndex / 10.0) + L"\r\n";
    case kReplyLaunch:
      return L"Launch detected.\r\n";
    case kReplyLineA:
      return L"Line A fired.\r\n";
    case kReplyLineB:
      return L"Line B fired.\r\n";
    case kReplyApogee:
      return L"Apogee detected.\r\n";
    case kReplyEndOfLaunch:
      return L"Device indicates end of launch.\r\n";
    default:
      return std::nullopt;
  }
}

void ReadPressureWork(AltimeterDevice& device, ControlDialogHost& host) {
  if (!Begin(device, host)) return;
  // The offset the device holds now, not the one in memory, which stays as it is.
  std::int32_t offset = 0;
  int read = 0;
  {
    const DeviceSettings kept = device.settings;
    read = device.ReadSettings();
    device.settings.Parse();
    offset = device.settings.adcOffset;
    device.settings = kept;
  }
  std::uint16_t adc = 0;
  if (read < 0) {
    host.AppendStatus(kSettingsReadFailed);
  } else if (device.ReadAdc(adc) < 0) {
    host.AppendStatus(kFailed);
  } else {
    host.AppendStatus(PressureLines(adc, offset));
    host.RenderPlot();
    host.RefreshControls(false);  // last: the buttons come back as the worker ends
    return;
  }
  host.RefreshControls(false);
}

void ReadBatteryWork(AltimeterDevice& device, ControlDialogHost& host) {
  if (!Begin(device, host)) return;
  std::uint16_t tenths = 0;
  if (device.ReadBatteryVoltage(tenths) < 0) {
    host.AppendStatus(kFailed);
    host.RefreshControls(false);
    return;
  }
  host.AppendStatus(BatteryLine(tenths));
  DebugLog("Notifying connection...");
  host.RefreshControls(false);
  DebugLog("Done.");
}

void FireLinesWork(AltimeterDevice& device, ControlDialogHost& host) {
  if (!Begin(device, host)) return;
  host.AppendStatus(L"Firing both lines for 2 seconds...\r\n");
  host.AppendStatus(device.FireLines() < 0 ? kFailed : kDone);
  host.RefreshControls(false);
}

void EmulateWork(AltimeterDevice& device, ControlDialogHost& host, EmulationObserver& observer) {
  if (!Begin(device, host)) return;
  host.AppendStatus(L"Emulating...\r\n");
  host.AppendStatus(device.EmulateLaunch(observer) ? kDone : kFailed);
  host.RefreshControls(false);
}

}  // namespace tev
