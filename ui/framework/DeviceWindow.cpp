#include "ui/framework/DeviceWindow.h"

#include <dbt.h>

#include <algorithm>
#include <utility>

#include "device/win32/DeviceChange.h"
#include "model/DebugLog.h"
#include "plot/win32/DrawingBuffer.h"
#include "resources/ResourceIds.h"
#include "ui/framework/ConnectionIcon.h"
#include "ui/framework/DeviceNotifications.h"
#include "ui/framework/DialogMessages.h"
#include "ui/logic/ConnectSequence.h"

namespace tev {

namespace {
constexpr wchar_t kOperationNotStarted[] = L"The operation did not start: no worker thread could be made.\r\n";
}  // namespace

CDeviceWindow::CDeviceWindow(int id, AltimeterDevice& altimeter, int iconControlId)
    : CBaseWindow(id), device(altimeter), iconControlId_(iconControlId) {}

void CDeviceWindow::StartDeviceUse() {
  RequestDeviceNotifications(hwnd);
  RunConnectSequence();
  RefreshControls(false);
}

void CDeviceWindow::RunConnectSequence() {
  ConnectSequence(device, [this](const std::wstring& text) { AppendStatus(text); });
}

bool CDeviceWindow::RunOperation(std::initializer_list<int> hold, std::function<void()> work) {
  if (WorkerRunning() || closing) return false;  // a click queued before the controls went
  for (int id : hold) EnableItem(id, false);
  if (workerThread.Start(hwnd, std::move(work))) return true;
  AppendStatus(kOperationNotStarted);
  RefreshControls(false);
  return false;
}

void CDeviceWindow::RefreshControls(bool busy) {
  if (closing) return;
  PostConnectionIcon();
  EnableControls(busy);
}

void CDeviceWindow::OnWorkerRefresh(bool busy) {
  if (busy) {
    RefreshControls(true);
  } else {
    // Set on the dialog thread once the worker has ended, for the device as it is then.
    refreshWhenEnded_ = true;
  }
}

void CDeviceWindow::RenderPlot() { win32::RenderPlot(device.currentSet, device.plotScale); }

void CDeviceWindow::EnableItem(int controlId, bool enabled) {
  {
    std::lock_guard lock(heldMutex_);
    std::erase(heldItems_, controlId);
    if (enabled && WorkerRunning()) {
      heldItems_.push_back(controlId);
      return;
    }
  }
  CBaseWindow::EnableItem(controlId, enabled);
}

void CDeviceWindow::ReleaseHeldItems() {
  std::vector<int> held;
  {
    std::lock_guard lock(heldMutex_);
    held.swap(heldItems_);
  }
  if (closing) return;
  for (int id : held) CBaseWindow::EnableItem(id, true);
}

void CDeviceWindow::PostConnectionIcon() const {
  tev::PostConnectionIcon(hwnd, iconControlId_, device.IsOpen(), Dpi());
}

void CDeviceWindow::RemeasureForDpi() { PostConnectionIcon(); }

MessageResult CDeviceWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const MessageResult own = HandleDialogMessage(message, wParam, lParam)) return own;
  switch (message) {
    case WM_DEVICECHANGE:
      return OnDeviceChange(wParam, lParam);
    case WM_WORKER_ENDED:
      return OnWorkerEnded();
    case WM_CLOSE:
      return RunCloseProtocol();
    default:
      return std::nullopt;
  }
}

INT_PTR CDeviceWindow::OnDeviceChange(WPARAM event, LPARAM record) {
  DebugLog("Device Change.");
  const bool busy = WorkerRunning();
  if (busy) changedUnderWorker_ = true;
  if (event == DBT_DEVICEARRIVAL) {
    if (arrivals_.OnArrival(busy)) {
      RunConnectSequence();
      RefreshControls(false);
    } else {
      DebugLog("Device arrival put off until the worker has ended.");
      RefreshControls(true);
    }
  } else if (event == DBT_DEVICEREMOVECOMPLETE &&
             device.IsSameDevice(win32::ToDeviceBroadcast(reinterpret_cast<const DEV_BROADCAST_HDR*>(record)))) {
    AppendStatus(L"Device disconnected.\r\n");
    // At once, even under a running worker: its transfer then fails and it reports so.
    device.CloseHandles();
    RefreshControls(busy);
  } else {
    RefreshControls(busy);
  }
  return TRUE;
}

INT_PTR CDeviceWindow::OnWorkerEnded() {
  ReleaseHeldItems();
  const bool changed = std::exchange(changedUnderWorker_, false);
  const bool asked = refreshWhenEnded_.exchange(false);
  if (arrivals_.OnWorkerEnded(closing)) {
    RunConnectSequence();
    RefreshControls(false);
  } else if (changed || asked) {
    RefreshControls(false);
  }
  return TRUE;
}

INT_PTR CDeviceWindow::RunCloseProtocol() {
  closing = true;
  PrepareClose();
  DebugLog("Waiting for thread to close...");
  if (workerThread.Wait(100) == WAIT_TIMEOUT) {
    DebugLog("reposting close message...");
    ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
  }
  DebugLog("Thread has exited.");
  FinishClose();
  ::EndDialog(hwnd, 0);
  return TRUE;
}

}  // namespace tev
