#include "ui/dialogs/CaptureWindow.h"

#include <windows.h>
#include <commctrl.h>

#include "model/DebugLog.h"
#include "plot/win32/DrawingBuffer.h"
#include "resources/ResourceIds.h"
#include "ui/framework/ShowMessage.h"
#include "ui/logic/CaptureControls.h"

namespace tev {

namespace {
constexpr BYTE kSeeThroughAlpha = 64;  // the live trace in the main window shows through

// Straight into the main window, which is not invalidated; a frame that finds the drawing buffer
// busy (being re-created after a resize) is skipped, not awaited.
void PaintLiveFrame(const LiveTrace& trace, PlotScale& scale) {
  RECT client = {};
  ::GetClientRect(win32::TheDrawingBuffer().Window(), &client);
  win32::TryShowLiveTrace(trace, scale, client.right, client.bottom);
}

}  // namespace

// What the workers ask of the dialog beyond every worker's own, on the worker thread.
class CCaptureWindow::Host : public DialogWorkerHost<CaptureDialogHost> {
 public:
  explicit Host(CCaptureWindow& dialog) : DialogWorkerHost(dialog), dialog_(dialog) {}
  void ShowStrip() override {
    dialog_.DrawSetStrip();
    dialog_.InvalidateStrip();
  }
  bool Closing() const override { return dialog_.closing; }

 private:
  CCaptureWindow& dialog_;
};

const MessageEntry<CCaptureWindow> CCaptureWindow::kMessages[] = {
    {WM_INITDIALOG, &CCaptureWindow::OnInitDialog},
    {WM_KEYDOWN, &CCaptureWindow::OnKeyDown},
    {WM_COMMAND, &CCaptureWindow::OnCommand},
};

const CommandEntry<CCaptureWindow> CCaptureWindow::kCommands[] = {
    {IDC_CAPTURE_SAVE_SELECTED, &CCaptureWindow::OnSaveSelected},
    {IDC_CAPTURE_SELECT_CLOSE, &CCaptureWindow::OnSelectAndClose},
    {IDC_CAPTURE_READ, &CCaptureWindow::OnReadData},
    {IDC_CAPTURE_SAVE_ALL, &CCaptureWindow::OnSaveAll},
    {IDC_CAPTURE_CLEAR, &CCaptureWindow::OnClearDevice},
};

CCaptureWindow::CCaptureWindow(AltimeterDevice& altimeter)
    : CDeviceWindow(IDD_CAPTURE, altimeter, IDC_CAPTURE_ICON),
      selectedSet_(PickOnOpening(altimeter.currentSet)),
      host_(std::make_unique<Host>(*this)),
      work_(altimeter, *host_,
            [&scale = altimeter.plotScale](const LiveTrace& trace) { PaintLiveFrame(trace, scale); }) {}

CCaptureWindow::~CCaptureWindow() { device.CloseHandles(); }

int CCaptureWindow::SelectedSet() const {
  std::lock_guard lock(device.packetsMutex);
  return selectedSet_;
}

MessageResult CCaptureWindow::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DispatchMessageTable<CCaptureWindow>(*this, kMessages, message, wParam, lParam);
}

MessageResult CCaptureWindow::OnInitDialog(WPARAM, LPARAM) {
  EnableItem(IDC_CAPTURE_SAVE_SELECTED, false);
  CreateLayout();
  Anchor(IDC_STATUS, true, true, true, true);
  Anchor(IDC_CAPTURE_SAVE_ALL, false, false, true, true);
  Anchor(IDC_CAPTURE_SELECT_CLOSE, false, false, true, true);
  Anchor(IDC_CAPTURE_READ, false, false, true, true);
  Anchor(IDC_CAPTURE_CSV, false, true, true, false);
  Anchor(IDC_CAPTURE_LIVE_UPDATE, false, true, true, false);
  Anchor(IDC_CAPTURE_SAVE_SELECTED, true, true, false, false);
  Anchor(IDC_CAPTURE_CLEAR, true, false, false, true);
  Anchor(IDC_CAPTURE_STRIP, true, true, false, true);
  AnchorGroupFrame(IDC_CAPTURE_DEVICE_GROUP, true, true, false, true);
  AnchorGroupFrame(IDC_CAPTURE_STATUS_GROUP, true, true, true, true);
  EnableItem(IDC_CAPTURE_SAVE_SELECTED, false);
  EnableItem(IDC_CAPTURE_SAVE_ALL, false);
  ::SetWindowSubclass(Item(IDC_CAPTURE_STRIP), &CCaptureWindow::StripProc, 0, 0);
  DrawSetStrip();
  StartDeviceUse();
  return TRUE;
}

