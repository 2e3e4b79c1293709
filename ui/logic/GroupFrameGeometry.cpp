#include "ui/logic/GroupFrameGeometry.h"

#include "model/Dpi.h"

namespace tev {

GroupFrameGeometry LayOutGroupFrame(int W, int H, float tw, float h, unsigned dpi) {
  const auto s = [dpi](int length) { return ScaledLength(length, dpi); };
  GroupFrameGeometry g{};
  g.thickness = s(1);
  g.captionLeft = s(9);
  g.captionWidth = static_cast<int>(tw);
  g.captionHeight = static_cast<int>(h) + s(10);
  const int t = s(1) + static_cast<int>(h / 2);
  g.middle = t;
  const int left = s(1), right = W - s(2), bottom = H - s(2);
  // The lines end where the corners take over, so that rounding at any DPI leaves no gap.
  g.lines = {{
      {left + s(4), t, s(7), t, 0, 1},
      {static_cast<int>(tw + static_cast<float>(s(11))), t, right - s(4), t, 0, 1},
      {left + s(3), bottom, right - s(3), bottom, 0, -1},
      {left, t + s(3), left, bottom - s(4), 1, 0},
      {right, t + s(3), right, bottom - s(4), -1, 0},
  }};
  // A thick arc is drawn centred on its path: the box moves inside by half the extra thickness so
  // that the arc lies on the lines it joins.
  const int inset = (g.thickness - 1) / 2;
  const int box = s(8) - 2 * inset;
  g.arcs = {{
      {left + inset, t + inset, box, 180},
      {right - s(8) + inset, t + inset, box, 270},
      {left + inset, bottom - s(8) + inset, box, 90},
      {right - s(8) + inset, bottom - s(8) + inset, box, 0},
  }};
  return g;
}

}  // namespace tev
