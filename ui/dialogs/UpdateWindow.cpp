#include "ui/dialogs/UpdateWindow.h"

#include "model/DebugLog.h"
#include "resources/ResourceIds.h"
#include "ui/framework/FileDialog.h"
#include "ui/framework/ShowMessage.h"
#include "ui/logic/BootloaderConnectSequence.h"
#include "ui/logic/FirmwareUpdateRun.h"
#include "ui/logic/UpdateProgress.h"

namespace tev {

// What the worker asks of the dialog beyond every worker's own, on the worker thread.
class CUpdateWindow::Host : public DialogWorkerHost<UpdateDialogHost> {
 public:
  explicit Host(CUpdateWindow& dialog) : DialogWorkerHost(dialog) {}
  void OnBlockProgress(int blockIndex, int highestBlockIndex) override {
    if (const auto line = ProgressLine(blockIndex, highestBlockIndex)) AppendStatus(*line);
  }
};

const MessageEntry<CUpdateWindow> CUpdateWindow::kMessages[] = {
    {WM_INITDIALOG, &CUpdateWindow::OnInitDialog},
    {WM_COMMAND, &CUpdateWindow::OnCommand},
    {WM_KEYDOWN, &CUpdateWindow::OnKeyDown},
    {WM_CLOSE, &CUpdateWindow::OnClose},
};

const CommandEntry<CUpdateWindow> CUpdateWindow::kCommands[] = {
    {IDC_FIRMWARE_UPDATE, &CUpdateWindow::OnUpdate},
    {IDC_FIRMWARE_CLOSE, &CUpdateWindow::OnCloseButton},
};

CUpdateWindow::CUpdateWindow(AltimeterDevice& altimeter)
    : CDeviceWindow(IDD_FIRMWARE, altimeter, IDC_FIRMWARE_ICON), host_(std::make_unique<Host>(*this)) {}

// The dialog has ended, so no worker uses the handles any more.
CUpdateWindow::~CUpdateWindow() { device.CloseHandles(); }

MessageResult CUpdateWindow::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DispatchMessageTable<CUpdateWindow>(*this, kMessages, message, wParam, lParam);
}

MessageResult CUpdateWindow::OnInitDialog(WPARAM, LPARAM) {
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

void CUpdateWindow::EnableControls(bool busy) {
  if (busy) return;  // the worker decides while it runs
  EnableItem(IDC_FIRMWARE_UPDATE, device.IsOpen());
  EnableItem(IDC_FIRMWARE_CLOSE, true);
}

MessageResult CUpdateWindow::OnCommand(WPARAM wParam, LPARAM) {
  // Only the two buttons: the cancel command the dialog manager makes of Escape is not one.
  return DispatchCommandTable<CUpdateWindow>(*this, kCommands, wParam).value_or(TRUE);
}

INT_PTR CUpdateWindow::OnCloseButton() {
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

MessageResult CUpdateWindow::OnKeyDown(WPARAM wParam, LPARAM) {
  if (wParam != VK_ESCAPE) return std::nullopt;
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

INT_PTR CUpdateWindow::OnUpdate() {
  // A click that reached us before the worker re-enabled nothing: one update at a time.
  if (WorkerRunning()) return TRUE;
  FileQuestion question;
  question.kind = FileQuestion::Kind::Open;
  question.title = L"Load Firmware file";
  question.filter = L"Altitude Data\0*.dat\0";
  question.defaultExtension = L"dat";
  const std::optional<std::wstring> path = AskForFile(hwnd, question);
  if (!path) return TRUE;
  firmwarePath_ = *path;
  RunOperation({IDC_FIRMWARE_UPDATE, IDC_FIRMWARE_CLOSE},
               [this, file = firmwarePath_] { RunFirmwareUpdate(device, file, *host_); });
  return TRUE;
}

MessageResult CUpdateWindow::OnClose(WPARAM, LPARAM) {
  if (WorkerRunning()) {
    ShowMessage(hwnd, IDS_FIRMWARE_DELICATE, MB_ICONWARNING);
    return TRUE;
  }
  device.cancelRequested = true;
  DebugLog("Canceled IO.");
  return RunCloseProtocol();
}

}  // namespace tev
