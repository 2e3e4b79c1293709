#include "ui/dialogs/ControlOptionsWindow.h"

#include "resources/ResourceIds.h"
#include "ui/framework/ShowMessage.h"

namespace tev {
namespace {

constexpr int kOperations[] = {IDC_CONTROL_EMULATE, IDC_CONTROL_READ_PRESSURE, IDC_CONTROL_READ_BATTERY,
                               IDC_CONTROL_FIRE};

}  // namespace

const MessageEntry<CControlOptionsWindow> CControlOptionsWindow::kMessages[] = {
    {WM_INITDIALOG, &CControlOptionsWindow::OnInitDialog},
    {WM_COMMAND, &CControlOptionsWindow::OnCommand},
    {WM_DEVICECHANGE, &CControlOptionsWindow::OnDeviceChange},
};

const CommandEntry<CControlOptionsWindow> CControlOptionsWindow::kCommands[] = {
    {IDC_CONTROL_CLOSE, &CControlOptionsWindow::OnClose},
    {IDC_CONTROL_EMULATE, &CControlOptionsWindow::OnEmulate},
    {IDC_CONTROL_READ_PRESSURE, &CControlOptionsWindow::OnReadPressure},
    {IDC_CONTROL_READ_BATTERY, &CControlOptionsWindow::OnReadBattery},
    {IDC_CONTROL_FIRE, &CControlOptionsWindow::OnFire},
};

CControlOptionsWindow::CControlOptionsWindow(AltimeterDevice& altimeter)
    : CDeviceWindow(IDD_CONTROL, altimeter, IDC_CONTROL_ICON), host_(*this) {}

MessageResult CControlOptionsWindow::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DispatchMessageTable<CControlOptionsWindow>(*this, kMessages, message, wParam, lParam);
}

MessageResult CControlOptionsWindow::OnInitDialog(WPARAM, LPARAM) {
  CreateLayout();
  AnchorGroupFrame(IDC_CONTROL_OPTIONS_GROUP, true, true, false, true);
  AnchorGroupFrame(IDC_CONTROL_STATUS_GROUP, true, true, true, true);
  for (int id : kOperations) Anchor(id, true, true, false, false);
  Anchor(IDC_STATUS, true, true, true, true);
  Anchor(IDC_CONTROL_CLOSE, false, false, true, true);
  StartDeviceUse();
  return TRUE;
}

MessageResult CControlOptionsWindow::OnCommand(WPARAM wParam, LPARAM) {
  DispatchCommandTable<CControlOptionsWindow>(*this, kCommands, wParam);
  return TRUE;
}

// While closing, arrivals and removals are no longer this dialog's business.
MessageResult CControlOptionsWindow::OnDeviceChange(WPARAM, LPARAM) {
  if (closing) return TRUE;
  return std::nullopt;
}

void CControlOptionsWindow::RunConnectSequence() {
  if (!closing) CDeviceWindow::RunConnectSequence();
}

void CControlOptionsWindow::PrepareClose() {
  // A running emulation stops at the device's next request; the other operations run to their end.
  device.cancelRequested = true;
}

INT_PTR CControlOptionsWindow::OnClose() {
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

void CControlOptionsWindow::Run(void (*work)(AltimeterDevice&, ControlDialogHost&)) {
  // Nothing to hold here: each operation's first step holds the buttons.
  RunOperation({}, [this, work] { work(device, host_); });
}

INT_PTR CControlOptionsWindow::OnEmulate() {
  if (WorkerRunning() || closing) return TRUE;
  ShowMessage(hwnd, IDS_CONNECT_BATTERY, MB_ICONINFORMATION);  // its answer does not matter
  // Refused when the dialog began to close while the message was up.
  RunOperation({}, [this] { EmulateWork(device, host_, *this); });
  return TRUE;
}

INT_PTR CControlOptionsWindow::OnReadPressure() {
  Run(ReadPressureWork);
  return TRUE;
}

INT_PTR CControlOptionsWindow::OnReadBattery() {
  Run(ReadBatteryWork);
  return TRUE;
}

INT_PTR CControlOptionsWindow::OnFire() {
  Run(FireLinesWork);
  return TRUE;
}

void CControlOptionsWindow::OnEmulationEvent(int code, int sampleIndex) {
  if (const auto line = EmulationEventLine(code, sampleIndex)) AppendStatus(*line);
}

void CControlOptionsWindow::EnableControls(bool busy) {
  const ControlButtons enabled = ControlButtonsEnabled(device.IsOpen(), busy, !device.currentSet.adc.empty());
  EnableItem(IDC_CONTROL_EMULATE, enabled.emulate);
  for (int id : {IDC_CONTROL_READ_PRESSURE, IDC_CONTROL_READ_BATTERY, IDC_CONTROL_FIRE}) {
    EnableItem(id, enabled.operations);
  }
}

}  // namespace tev
