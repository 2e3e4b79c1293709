#include "plot/ColumnThinning.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "plot/PlotMapping.h"
#include "plot/PlotView.h"
#include "plot/RecordingCanvas.h"

namespace tev {
namespace {

using Points = std::vector<std::pair<int, int>>;

Points Thinned(const Points& in) {
  Points out;
  ColumnThinner thin([&](int x, int y) { out.emplace_back(x, y); });
  for (const auto& [x, y] : in) thin.Add(x, y);
  thin.Flush();
  return out;
}

TEST(ColumnThinner, KeepsTheFirstTheExtremesInTheirOrderAndTheLastOfEachColumn) {
  struct Case {
    const char* what;
    Points in, out;
  };
  const Case cases[] = {
      {"one point a column: all", {{0, 5}, {1, 9}, {2, 1}}, {{0, 5}, {1, 9}, {2, 1}}},
      {"up to four in a column: all, repeats too", {{0, 5}, {0, 5}, {0, 5}, {0, 7}}, {{0, 5}, {0, 5}, {0, 5}, {0, 7}}},
      {"low before high", {{3, 5}, {3, 1}, {3, 4}, {3, 9}, {3, 6}}, {{3, 5}, {3, 1}, {3, 9}, {3, 6}}},
      {"high before low", {{3, 5}, {3, 9}, {3, 4}, {3, 1}, {3, 6}}, {{3, 5}, {3, 9}, {3, 1}, {3, 6}}},
      {"the first is the lowest", {{3, 0}, {3, 4}, {3, 9}, {3, 2}, {3, 6}}, {{3, 0}, {3, 9}, {3, 6}}},
      {"the last is the highest", {{3, 5}, {3, 4}, {3, 1}, {3, 2}, {3, 9}}, {{3, 5}, {3, 1}, {3, 9}}},
      {"a flat column", {{3, 5}, {3, 5}, {3, 5}, {3, 5}, {3, 5}}, {{3, 5}, {3, 5}}},
      {"columns one after another", {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 7}, {2, 0}, {2, 8}, {2, 1}, {2, 2}, {2, 3}},
       {{0, 1}, {0, 5}, {1, 7}, {2, 0}, {2, 8}, {2, 3}}},
      {"back to a column left before: a new column", {{0, 1}, {1, 2}, {0, 3}}, {{0, 1}, {1, 2}, {0, 3}}},
  };
  for (const Case& c : cases) EXPECT_EQ(Thinned(c.in), c.out) << c.what;
}

// Pixels a polyline passes through, column by column: the lowest and highest row in each.
std::map<int, std::pair<int, int>> Reach(const std::vector<CanvasOp>& lines) {
  std::map<int, std::pair<int, int>> reach;
  for (const CanvasOp& l : lines) {
    for (int x = std::min(l.x1, l.x2); x <= std::max(l.x1, l.x2); ++x) {
      const double t = l.x1 == l.x2 ? 0 : static_cast<double>(x - l.x1) / (l.x2 - l.x1);
      const int ys[] = {l.x1 == l.x2 ? l.y1 : static_cast<int>(std::lround(l.y1 + t * (l.y2 - l.y1))),
                        l.x1 == l.x2 ? l.y2 : static_cast<int>(std::lround(l.y1 + t * (l.y2 - l.y1)))};
      for (const int y : ys) {
        auto [at, fresh] = reach.try_emplace(x, y, y);
        at->second.first = std::min(at->second.first, y);
        at->second.second = std::max(at->second.second, y);
      }
    }
  }
  return reach;
}

TEST(DrawSeries, ManySamplesAColumnDrawAtMostFourPointsReachingTheSameRows) {
  // Eight hours at 10 samples a second on 1000 pixels: a noisy climb and a slow descent.
  std::vector<double> series;
  for (int i = 0; i < 300'000; ++i) {
    const double t = i / 10.0, noise = static_cast<double>((i * 7919LL) % 13) - 6;
    series.push_back((t < 600 ? t : 600 - (t - 600) / 48) + noise);
  }
  PlotScale scale;
  scale.width = 1000;
  scale.height = 600;
  scale.xRange = static_cast<int>(series.size() / 10);
  scale.yMin = -10;
  scale.yRange = 620;

  RecordingCanvas thinned(1000, 600);
  DrawSeries(thinned, scale, series, PlotPen{0xFFFF0000, 3}, 0xFFFF0000);
  const auto lines = thinned.OpsOf(CanvasOp::Kind::Line);
  EXPECT_LE(lines.size(), 4u * 1000);
  EXPECT_LE(thinned.OpsOf(CanvasOp::Kind::Ellipse).size(), 40u * 1000);

  // Every line sample by sample, as before thinning: the same rows in every column.
  RecordingCanvas whole(1000, 600);
  for (std::size_t i = 1; i < series.size(); ++i)
    whole.Line(0xFFFF0000, 3, *MapX(scale, (i - 1) / 10.0), *MapY(scale, series[i - 1]), *MapX(scale, i / 10.0),
               *MapY(scale, series[i]));
  EXPECT_EQ(Reach(lines), Reach(whole.OpsOf(CanvasOp::Kind::Line)));
}

}  // namespace
}  // namespace tev
