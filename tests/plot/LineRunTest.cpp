#include "plot/LineRun.h"

#include <gtest/gtest.h>

#include <vector>

namespace tev {
namespace {

constexpr Argb kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

LineSegment Seg(int x1, int y1, int x2, int y2, Argb color = kRed, float width = 3.0f) {
  return LineSegment{color, width, x1, y1, x2, y2};
}

// Feeds the segments through a run and returns what would be drawn.
std::vector<LineSegment> Drawn(const std::vector<LineSegment>& segments) {
  LineRun run;
  std::vector<LineSegment> out;
  for (const auto& s : segments)
    if (run.Add(s) == LineRun::Outcome::Replaced) out.push_back(run.Flushed());
  LineSegment last;
  if (run.Take(last)) out.push_back(last);
  return out;
}

bool Same(const LineSegment& a, const LineSegment& b) {
  return a.color == b.color && a.penWidth == b.penWidth && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 &&
         a.y2 == b.y2;
}

TEST(LineRun, JoinsOnlyWhatContinuesStraightWithTheSamePen) {
  struct Case {
    const char* what;
    std::vector<LineSegment> in;
    std::vector<LineSegment> out;
  } cases[] = {
      {"a flat stretch", {Seg(0, 5, 1, 5), Seg(1, 5, 3, 5), Seg(3, 5, 4, 5)}, {Seg(0, 5, 4, 5)}},
      {"a straight slope", {Seg(0, 0, 2, 1), Seg(2, 1, 6, 3)}, {Seg(0, 0, 6, 3)}},
      {"a bend", {Seg(0, 0, 2, 0), Seg(2, 0, 2, 3)}, {Seg(0, 0, 2, 0), Seg(2, 0, 2, 3)}},
      {"turning back on itself", {Seg(0, 0, 0, 5), Seg(0, 5, 0, 2)}, {Seg(0, 0, 0, 5), Seg(0, 5, 0, 2)}},
      {"a gap (a sample left out)", {Seg(0, 0, 1, 0), Seg(2, 0, 3, 0)}, {Seg(0, 0, 1, 0), Seg(2, 0, 3, 0)}},
      {"another colour", {Seg(0, 0, 1, 0), Seg(1, 0, 2, 0, kBlue)}, {Seg(0, 0, 1, 0), Seg(1, 0, 2, 0, kBlue)}},
      {"another width", {Seg(0, 0, 1, 0), Seg(1, 0, 2, 0, kRed, 15.0f)},
       {Seg(0, 0, 1, 0), Seg(1, 0, 2, 0, kRed, 15.0f)}},
      {"zero-length pieces vanish", {Seg(0, 0, 1, 0), Seg(1, 0, 1, 0), Seg(1, 0, 2, 0), Seg(9, 9, 9, 9)},
       {Seg(0, 0, 2, 0)}},
      {"nothing", {}, {}},
  };
  for (const auto& c : cases) {
    const auto out = Drawn(c.in);
    ASSERT_EQ(out.size(), c.out.size()) << c.what;
    for (std::size_t i = 0; i < out.size(); ++i) EXPECT_TRUE(Same(out[i], c.out[i])) << c.what << " #" << i;
  }
}

TEST(LineRun, HugeCoordinatesDoNotOverflow) {
  const int big = 1'000'000'000;
  const auto out = Drawn({Seg(-big, -big, 0, 0), Seg(0, 0, big, big)});
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(Same(out[0], Seg(-big, -big, big, big)));
}

}  // namespace
}  // namespace tev
