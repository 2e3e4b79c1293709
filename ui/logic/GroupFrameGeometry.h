#pragma once
// Where a group frame's caption, lines and corner arcs go. The frame is a thin line with rounded
// corners whose top runs through the middle of the caption; every inset, the corners and the
// line's thickness grow with the dialog's DPI, so that at 96 DPI the frame is as it always was.
#include <array>

namespace tev {

// A straight stretch of the frame, one pixel thick from (x1, y1) to (x2, y2); a thicker line is
// that pixel line repeated `thickness` times, each one step (stepX, stepY) further inside.
struct FrameLine {
  int x1, y1, x2, y2;
  int stepX, stepY;
};

// A quarter circle drawn in the square box at (x, y), from `startDegrees` clockwise.
struct FrameArc {
  int x, y, size;
  float startDegrees;
};

struct GroupFrameGeometry {
  int thickness;                 // of every line and arc
  int captionLeft;               // the caption's picture, at (captionLeft, 0)
  int captionWidth, captionHeight;
  int middle;                    // the row of the top line: the caption's middle
  std::array<FrameLine, 5> lines;  // top left of the caption, top right of it, bottom, left, right
  std::array<FrameArc, 4> arcs;    // top left, top right, bottom left, bottom right
};

// The frame of a `width` × `height` item whose caption measures `captionWidth` and whose font's
// line is `lineHeight` pixels high, at `dpi`.
GroupFrameGeometry LayOutGroupFrame(int width, int height, float captionWidth, float lineHeight, unsigned dpi);

}  // namespace tev
