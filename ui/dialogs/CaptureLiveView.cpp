#include "ui/dialogs/CaptureLiveView.h"

#include <windows.h>

#include "plot/win32/DrawingBuffer.h"

namespace tev {

void LiveTraceView::Start() {
  Stop();
  {
    std::lock_guard lock(mutex_);
    stopping_ = false;
    pending_.reset();
  }
  lastFrame_ = {};
  painter_ = std::thread([this] { Paint(); });
}

void LiveTraceView::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (painter_.joinable()) painter_.join();
}

void LiveTraceView::Offer(const LiveTrace& trace) {
  const auto now = std::chrono::steady_clock::now();
  if (now - lastFrame_ < kFrameInterval) return;
  lastFrame_ = now;
  {
    std::lock_guard lock(mutex_);
    pending_ = trace;
  }
  wake_.notify_one();
}

void LiveTraceView::Paint() {
  for (;;) {
    LiveTrace trace;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || pending_.has_value(); });
      if (stopping_) return;
      trace = std::move(*pending_);
      pending_.reset();
    }
    RECT client = {};
    ::GetClientRect(win32::TheDrawingBuffer().Window(), &client);
    // Straight into the main window, which is not invalidated.
    win32::TryShowLiveTrace(trace, scale_, client.right, client.bottom);
  }
}

}  // namespace tev
