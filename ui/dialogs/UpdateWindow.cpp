#include "ui/dialogs/UpdateWindow.h"

#include "model/DebugLog.h"
#include "plot/win32/DrawingBuffer.h"
#include "resources/ResourceIds.h"
#include "ui/dialogs/FirmwareFileDialog.h"
#include "ui/framework/DialogMessages.h"
#include "ui/framework/ShowMessage.h"
#include "ui/logic/BootloaderConnectSequence.h"
#include "ui/logic/FirmwareUpdateRun.h"
#include "ui/logic/UpdateProgress.h"

namespace tev {

// What the worker asks of the dialog, on the worker thread.
class CUpdateWindow::Host : public UpdateDialogHost {
 public:
  explicit Host(CUpdateWindow& dialog) : dialog_(dialog) {}
  void AppendStatus(const std::wstring& text) override { dialog_.AppendStatus(text); }
  void RefreshControls(bool busy) override { dialog_.RefreshControls(busy); }
  void RenderPlot() override { win32::RenderPlot(dialog_.device.currentSet, dialog_.device.plotScale); }
  void OnBlockProgress(int blockIndex, int highestBlockIndex) override {
    if (const auto line = ProgressLine(blockIndex, highestBlockIndex)) AppendStatus(*line);
  }

 private:
  CUpdateWindow& dialog_;
};

const MessageEntry<CUpdateWindow> CUpdateWindow::kMessages[] = {
    {WM_INITDIALOG, &CUpdateWindow::OnInitDialog},
    {WM_COMMAND, &CUpdateWindow::OnCommand},
    {WM_KEYDOWN, &CUpdateWindow::OnKeyDown},
    {WM_CLOSE, &CUpdateWindow::OnClose},
    {WM_WORKER_ENDED, &CUpdateWindow::OnWorkerEnded},
};

const CommandEntry<CUpdateWindow> CUpdateWindow::kCommands[] = {
    {IDC_FIRMWARE_UPDATE, &CUpdateWindow::OnUpdate},
    {IDC_FIRMWARE_CLOSE, &CUpdateWindow::OnCloseButton},
};

CUpdateWindow::CUpdateWindow(AltimeterDevice& altimeter) : CDeviceWindow(IDD_FIRMWARE, altimeter, IDC_FIRMWARE_ICON) {}

// The dialog has ended, so no worker uses the handles any more.
CUpdateWindow::~CUpdateWindow() { device.CloseHandles(); }

DialogResult CUpdateWindow::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DispatchMessageTable<CUpdateWindow>(*this, kMessages, message, wParam, lParam);
}

DialogResult CUpdateWindow::OnInitDialog(WPARAM, LPARAM) {
  CreateLayout();
  Anchor(IDC_STATUS, true, true, true, true);
  Anchor(IDC_FIRMWARE_CLOSE, false, false, true, true);
  Anchor(IDC_FIRMWARE_UPDATE, false, false, true, true);
  Anchor(IDC_FIRMWARE_ICON, true, true, false, false);
  AnchorGroupFrame(IDC_FIRMWARE_STATUS_GROUP, true, true, true, true);
  StartDeviceUse();
  return TRUE;
}

void CUpdateWindow::RunConnectSequence() {
  BootloaderConnectSequence(device, [this](const std::wstring& text) { AppendStatus(text); });
}

void CUpdateWindow::RefreshControls(bool busy) {
  PostConnectionIcon();
  if (busy) return;  // the worker decides while it runs
  EnableItem(IDC_FIRMWARE_UPDATE, device.IsOpen());
  EnableItem(IDC_FIRMWARE_CLOSE, true);
}

DialogResult CUpdateWindow::OnCommand(WPARAM wParam, LPARAM) {
  // Only the two buttons: the cancel command the dialog manager makes of Escape is not one.
  return DispatchCommandTable<CUpdateWindow>(*this, kCommands, wParam).value_or(TRUE);
}

INT_PTR CUpdateWindow::OnCloseButton() {
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

DialogResult CUpdateWindow::OnKeyDown(WPARAM wParam, LPARAM) {
  if (wParam != VK_ESCAPE) return std::nullopt;
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

INT_PTR CUpdateWindow::OnUpdate() {
  // A click that reached us before the worker re-enabled nothing: one update at a time.
  if (WorkerRunning()) return TRUE;
  const std::optional<std::wstring> path = AskFirmwareFile(hwnd);
  if (!path) return TRUE;
  firmwarePath_ = *path;
  EnableItem(IDC_FIRMWARE_UPDATE, false);
  EnableItem(IDC_FIRMWARE_CLOSE, false);
  const auto work = [this, file = firmwarePath_] {
    Host host(*this);
    RunFirmwareUpdate(device, file, host);
  };
  if (!StartWorker(work)) WorkerNotStarted();
  return TRUE;
}

// The altimeter pulled out during the update is often noticed only after the worker has set the
// buttons for an open device, and while it still runs the removal leaves them alone: set them for
// the device as it is now. The framework's own handling follows.
DialogResult CUpdateWindow::OnWorkerEnded(WPARAM, LPARAM) {
  RefreshControls(false);
  return std::nullopt;
}

DialogResult CUpdateWindow::OnClose(WPARAM, LPARAM) {
  if (WorkerRunning()) {
    ShowMessage(hwnd, IDS_FIRMWARE_DELICATE, MB_ICONWARNING);
    return TRUE;
  }
  device.cancelRequested = true;
  DebugLog("Canceled IO.");
  return RunCloseProtocol();
}

}  // namespace tev
