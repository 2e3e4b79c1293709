#pragma once
// The download's live trace, painted on a thread of its own at most ten times a second: a frame
// costs some milliseconds under Wine, several times the 1 ms between two reports, and the download
// must never wait for one. The trace as it stands when the download ends is painted too, so that
// the picture never lacks the flight's last moments.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "model/LiveTrace.h"

namespace tev {

class LiveTraceView {
 public:
  static constexpr std::chrono::milliseconds kFrameInterval{100};
  // Paints one frame, on the painter's thread.
  using PaintFrame = std::function<void(const LiveTrace&)>;

  explicit LiveTraceView(PaintFrame paint) : paint_(std::move(paint)) {}
  ~LiveTraceView() { Stop(); }
  LiveTraceView(const LiveTraceView&) = delete;
  LiveTraceView& operator=(const LiveTraceView&) = delete;

  // Before a download, on the worker.
  void Start();
  // The trace as it stands; copied for the painter when a frame is due, otherwise let go. Never
  // waits for painting.
  void Offer(const LiveTrace& trace);
  // The download has ended: `last` is painted unless the latest frame painted or pending is it,
  // then the painter stops. Nothing is painted when the view was not started.
  void Finish(const LiveTrace& last);
  // The download was given up: the painter stops and a frame still pending is dropped.
  void Stop();

 private:
  void Paint();
  void StopPainter();

  PaintFrame paint_;
  std::chrono::steady_clock::time_point lastFrame_{};  // the worker's own
  bool letGo_ = false;  // the worker's own: a trace offered since the last frame handed over
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<LiveTrace> pending_;  // guarded by mutex_
  bool stopping_ = false;             // guarded by mutex_
  std::thread painter_;
};

}  // namespace tev
