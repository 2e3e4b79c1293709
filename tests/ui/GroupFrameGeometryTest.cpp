#include "ui/logic/GroupFrameGeometry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "model/Dpi.h"

namespace tev {
namespace {

struct Lines {
  std::vector<int> top0, top1, bottom, left, right;
};

Lines Of(const GroupFrameGeometry& g) {
  const auto v = [](const FrameLine& l) { return std::vector<int>{l.x1, l.y1, l.x2, l.y2, l.stepX, l.stepY}; };
  return {v(g.lines[0]), v(g.lines[1]), v(g.lines[2]), v(g.lines[3]), v(g.lines[4])};
}

// At 96 DPI the frame is pixel for pixel the one the dialogs have always had; at 192 every inset,
// the corners and the line are twice as large, the caption's own measures taken as they come.
TEST(GroupFrameGeometry, At96DpiTheFrameIsUnchangedAndAt192EveryInsetDoubles) {
  const GroupFrameGeometry at96 = LayOutGroupFrame(300, 150, 38.6f, 15.4f, 96);
  EXPECT_EQ(at96.thickness, 1);
  EXPECT_EQ(at96.captionLeft, 9);
  EXPECT_EQ(at96.captionWidth, 38);
  EXPECT_EQ(at96.captionHeight, 25);
  EXPECT_EQ(at96.middle, 8);
  const Lines l96 = Of(at96);
  EXPECT_EQ(l96.top0, (std::vector<int>{5, 8, 7, 8, 0, 1}));
  EXPECT_EQ(l96.top1, (std::vector<int>{49, 8, 294, 8, 0, 1}));
  EXPECT_EQ(l96.bottom, (std::vector<int>{4, 148, 295, 148, 0, -1}));
  EXPECT_EQ(l96.left, (std::vector<int>{1, 11, 1, 144, 1, 0}));
  EXPECT_EQ(l96.right, (std::vector<int>{298, 11, 298, 144, -1, 0}));
  const int arcs96[4][4] = {{1, 8, 8, 180}, {290, 8, 8, 270}, {1, 140, 8, 90}, {290, 140, 8, 0}};
  for (int i = 0; i < 4; ++i) {
    const FrameArc& a = at96.arcs[static_cast<std::size_t>(i)];
    EXPECT_EQ((std::vector<int>{a.x, a.y, a.size, static_cast<int>(a.startDegrees)}),
              (std::vector<int>(arcs96[i], arcs96[i] + 4)))
        << "arc " << i;
  }

  const GroupFrameGeometry at192 = LayOutGroupFrame(600, 300, 77.2f, 30.8f, 192);
  EXPECT_EQ(at192.thickness, 2);
  EXPECT_EQ(at192.captionLeft, 18);
  EXPECT_EQ(at192.captionHeight, 30 + 20);
  EXPECT_EQ(at192.middle, 2 + 15);
  const Lines l192 = Of(at192);
  EXPECT_EQ(l192.top0, (std::vector<int>{10, 17, 14, 17, 0, 1}));
  EXPECT_EQ(l192.top1, (std::vector<int>{99, 17, 588, 17, 0, 1}));
  EXPECT_EQ(l192.bottom, (std::vector<int>{8, 296, 590, 296, 0, -1}));
  EXPECT_EQ(l192.left, (std::vector<int>{2, 23, 2, 288, 1, 0}));
  EXPECT_EQ(l192.right, (std::vector<int>{596, 23, 596, 288, -1, 0}));
  EXPECT_EQ(at192.arcs[3].size, 16);
}

// Wherever rounding falls, each corner joins the two lines beside it: both ends of its quarter
// circle lie within a line's thickness of a line's end.
TEST(GroupFrameGeometry, TheCornersJoinTheLinesAtEveryDpi) {
  for (const unsigned dpi : {96u, 110u, 120u, 144u, 168u, 192u, 240u}) {
    const int W = ScaledLength(300, dpi), H = ScaledLength(150, dpi);
    const GroupFrameGeometry g = LayOutGroupFrame(W, H, ScaledLength(40, dpi), ScaledLength(15, dpi), dpi);
    const double centre = (g.thickness - 1) / 2.0;  // a thick line's middle, from its first pixel line
    struct End {
      double x, y;
    };
    const auto along = [&](const FrameLine& l, bool first) {
      return End{(first ? l.x1 : l.x2) + l.stepX * centre, (first ? l.y1 : l.y2) + l.stepY * centre};
    };
    const auto& [top0, top1, bottom, left, right] = g.lines;
    // Each corner: its two quarter ends (as the box gives them) against the ends of its lines.
    const struct {
      const char* name;
      End arcA, arcB, lineA, lineB;
    } corners[] = {
        {"top left", {g.arcs[0].x + g.arcs[0].size / 2.0, double(g.arcs[0].y)}, {double(g.arcs[0].x), g.arcs[0].y + g.arcs[0].size / 2.0},
         along(top0, true), along(left, true)},
        {"top right", {g.arcs[1].x + g.arcs[1].size / 2.0, double(g.arcs[1].y)},
         {double(g.arcs[1].x + g.arcs[1].size), g.arcs[1].y + g.arcs[1].size / 2.0}, along(top1, false), along(right, true)},
        {"bottom left", {g.arcs[2].x + g.arcs[2].size / 2.0, double(g.arcs[2].y + g.arcs[2].size)},
         {double(g.arcs[2].x), g.arcs[2].y + g.arcs[2].size / 2.0}, along(bottom, true), along(left, false)},
        {"bottom right", {g.arcs[3].x + g.arcs[3].size / 2.0, double(g.arcs[3].y + g.arcs[3].size)},
         {double(g.arcs[3].x + g.arcs[3].size), g.arcs[3].y + g.arcs[3].size / 2.0}, along(bottom, false),
         along(right, false)},
    };
    const double reach = g.thickness + 0.5;
    for (const auto& c : corners) {
      EXPECT_LE(std::abs(c.arcA.x - c.lineA.x) + std::abs(c.arcA.y - c.lineA.y), reach) << dpi << " DPI, " << c.name;
      EXPECT_LE(std::abs(c.arcB.x - c.lineB.x) + std::abs(c.arcB.y - c.lineB.y), reach) << dpi << " DPI, " << c.name;
    }
  }
}

}  // namespace
}  // namespace tev
