// The Capture Data dialog's workers: the download with its progress, and the clearing of the
// device memory. Both run on the worker thread.
#include <string>

#include "model/DebugLog.h"
#include "plot/win32/DrawingBuffer.h"
#include "resources/ResourceIds.h"
#include "ui/dialogs/CaptureWindow.h"
#include "ui/logic/CaptureText.h"

namespace tev {

void CCaptureWindow::ReadWorker() {
  RefreshControls(true);
  ClearPackets();
  DrawSetStrip();
  InvalidateStrip();
  AppendStatus(kAttemptingToConnect);
  // No connect here: the connection comes from the dialog's connect sequence.
  if (!device.IsOpen()) {
    AppendStatus(kAltimeterNotFound);
    FinishWork();
    return;
  }
  AppendStatus(kReadingSettings);
  // The settings image travels with every saved flight.
  if (device.ReadSettings() < 0) {
    AppendStatus(kSettingsReadFailed);
    FinishWork();
    return;
  }
  AppendStatus(kSettingsRead);
  AppendStatus(kReadingData);
  nextSetBegun_ = false;
  if (liveUpdate_) liveView_.Start();
  const int result = closing ? kCancelled : device.DownloadPackets(*this);
  // A download given up by a close leaves nothing more to show; any other end shows the last frame.
  if (closing) {
    liveView_.Stop();
  } else {
    liveView_.Finish(device.liveSet);
  }
  DebugLog("Canceling IO");
  EndDownload(result);
}

void CCaptureWindow::EndDownload(int result) {
  switch (DownloadEndOf(result, device.cancelRequested)) {
    case DownloadEnd::Cancelled:
      ClearPackets();
      ResetLiveTrace(device.liveSet);
      discardOnClose_ = true;  // the set on display goes on the dialog thread, which paints it
      AppendStatus(kDataReadFailed);
      return;
    case DownloadEnd::Failed: {
      AppendStatus(kDataReadFailed);
      std::optional<std::wstring> incomplete;
      {
        std::lock_guard lock(device.packetsMutex);
        incompleteSet_ = IncompleteSet(device.packets, nextSetBegun_).value_or(-1);
        incomplete = IncompleteSetLine(device.packets, nextSetBegun_);
      }
      if (incomplete) AppendStatus(*incomplete);
      // The sets read whole stay and can be saved.
      FinishWork();
      return;
    }
    case DownloadEnd::Complete:
      break;
  }
  std::size_t count = 0;
  {
    std::lock_guard lock(device.packetsMutex);
    count = device.packets.size();
  }
  DebugLog("Packets read: " + std::to_string(count));
  AppendStatus(kDataRead);
  ::Sleep(100);
  AppendStatus(PacketsReadLine(count));
  if (count == 0) {
    // Nothing came: the live picture gives way to the flight on display.
    ResetLiveTrace(device.liveSet);
    win32::RenderPlot(device.currentSet, device.plotScale);
  }
  FinishWork();
}


void CCaptureWindow::OnPacketProgress(int packetIndex, bool live, bool newFlight) {
  // A close that came before the download had begun was forgotten when it began: asked again.
  if (closing) device.cancelRequested = true;
  if (newFlight) {
    nextSetBegun_ = true;
    ResetLiveTrace(device.liveSet);
    return;
  }
  if (!live) {
    nextSetBegun_ = false;
    AppendStatus(PacketReadLine(packetIndex));
    DrawSetStrip();
    InvalidateStrip();
    DebugLog("Read Packet @ Address: " + std::to_string(packetIndex));
    return;
  }
  if (liveUpdate_) liveView_.Offer(device.liveSet);
}

void CCaptureWindow::ClearWorker() {
  if (!device.IsOpen()) {
    FinishWork();
    AppendStatus(kAltimeterNotFound);
    return;
  }
  if (device.ClearData() < 0) {
    FinishWork();
    AppendStatus(kClearFailed);
    return;
  }
  ClearPackets();
  DrawSetStrip();
  InvalidateStrip();
  AppendStatus(kCleared);
  FinishWork();
}

}  // namespace tev
