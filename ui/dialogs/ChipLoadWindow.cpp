#include "ui/dialogs/ChipLoadWindow.h"

#include <mutex>

#include "resources/ResourceIds.h"
#include "ui/framework/DialogMessages.h"
#include "ui/framework/ShowMessage.h"

namespace tev {

// What the workers ask of the dialog beyond every worker's own, on the worker thread: the window
// calls below reach the dialog's controls through messages that its own thread handles.
class CChipLoadWindow::Host : public DialogWorkerHost<SettingsDialogHost> {
 public:
  explicit Host(CChipLoadWindow& dialog) : DialogWorkerHost(dialog), dialog_(dialog) {}
  void EnableRead() override { dialog_.EnableItem(IDC_SETTINGS_READ, true); }
  void ShowSettings() override { dialog_.SettingsToControls(); }
  void Warn(unsigned stringId) override { ShowMessage(dialog_.hwnd, stringId, MB_ICONWARNING); }
  void ShowStatusNow() override { ::SendMessageW(dialog_.hwnd, WM_STATUS_REFRESH, 0, 0); }

 private:
  CChipLoadWindow& dialog_;
};

const MessageEntry<CChipLoadWindow> CChipLoadWindow::kMessages[] = {
    {WM_INITDIALOG, &CChipLoadWindow::OnInitDialog},
    {WM_COMMAND, &CChipLoadWindow::OnCommand},
};

const CommandEntry<CChipLoadWindow> CChipLoadWindow::kCommands[] = {
    {IDC_SETTINGS_CLOSE, &CChipLoadWindow::OnClose},
    {IDC_SETTINGS_READ, &CChipLoadWindow::OnRead},
    {IDC_SETTINGS_WRITE, &CChipLoadWindow::OnWrite},
    {IDC_SETTINGS_CALIBRATE, &CChipLoadWindow::OnCalibrate},
};

CChipLoadWindow::CChipLoadWindow(AltimeterDevice& altimeter)
    : CDeviceWindow(IDD_SETTINGS, altimeter, IDC_SETTINGS_ICON), host_(std::make_unique<Host>(*this)) {}

CChipLoadWindow::~CChipLoadWindow() = default;

MessageResult CChipLoadWindow::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DispatchMessageTable<CChipLoadWindow>(*this, kMessages, message, wParam, lParam);
}

MessageResult CChipLoadWindow::OnInitDialog(WPARAM, LPARAM) {
  CreateLayout();
  AnchorGroupFrame(IDC_SETTINGS_GROUP, true, true, false, true);
  AnchorGroupFrame(IDC_SETTINGS_LINE_A_GROUP, true, true, false, false);
  AnchorGroupFrame(IDC_SETTINGS_LINE_B_GROUP, true, true, false, false);
  AnchorGroupFrame(IDC_SETTINGS_GENERAL_GROUP, true, false, false, true);
  AnchorGroupFrame(IDC_SETTINGS_STATUS_GROUP, true, true, true, true);
  for (int id = IDC_SETTINGS_LINE_A_DISABLED; id <= IDC_SETTINGS_LINE_B_APOGEE; ++id) Anchor(id, true, true, false, false);
  for (int id = IDC_SETTINGS_LINE_A_TIME_EDIT; id <= IDC_SETTINGS_LINE_B_ALT_EDIT; ++id) Anchor(id, true, true, false, false);
  for (int id : {IDC_SETTINGS_INHIBIT_LABEL, IDC_SETTINGS_INHIBIT_EDIT, IDC_SETTINGS_SEPARATOR,
                 IDC_SETTINGS_GROUND_ALT_LABEL, IDC_SETTINGS_GROUND_ALT_EDIT, IDC_SETTINGS_CALIBRATE}) {
    Anchor(id, true, false, false, true);
  }
  Anchor(IDC_SETTINGS_ICON, true, true, false, false);
  Anchor(IDC_STATUS, true, true, true, true);
  for (int id : {IDC_SETTINGS_READ, IDC_SETTINGS_WRITE, IDC_SETTINGS_CLOSE}) Anchor(id, false, false, true, true);

  ::CheckDlgButton(hwnd, IDC_SETTINGS_LINE_A_DISABLED, BST_CHECKED);
  ::CheckDlgButton(hwnd, IDC_SETTINGS_LINE_B_DISABLED, BST_CHECKED);
  SettingsToControls();
  AppendStatus(L"Warning!\r\n");
  AppendStatus(L"Writing settings or calibrating will clear the current data on the device!\r\n\r\n");
  StartDeviceUse();
  return TRUE;
}

MessageResult CChipLoadWindow::OnCommand(WPARAM wParam, LPARAM) {
  if (wParam >= IDC_SETTINGS_LINE_A_DISABLED && wParam <= IDC_SETTINGS_LINE_B_APOGEE) {
    EnableLineEdits(static_cast<int>(wParam));
  } else {
    DispatchCommandTable<CChipLoadWindow>(*this, kCommands, wParam);
  }
  return TRUE;
}

INT_PTR CChipLoadWindow::OnClose() {
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

void CChipLoadWindow::ForgetFlight() {
  {
    std::lock_guard lock(device.packetsMutex);
    device.packets.clear();
  }
  ClearDataSet(device.currentSet);
}

INT_PTR CChipLoadWindow::OnRead() {
  if (WorkerRunning() || closing) return TRUE;  // one worker at a time
  ForgetFlight();
  RunOperation({IDC_SETTINGS_READ, IDC_SETTINGS_WRITE, IDC_SETTINGS_CALIBRATE},
               [this] { ReadSettingsWork(device, *host_); });
  return TRUE;
}

INT_PTR CChipLoadWindow::OnWrite() {
  if (WorkerRunning() || closing) return TRUE;
  // Refused before anything is emptied, erased or sent.
  SettingsEntries entries = ReadEntries();
  if (const auto refusal = RefuseEntries(entries)) {
    AppendStatus(*refusal);
    return TRUE;
  }
  ForgetFlight();
  RunOperation({IDC_SETTINGS_READ, IDC_SETTINGS_WRITE, IDC_SETTINGS_CALIBRATE},
               [this, entries = std::move(entries)] { WriteSettingsWork(device, *host_, entries); });
  return TRUE;
}

INT_PTR CChipLoadWindow::OnCalibrate() {
  if (WorkerRunning() || closing) return TRUE;
  const std::optional<std::uint32_t> ground = ReadGroundAltitude(ItemText(IDC_SETTINGS_GROUND_ALT_EDIT));
  if (!ground) {
    ShowMessage(hwnd, IDS_ENTER_ALTITUDE, MB_ICONERROR);
    return TRUE;
  }
  // A calibration erases the flights before it writes: entries the write would refuse are
  // refused before that.
  SettingsEntries entries = ReadEntries();
  if (const auto refusal = RefuseEntries(entries)) {
    AppendStatus(*refusal);
    return TRUE;
  }
  groundAltitude_ = *ground;
  // Nothing to hold here: the calibration's first step holds the buttons.
  RunOperation({}, [this, entries = std::move(entries)] { CalibrateWork(device, *host_, groundAltitude_, entries); });
  return TRUE;
}

void CChipLoadWindow::EnableControls(bool busy) {
  const bool enabled = SettingsButtonsEnabled(device.IsOpen(), busy);
  for (int id : {IDC_SETTINGS_READ, IDC_SETTINGS_WRITE, IDC_SETTINGS_CALIBRATE}) EnableItem(id, enabled);
}

}  // namespace tev
