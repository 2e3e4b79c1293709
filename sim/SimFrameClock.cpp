#include "sim/SimFrameClock.h"

#include <algorithm>

namespace tev {

SimFrameClock::Clock::time_point SimFrameClock::FrameFor(Clock::time_point due) const {
  if (!origin_) return due;  // the first report opens the grid
  const Clock::time_point earliest = std::max(due, next_);
  const Clock::duration sinceOrigin = earliest - *origin_;
  const auto frames = (sinceOrigin + kFrame - Clock::duration{1}) / kFrame;  // rounded up
  return *origin_ + frames * kFrame;
}

void SimFrameClock::Take(Clock::time_point frame) {
  if (!origin_) origin_ = frame;
  next_ = frame + kFrame;
}

}  // namespace tev
