#pragma once
// Tools > Control Device ("Control Options"): the altimeter operated from the bench: the pressure
// now, the battery, both lines fired for 2 seconds, and the flight on display replayed into it as
// an emulated launch while it reports its events.
#include "device/LaunchEmulation.h"
#include "ui/framework/DeviceWindow.h"
#include "ui/logic/ControlWorkers.h"

namespace tev {

// Names: template IDD_CONTROL, title "Control Options", menu Control Device; tests ControlDevice*, ControlWork.
class CControlOptionsWindow : public CDeviceWindow, public EmulationObserver {
 public:
  explicit CControlOptionsWindow(AltimeterDevice& device);

  // The emulation's events as status lines; on the worker thread.
  void OnEmulationEvent(int code, int sampleIndex) override;

 private:
  MessageResult HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void EnableControls(bool busy) override;
  void RunConnectSequence() override;
  void PrepareClose() override;

  MessageResult OnInitDialog(WPARAM, LPARAM);
  MessageResult OnCommand(WPARAM, LPARAM);
  MessageResult OnDeviceChange(WPARAM, LPARAM);
  INT_PTR OnClose();
  INT_PTR OnEmulate();
  INT_PTR OnReadPressure();
  INT_PTR OnReadBattery();
  INT_PTR OnFire();

  // Starts one of the operations on the worker.
  void Run(void (*work)(AltimeterDevice&, ControlDialogHost&));

  DialogWorkerHost<ControlDialogHost> host_;  // the dialog as its workers see it

  static const MessageEntry<CControlOptionsWindow> kMessages[];
  static const CommandEntry<CControlOptionsWindow> kCommands[];
};

}  // namespace tev