MessageResult CCaptureWindow::OnKeyDown(WPARAM wParam, LPARAM) {
  if (wParam == VK_ESCAPE) ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

MessageResult CCaptureWindow::OnCommand(WPARAM wParam, LPARAM) {
  // Any other command, the cancel that the dialog manager makes of Escape among them, is ignored.
  return DispatchCommandTable<CCaptureWindow>(*this, kCommands, wParam).value_or(TRUE);
}

void CCaptureWindow::EnableControls(bool busy) {
  CaptureState state;
  state.connected = device.IsOpen();
  state.busy = busy;
  {
    std::lock_guard lock(device.packetsMutex);
    state.hasPackets = !device.packets.empty();
    state.setCount = CountSets(device.packets);
    state.selectedSet = selectedSet_;
  }
  const CaptureControls c = CaptureControlsFor(state);
  EnableItem(IDC_CAPTURE_READ, c.readData);
  EnableItem(IDC_CAPTURE_CLEAR, c.clearDevice);
  EnableItem(IDC_CAPTURE_LIVE_UPDATE, c.liveUpdate);
  EnableItem(IDC_CAPTURE_SELECT_CLOSE, c.selectAndClose);
  EnableItem(IDC_CAPTURE_SAVE_SELECTED, c.saveSelected);
  EnableItem(IDC_CAPTURE_SAVE_ALL, c.saveAll);
  if (c.endSeeThrough) EndSeeThrough();
}

void CCaptureWindow::EndSeeThrough() const {
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  if (style & WS_EX_LAYERED) ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
  ::UpdateWindow(hwnd);
}

INT_PTR CCaptureWindow::OnReadData() {
  if (WorkerRunning() || closing) return TRUE;  // a click queued before the buttons went
  const bool liveUpdate = IsChecked(IDC_CAPTURE_LIVE_UPDATE);
  if (liveUpdate) {
    // See-through, so that the live trace drawn into the main window behind can be watched.
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(hwnd, 0, kSeeThroughAlpha, LWA_ALPHA);
    ::UpdateWindow(hwnd);
  }
  // Nothing to hold here: the read's first step holds every control.
  RunOperation({}, [this, liveUpdate] { work_.Read(liveUpdate); });
  return TRUE;
}

INT_PTR CCaptureWindow::OnClearDevice() {
  if (WorkerRunning() || closing) return TRUE;
  if (ShowMessage(hwnd, IDS_ARE_YOU_SURE, MB_YESNO | MB_ICONEXCLAMATION) == IDNO) return TRUE;
  RunOperation({IDC_CAPTURE_READ, IDC_CAPTURE_CLEAR, IDC_CAPTURE_SAVE_SELECTED, IDC_CAPTURE_SAVE_ALL},
               [this] { work_.Clear(); });
  return TRUE;
}

INT_PTR CCaptureWindow::OnSelectAndClose() {
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

void CCaptureWindow::PrepareClose() {
  wasRunning_ = WorkerRunning();
  device.cancelRequested = true;
  DebugLog("Canceled IO.");
}

void CCaptureWindow::FinishClose() {
  // A download stopped by this close leaves nothing part-read behind to be handed back.
  if (wasRunning_ || work_.DiscardOnClose()) {
    ClearDataSet(device.currentSet);
    work_.ClearPackets();
  }
}

}  // namespace tev
