#pragma once
// Tools > Update Firmware: connects to the altimeter's bootloader, lets the user pick a firmware
// file and writes it on a worker, in steps of ten percent. While the update runs the dialog
// refuses to close: a half-written firmware can leave the device unusable.
#include <memory>
#include <string>

#include "ui/framework/DeviceWindow.h"

namespace tev {

// Names: template IDD_FIRMWARE, title "Update Firmware"; tests UpdateWindowTest, UpdateDialogTest, FirmwareUpdateRun.
class CUpdateWindow : public CDeviceWindow {
 public:
  explicit CUpdateWindow(AltimeterDevice& device);
  ~CUpdateWindow() override;

 private:
  class Host;  // the dialog as its worker sees it

  MessageResult HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void EnableControls(bool busy) override;
  void RunConnectSequence() override;

  MessageResult OnInitDialog(WPARAM, LPARAM);
  MessageResult OnCommand(WPARAM, LPARAM);
  MessageResult OnKeyDown(WPARAM, LPARAM);
  MessageResult OnClose(WPARAM, LPARAM);
  INT_PTR OnUpdate();
  INT_PTR OnCloseButton();

  std::wstring firmwarePath_;  // the file picked last; dialog thread only
  std::unique_ptr<Host> host_;  // made with the dialog: its worker reports through it

  static const MessageEntry<CUpdateWindow> kMessages[];
  static const CommandEntry<CUpdateWindow> kCommands[];
};

}  // namespace tev
