#pragma once
// Tools > Update Firmware: connects to the altimeter's bootloader, lets the user pick a firmware
// file and writes it on a worker, in steps of ten percent. While the update runs the dialog
// refuses to close: a half-written firmware can leave the device unusable.
#include <string>

#include "device/FirmwareUpdate.h"
#include "ui/framework/DeviceWindow.h"

namespace tev {

class CUpdateWindow : public CDeviceWindow, public UpdateObserver {
 public:
  explicit CUpdateWindow(AltimeterDevice& device);
  ~CUpdateWindow() override;

  // The update's observer, on the worker thread.
  void OnBlockProgress(int blockIndex, int highestBlockIndex) override;

 private:
  DialogResult HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void RefreshControls(bool busy) override;
  void RunConnectSequence() override;

  DialogResult OnInitDialog(WPARAM, LPARAM);
  DialogResult OnCommand(WPARAM, LPARAM);
  DialogResult OnKeyDown(WPARAM, LPARAM);
  DialogResult OnClose(WPARAM, LPARAM);
  DialogResult OnWorkerEnded(WPARAM, LPARAM);
  INT_PTR OnUpdate();
  INT_PTR OnCloseButton();
  // The worker's routine.
  void RunUpdate(const std::wstring& path);

  std::wstring firmwarePath;  // the file picked last; dialog thread only

  static const MessageEntry<CUpdateWindow> kMessages[];
  static const CommandEntry<CUpdateWindow> kCommands[];
};

}  // namespace tev
