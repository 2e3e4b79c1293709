#pragma once
// The Control Device dialog's four operations, as its worker thread runs them, and the lines
// they show: the pressure reading, the battery voltage, firing the lines and the launch emulation.
#include <cstdint>
#include <optional>
#include <string>

#include "device/AltimeterDevice.h"
#include "device/LaunchEmulation.h"
#include "ui/logic/WorkerHost.h"

namespace tev {

// The Control Device workers need nothing beyond every worker's own.
using ControlDialogHost = WorkerHost;

struct ControlButtons {
  bool operations = false;  // Read Pressure, Read Battery Voltage, Fire lines for 2 seconds
  bool emulate = false;     // Emulate Launch...: needs readings to replay
};
ControlButtons ControlButtonsEnabled(bool connected, bool busy, bool haveReadings);

// The four lines of a reading A with the device's offset O (an empty line first).
std::wstring PressureLines(std::uint16_t adc, std::int32_t offset);
// The battery voltage from tenths of a volt.
std::wstring BatteryLine(std::uint16_t tenthsOfVolt);
// The status line of an emulation event; none for codes the dialog does not show.
std::optional<std::wstring> EmulationEventLine(int code, int sampleIndex);

void ReadPressureWork(AltimeterDevice& device, ControlDialogHost& host);
void ReadBatteryWork(AltimeterDevice& device, ControlDialogHost& host);
void FireLinesWork(AltimeterDevice& device, ControlDialogHost& host);
void EmulateWork(AltimeterDevice& device, ControlDialogHost& host, EmulationObserver& observer);

}  // namespace tev
