#include "plot/PlotMapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tev {
namespace {

PlotScale Scale640(int xRange, int yMin, int yRange) {
  PlotScale s;
  s.width = 640;
  s.height = 480;
  s.xMin = 0;
  s.xRange = xRange;
  s.yMin = yMin;
  s.yRange = yRange;
  return s;
}

TEST(PlotMapping, CornersOfA640By480Buffer) {
  const PlotScale s = Scale640(20, -35, 500);
  EXPECT_EQ(MapX(s, 0.0), 50);
  EXPECT_EQ(MapX(s, 20.0), 590);
  EXPECT_EQ(MapY(s, -35.0), 430);
  EXPECT_EQ(MapY(s, -35.0 + 500.0), 50);
}

TEST(PlotMapping, TruncatesTowardZero) {
  const PlotScale s = Scale640(3, 0, 7);
  EXPECT_EQ(MapX(s, 1.0), 230);  // 540 / 3 + 50
  // 1 m: 480 - 380 / 7 - 50 = 375.71... -> 375
  EXPECT_EQ(MapY(s, 1.0), 375);
  // Above the picture: 430 - 542.86 = -112.86 -> -112, not -113
  EXPECT_EQ(MapY(s, 10.0), -112);
}

TEST(PlotMapping, WhatCannotBePlacedIsEmpty) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    PlotScale scale;
    double t;
    double v;
    bool xPlaced;
    bool yPlaced;
  } cases[] = {
      {"zero time range", Scale640(0, 0, 100), 1.0, 1.0, false, true},
      {"zero value range", Scale640(10, 0, 0), 1.0, 1.0, true, false},
      {"both ranges zero", Scale640(0, 5, 0), 0.0, 5.0, false, false},
      {"not a number", Scale640(10, 0, 100), nan, nan, false, false},
      {"infinite", Scale640(10, 0, 100), inf, -inf, false, false},
      {"far beyond any surface", Scale640(1, 0, 1), 1e12, -1e12, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MapX(c.scale, c.t).has_value(), c.xPlaced) << c.what;
    EXPECT_EQ(MapY(c.scale, c.v).has_value(), c.yPlaced) << c.what;
  }
}

TEST(PlotMapping, NegativeRangeFromACorruptScaleStillMaps) {
  // A range can only be negative if a caller set it so; it must still not fault.
  const PlotScale s = Scale640(-10, 0, -100);
  EXPECT_EQ(MapX(s, 10.0), 50 - 540);
  EXPECT_EQ(MapY(s, 100.0), 480 + 380 - 50);
}

}  // namespace
}  // namespace tev
