#pragma once
// The Capture Data dialog's two workers: the download with its progress and live trace, and the
// clearing of the device memory. Both run on the dialog's worker thread.
#include <atomic>

#include "device/AltimeterDevice.h"
#include "device/Download.h"
#include "ui/logic/LiveTraceView.h"
#include "ui/logic/WorkerHost.h"

namespace tev {

// What the Capture Data workers ask of the dialog beyond every worker's own.
class CaptureDialogHost : public WorkerHost {
 public:
  // Redraws the set strip from the device's packets and has it painted.
  virtual void ShowStrip() = 0;
  // The dialog has begun to close: a download not yet begun is not begun.
  virtual bool Closing() const = 0;
};

class CaptureWork : public DownloadObserver {
 public:
  // `paint` paints a frame of the live trace, on a thread of its own.
  CaptureWork(AltimeterDevice& device, CaptureDialogHost& host, LiveTraceView::PaintFrame paint);

  // The workers. `liveUpdate`: the live trace is painted as the download goes.
  void Read(bool liveUpdate);
  void Clear();

  // Told by the download, on the read worker.
  void OnPacketProgress(int packetIndex, bool live, bool newFlight) override;

  // Empties the packet list.
  void ClearPackets();
  // The set a failed download may have cut off, -1 for none; the caller holds device.packetsMutex.
  int IncompleteSet() const { return incompleteSet_; }
  // A cancelled download: its partial data go with the dialog.
  bool DiscardOnClose() const { return discardOnClose_; }

 private:
  void EndDownload(int result);

  AltimeterDevice& device_;
  CaptureDialogHost& host_;
  LiveTraceView liveView_;
  int incompleteSet_ = -1;                   // guarded by device.packetsMutex
  bool liveUpdate_ = false;                  // the read worker's: Live Update as ticked at its start
  std::atomic<bool> nextSetBegun_{false};    // read worker: the packet in progress starts a flight
  std::atomic<bool> discardOnClose_{false};
};

}  // namespace tev
