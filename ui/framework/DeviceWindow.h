#pragma once
// What the four dialogs that talk to the altimeter share: the device object, the connection icon,
// the connect sequence on opening and on every arrival, the removal of the altimeter, the one
// worker and the close protocol that waits for it.
//
// A device operation has one life: RunOperation starts it (or refuses to), its worker reports
// through the dialog's host (DialogWorkerHost below), and its end (WM_WORKER_ENDED) gives the
// controls back on the dialog thread.
//
// Threads: the worker may call AppendStatus, EnableItem, RefreshControls and PostConnectionIcon;
// everything else here belongs to the dialog thread. A device change never disturbs a running
// worker: an arrival is put off until the worker has ended, and while it runs the controls stay as
// the worker wants them (they are refreshed as busy). No control comes back while a worker runs:
// what is enabled meanwhile, by the worker or by the dialog, is held back until the worker has
// ended, so that no button starts a second operation under the first.
#include <windows.h>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
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
  virtual MessageResult HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // Enables the dialog's controls for the device's state; busy while a worker runs. Reached
  // through RefreshControls only.
  virtual void EnableControls(bool busy) = 0;
  // Looks for the altimeter and says what it found (the application connect sequence unless a
  // dialog needs another).
  virtual void RunConnectSequence();
  // Close protocol steps of a dialog's own: before the first wait, and once the worker has ended,
  // just before the dialog ends.
  virtual void PrepareClose() {}
  virtual void FinishClose() {}

  // The connection icon and the controls for the device's state; nothing once the dialog has
  // begun to close. Any thread.
  void RefreshControls(bool busy);
  // One device operation on the worker. Refused (false) while a worker runs or once the dialog has
  // begun to close. Otherwise the controls in `hold` are disabled at once (those the operation's
  // own first step does not disable) and `work` runs on the worker; the controls come back once it
  // has ended. When no thread can be made, they come back at once and a status line says so.
  bool RunOperation(std::initializer_list<int> hold, std::function<void()> work);
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
  template <typename Interface>
  friend class DialogWorkerHost;

  MessageResult HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) final;
  INT_PTR OnDeviceChange(WPARAM event, LPARAM record);
  INT_PTR OnWorkerEnded();

  // A worker's word on the controls: busy holds them now; not busy gives them back once it has
  // ended. On the worker thread.
  void OnWorkerRefresh(bool busy);
  // The main window's plot drawn again from the flight on display; any thread.
  void RenderPlot();
  void ReleaseHeldItems();

  int iconControlId_;
  std::mutex heldMutex_;
  std::vector<int> heldItems_;  // enabled while the worker ran; guarded by heldMutex_
  ArrivalGate arrivals_;
  // The worker is done and asked for the controls back: they are set once it has ended.
  std::atomic<bool> refreshWhenEnded_{false};  // worker sets, dialog thread reads and clears
  // A device came or went while the worker ran: its controls are set for the device as it is
  // once the worker has ended (the worker may have enabled them for a device now gone).
  bool changedUnderWorker_ = false;  // dialog thread only
};

// What every worker asks of its dialog, answered for the dialog's host interface `Interface` (a
// WorkerHost of ui/logic): status lines, the controls and the plot. A dialog whose workers ask for
// more derives its host from this one. Called on the worker thread.
template <typename Interface>
class DialogWorkerHost : public Interface {
 public:
  explicit DialogWorkerHost(CDeviceWindow& dialog) : dialog_(dialog) {}
  void AppendStatus(const std::wstring& text) override { dialog_.AppendStatus(text); }
  void RefreshControls(bool busy) override { dialog_.OnWorkerRefresh(busy); }
  void RenderPlot() override { dialog_.RenderPlot(); }

 private:
  CDeviceWindow& dialog_;
};

}  // namespace tev
