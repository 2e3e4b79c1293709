#pragma once
// The Device Settings dialog's three operations, as its worker thread runs them: what each says in
// the status box, in which order it talks to the altimeter, and what it asks of the dialog.
#include <cstdint>
#include <optional>
#include <string>

#include "device/AltimeterDevice.h"
#include "ui/logic/SettingsEntries.h"
#include "ui/logic/WorkerHost.h"

namespace tev {

// What the Device Settings workers ask of the dialog beyond every worker's own.
class SettingsDialogHost : public WorkerHost {
 public:
  // Enables "Read Settings" alone (the others stay as they are).
  virtual void EnableRead() = 0;
  // Shows the device object's settings in the controls.
  virtual void ShowSettings() = 0;
  // Shows a warning from the string table; returns once the user has dismissed it.
  virtual void Warn(unsigned stringId) = 0;
  // Shows the status text now and returns once it is shown.
  virtual void ShowStatusNow() = 0;
};

// Whether "Read Settings", "Write Settings" and "Calibrate Device" may be pressed.
inline bool SettingsButtonsEnabled(bool connected, bool busy) { return connected && !busy; }

// The status line of a calibration offset that does not fit the settings block's one byte.
std::optional<std::wstring> RefuseCalibrationOffset(std::int32_t offset);

// 0 on success, -1 on failure; each leaves the controls as the dialog's states say, and gives the
// buttons back as its last step (a calibration only once it has ended, not after its write).
int ReadSettingsWork(AltimeterDevice& device, SettingsDialogHost& host);
int WriteSettingsWork(AltimeterDevice& device, SettingsDialogHost& host, const SettingsEntries& entries);
void CalibrateWork(AltimeterDevice& device, SettingsDialogHost& host, std::uint32_t groundAltitude,
                   const SettingsEntries& entries);

}  // namespace tev
