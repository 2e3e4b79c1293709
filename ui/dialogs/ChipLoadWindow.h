#pragma once
// Tools > Device Settings ("Program Chip"): the two ejection lines and the launch inhibit of the
// altimeter, read from it, written to it, and the pressure sensor calibrated against a known
// ground altitude. The controls always show the device object's settings record.
#include <cstdint>
#include <memory>
#include <string>

#include "ui/framework/DeviceWindow.h"
#include "ui/logic/SettingsEntries.h"
#include "ui/logic/SettingsWorkers.h"

namespace tev {

// Names: template IDD_SETTINGS, title "Program Chip", menu Device Settings; tests DeviceSettings*, SettingsWork.
class CChipLoadWindow : public CDeviceWindow {
 public:
  explicit CChipLoadWindow(AltimeterDevice& device);
  ~CChipLoadWindow() override;

 private:
  class Host;  // the dialog as its workers see it

  MessageResult HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void EnableControls(bool busy) override;

  MessageResult OnInitDialog(WPARAM, LPARAM);
  MessageResult OnCommand(WPARAM, LPARAM);
  INT_PTR OnClose();
  INT_PTR OnRead();
  INT_PTR OnWrite();
  INT_PTR OnCalibrate();

  // The controls and the record (ChipLoadControls.cpp).
  void SettingsToControls();
  SettingsEntries ReadEntries() const;
  std::wstring ItemText(int id) const;
  void EnableLineEdits(int radioId);
  // Read and Write start from an empty flight: the one on display is not what the device holds.
  void ForgetFlight();

  std::uint32_t groundAltitude_ = 0;  // metres above sea level; set on the click, read by the worker
  std::unique_ptr<Host> host_;        // made with the dialog: every worker reports through it

  static const MessageEntry<CChipLoadWindow> kMessages[];
  static const CommandEntry<CChipLoadWindow> kCommands[];
};

}  // namespace tev
