#include "ui/logic/LiveTraceView.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <mutex>
#include <vector>

namespace tev {
namespace {

// What the painter was given: the number of points of each frame, in order.
class PaintedFrames {
 public:
  LiveTraceView::PaintFrame Painter() {
    return [this](const LiveTrace& trace) {
      std::lock_guard lock(mutex_);
      sizes_.push_back(trace.points.size());
    };
  }
  std::vector<std::size_t> Sizes() const {
    std::lock_guard lock(mutex_);
    return sizes_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::size_t> sizes_;
};

LiveTrace TraceOf(std::size_t points) {
  LiveTrace trace;
  trace.points.assign(points, 100.0);
  return trace;
}

TEST(LiveTraceView, TheTraceAsTheDownloadEndsIsPaintedLast) {
  PaintedFrames painted;
  LiveTraceView view(painted.Painter());
  view.Start();
  // One report a moment, far faster than the frame pace: most are let go.
  LiveTrace trace;
  for (std::size_t n = 1; n <= 200; ++n) {
    trace = TraceOf(n);
    view.Offer(trace);
  }
  view.Finish(trace);
  const std::vector<std::size_t> sizes = painted.Sizes();
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.back(), 200u) << "the last offered trace was not painted";
  EXPECT_LT(sizes.size(), 200u) << "every offer painted: no frame pace";
}

TEST(LiveTraceView, ATraceAlreadyHandedOverIsNotPaintedTwice) {
  PaintedFrames painted;
  LiveTraceView view(painted.Painter());
  view.Start();
  const LiveTrace trace = TraceOf(7);
  view.Offer(trace);
  view.Finish(trace);
  EXPECT_EQ(painted.Sizes(), std::vector<std::size_t>{7});
}

TEST(LiveTraceView, NothingIsPaintedWithoutLiveUpdate) {
  PaintedFrames painted;
  {
    LiveTraceView view(painted.Painter());
    view.Finish(TraceOf(3));  // never started: the download ran without the live picture
  }
  EXPECT_TRUE(painted.Sizes().empty());
}

}  // namespace
}  // namespace tev
