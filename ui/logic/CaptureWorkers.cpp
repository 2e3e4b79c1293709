#include "ui/logic/CaptureWorkers.h"

#include <mutex>
#include <optional>
#include <string>

#include "model/DebugLog.h"
#include "ui/logic/CaptureText.h"

namespace tev {
namespace {
// Between the success line and the count, as the dialog has always shown them.
constexpr std::uint32_t kBeforeCountMs = 100;
}  // namespace

CaptureWork::CaptureWork(AltimeterDevice& device, CaptureDialogHost& host, LiveTraceView::PaintFrame paint)
    : device_(device), host_(host), liveView_(std::move(paint)) {}

void CaptureWork::Read(bool liveUpdate) {
  liveUpdate_ = liveUpdate;
  host_.RefreshControls(true);
  ClearPackets();
  host_.ShowStrip();
  host_.AppendStatus(kAttemptingToConnect);
  // No connect here: the connection comes from the dialog's connect sequence.
  if (!device_.IsOpen()) {
    host_.AppendStatus(kAltimeterNotFound);
    host_.RefreshControls(false);
    return;
  }
  host_.AppendStatus(kReadingSettings);
  // The settings image travels with every saved flight.
  if (device_.ReadSettings() < 0) {
    host_.AppendStatus(kSettingsReadFailed);
    host_.RefreshControls(false);
    return;
  }
  host_.AppendStatus(kSettingsRead);
  host_.AppendStatus(kReadingData);
  nextSetBegun_ = false;
  if (liveUpdate_) liveView_.Start();
  const int result = host_.Closing() ? kCancelled : device_.DownloadPackets(*this);
  // A download given up by a close leaves nothing more to show; any other end shows the last frame.
  if (host_.Closing()) {
    liveView_.Stop();
  } else {
    liveView_.Finish(device_.liveSet);
  }
  DebugLog("Canceling IO");
  EndDownload(result);
}

void CaptureWork::EndDownload(int result) {
  switch (DownloadEndOf(result, device_.cancelRequested)) {
    case DownloadEnd::Cancelled:
      ClearPackets();
      ResetLiveTrace(device_.liveSet);
      discardOnClose_ = true;  // the set on display goes on the dialog thread, which paints it
      host_.AppendStatus(kDataReadFailed);
      return;
    case DownloadEnd::Failed: {
      host_.AppendStatus(kDataReadFailed);
      std::optional<std::wstring> incomplete;
      {
        std::lock_guard lock(device_.packetsMutex);
        incompleteSet_ = tev::IncompleteSet(device_.packets, nextSetBegun_).value_or(-1);
        incomplete = IncompleteSetLine(device_.packets, nextSetBegun_);
      }
      if (incomplete) host_.AppendStatus(*incomplete);
      // The sets read whole stay and can be saved.
      host_.RefreshControls(false);
      return;
    }
    case DownloadEnd::Complete:
      break;
  }
  std::size_t count = 0;
  {
    std::lock_guard lock(device_.packetsMutex);
    count = device_.packets.size();
  }
  DebugLog("Packets read: " + std::to_string(count));
  host_.AppendStatus(kDataRead);
  device_.Bus().Sleep(kBeforeCountMs);
  host_.AppendStatus(PacketsReadLine(count));
  if (count == 0) {
    // Nothing came: the live picture gives way to the flight on display.
    ResetLiveTrace(device_.liveSet);
    host_.RenderPlot();
  }
  host_.RefreshControls(false);
}

void CaptureWork::OnPacketProgress(int packetIndex, bool live, bool newFlight) {
  // A close that came before the download had begun was forgotten when it began: asked again.
  if (host_.Closing()) device_.cancelRequested = true;
  if (newFlight) {
    nextSetBegun_ = true;
    ResetLiveTrace(device_.liveSet);
    return;
  }
  if (!live) {
    nextSetBegun_ = false;
    host_.AppendStatus(PacketReadLine(packetIndex));
    host_.ShowStrip();
    DebugLog("Read Packet @ Address: " + std::to_string(packetIndex));
    return;
  }
  if (liveUpdate_) liveView_.Offer(device_.liveSet);
}

void CaptureWork::Clear() {
  if (!device_.IsOpen()) {
    host_.RefreshControls(false);
    host_.AppendStatus(kAltimeterNotFound);
    return;
  }
  if (device_.ClearData() < 0) {
    host_.RefreshControls(false);
    host_.AppendStatus(kClearFailed);
    return;
  }
  ClearPackets();
  host_.ShowStrip();
  host_.AppendStatus(kCleared);
  host_.RefreshControls(false);
}

void CaptureWork::ClearPackets() {
  std::lock_guard lock(device_.packetsMutex);
  device_.packets.clear();
  incompleteSet_ = -1;
}

}  // namespace tev
