#pragma once
// Joins consecutive line segments that continue one another in the same direction with the same
// pen into one segment. With flat ends the joined segment covers exactly what the pieces did, so
// a series drawn sample by sample costs one line per straight stretch instead of one per sample.
#include "plot/Canvas.h"

namespace tev {

struct LineSegment {
  Argb color = 0;
  float penWidth = 0;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

class LineRun {
 public:
  enum class Outcome {
    Joined,   // the segment lengthened the pending one
    Started,  // nothing was pending: the segment is now pending
    Replaced, // the pending segment is complete (see Flushed) and this one is pending now
    Empty,    // a zero-length segment draws nothing with flat ends
  };

  Outcome Add(const LineSegment& segment);
  // Ends the pending segment; true when there was one, then in `out`.
  bool Take(LineSegment& out);
  // The segment completed by the last Add that returned Replaced.
  const LineSegment& Flushed() const { return flushed_; }

 private:
  bool pending_ = false;
  LineSegment current_;
  LineSegment flushed_;
};

}  // namespace tev
