#include "ui/logic/LiveTraceView.h"

#include <utility>

namespace tev {

void LiveTraceView::Start() {
  Stop();
  {
    std::lock_guard lock(mutex_);
    stopping_ = false;
    pending_.reset();
  }
  lastFrame_ = {};
  letGo_ = false;
  painter_ = std::thread([this] { Paint(); });
}

void LiveTraceView::Offer(const LiveTrace& trace) {
  const auto now = std::chrono::steady_clock::now();
  if (now - lastFrame_ < kFrameInterval) {
    letGo_ = true;
    return;
  }
  lastFrame_ = now;
  letGo_ = false;
  {
    std::lock_guard lock(mutex_);
    pending_ = trace;
  }
  wake_.notify_one();
}

void LiveTraceView::Finish(const LiveTrace& last) {
  if (!painter_.joinable()) return;
  if (std::exchange(letGo_, false)) {
    std::lock_guard lock(mutex_);
    pending_ = last;
  }
  StopPainter();  // the painter paints what is pending before it stops
}

void LiveTraceView::Stop() {
  {
    std::lock_guard lock(mutex_);
    pending_.reset();
  }
  StopPainter();
}

void LiveTraceView::StopPainter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (painter_.joinable()) painter_.join();
}

void LiveTraceView::Paint() {
  for (;;) {
    LiveTrace trace;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || pending_.has_value(); });
      if (!pending_) return;  // stopping, with nothing left to paint
      trace = std::move(*pending_);
      pending_.reset();
    }
    paint_(trace);
  }
}

}  // namespace tev
