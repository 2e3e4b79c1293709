#pragma once
// The download's live trace in the main window, painted on a thread of its own at most ten times a
// second: a frame costs some milliseconds under Wine, several times the 1 ms between two reports,
// and the download must never wait for one. A frame that finds the drawing buffer busy (being
// re-created after a resize) is skipped, not awaited.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "model/LiveTrace.h"
#include "plot/PlotScale.h"

namespace tev {

class LiveTraceView {
 public:
  static constexpr std::chrono::milliseconds kFrameInterval{100};

  // The scale the painter sets the live ranges in (the device's; nothing else paints meanwhile).
  explicit LiveTraceView(PlotScale& scale) : scale_(scale) {}
  ~LiveTraceView() { Stop(); }
  LiveTraceView(const LiveTraceView&) = delete;
  LiveTraceView& operator=(const LiveTraceView&) = delete;

  // Before a download and after it, on the worker.
  void Start();
  void Stop();
  // The trace as it stands; copied for the painter when a frame is due, otherwise let go. Never
  // waits for painting.
  void Offer(const LiveTrace& trace);

 private:
  void Paint();

  PlotScale& scale_;
  std::chrono::steady_clock::time_point lastFrame_{};  // the worker's own
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<LiveTrace> pending_;  // guarded by mutex_
  bool stopping_ = false;             // guarded by mutex_
  std::thread painter_;
};

}  // namespace tev
