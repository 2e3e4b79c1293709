#pragma once
// What the four dialogs that talk to the altimeter share: the device object, the connection icon,
// the connect sequence on opening and on every arrival, the removal of the altimeter, the one
// worker thread and the close protocol that waits for it.
//
// Threads: the worker may call AppendStatus, EnableItem and PostConnectionIcon; everything else
// here belongs to the dialog thread. A device change never disturbs a running worker: an arrival
// is put off until the worker has ended, and while it runs the controls stay as the worker wants
// them (RefreshControls is told it is busy). No control comes back while a worker runs: what is
// enabled meanwhile, by the worker as its last steps or by the dialog, is held back until the
// worker has ended, so that no button starts a second operation under the first.
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "device/AltimeterDevice.h"
#include "ui/framework/DialogWindow.h"
#include "ui/framework/WorkerThread.h"
#include "ui/logic/ArrivalGate.h"

namespace tev {

class CDeviceWindow : public CBaseWindow {
 protected:
  CDeviceWindow(int templateId, AltimeterDevice& device, int iconControlId);

  // For the dialog's WM_INITDIALOG, once its controls are laid out: device notifications, the
  // connect sequence and a first refresh of the controls.
  void StartDeviceUse();

  // The dialog's own messages; none leaves them to the device handling and the shared handling.
  virtual DialogResult HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // Enables the controls for the device's state; busy while a worker runs.
  virtual void RefreshControls(bool busy) = 0;
  // Looks for the altimeter and says what it found (the application connect sequence unless a
  // dialog needs another).
  virtual void RunConnectSequence();
  // Close protocol steps of a dialog's own: before the first wait, and once the worker has ended,
  // just before the dialog ends.
  virtual void PrepareClose() {}
  virtual void FinishClose() {}

  // Starts the worker; the caller has disabled what must not be pressed meanwhile. False when it
  // could not start: the caller undoes what it did for it and calls WorkerNotStarted.
  [[nodiscard]] bool StartWorker(std::function<void()> work);
  // The controls back, and a status line saying the operation did not start.
  void WorkerNotStarted();
  // Disables at once; enables at once unless a worker runs, else when it has ended. Any thread.
  void EnableItem(int controlId, bool enabled);
  bool WorkerRunning() const { return workerThread.Running(); }
  // The connection icon for the device's state; any thread (the icon is posted).
  void PostConnectionIcon() const;
  // WM_CLOSE: waits at most 100 ms for the worker; while it runs the close is posted again.
  INT_PTR RunCloseProtocol();
  // The connection icon at the new DPI's size.
  void RemeasureForDpi() override;

  AltimeterDevice& device;
  WorkerThread workerThread;
  std::atomic<bool> closing{false};  // set by the first WM_CLOSE; dialog thread writes, any reads

 private:
  DialogResult HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) final;
  INT_PTR OnDeviceChange(WPARAM event, LPARAM record);
  INT_PTR OnWorkerEnded();

  void ReleaseHeldItems();

  int iconControlId_;
  std::mutex heldMutex_;
  std::vector<int> heldItems_;  // enabled while the worker ran; guarded by heldMutex_
  ArrivalGate arrivals_;
  // A device came or went while the worker ran: its controls are set for the device as it is
  // once the worker has ended (the worker may have enabled them for a device now gone).
  bool changedUnderWorker_ = false;  // dialog thread only
};

}  // namespace tev
