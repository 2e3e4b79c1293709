#include "plot/LineRun.h"

#include <cstdint>

namespace tev {

LineRun::Outcome LineRun::Add(const LineSegment& s) {
  if (s.x1 == s.x2 && s.y1 == s.y2) return Outcome::Empty;
  if (!pending_) {
    current_ = s;
    pending_ = true;
    return Outcome::Started;
  }
  const std::int64_t dx0 = static_cast<std::int64_t>(current_.x2) - current_.x1;
  const std::int64_t dy0 = static_cast<std::int64_t>(current_.y2) - current_.y1;
  const std::int64_t dx1 = static_cast<std::int64_t>(s.x2) - s.x1;
  const std::int64_t dy1 = static_cast<std::int64_t>(s.y2) - s.y1;
  const bool samePen = s.color == current_.color && s.penWidth == current_.penWidth;
  const bool continues = s.x1 == current_.x2 && s.y1 == current_.y2;
  const bool sameDirection = dx0 * dy1 == dy0 * dx1 && dx0 * dx1 + dy0 * dy1 > 0;
  if (samePen && continues && sameDirection) {
    current_.x2 = s.x2;
    current_.y2 = s.y2;
    return Outcome::Joined;
  }
  flushed_ = current_;
  current_ = s;
  return Outcome::Replaced;
}

bool LineRun::Take(LineSegment& out) {
  if (!pending_) return false;
  out = current_;
  pending_ = false;
  return true;
}

}  // namespace tev
