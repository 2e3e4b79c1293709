#include "model/LiveTrace.h"

#include <gtest/gtest.h>

#include "Flights.h"
#include "model/Conversions.h"

namespace tev {
namespace {

using testing::SampleWord;

TEST(LiveTrace, FirstSampleIsTheGroundAndTheHighestPointIsKept) {
  LiveTrace trace;
  AppendLiveSample(trace, SampleWord(836), 0);
  AppendLiveSample(trace, 0xFFFF, 0);  // not a sample
  AppendLiveSample(trace, SampleWord(800, 3), 0);
  AppendLiveSample(trace, SampleWord(790), 0);
  AppendLiveSample(trace, SampleWord(790), 0);  // as high, not higher: apogee stays
  AppendLiveSample(trace, SampleWord(820), 0);
  ASSERT_EQ(trace.points.size(), 5u);
  EXPECT_EQ(trace.groundMsl, AdcToAltitude(836, 0));
  EXPECT_EQ(trace.points[0], 0.0);
  const double top = AdcToAltitude(790, 0) - AdcToAltitude(836, 0);
  EXPECT_EQ(trace.points[2], top);
  EXPECT_FLOAT_EQ(trace.maxAltitude, static_cast<float>(top));
  EXPECT_FLOAT_EQ(trace.apogeeTime, 0.2f);
  EXPECT_EQ(trace.yMax, static_cast<int>(static_cast<float>(top)));
  EXPECT_EQ(trace.xMin, 0);
  EXPECT_EQ(trace.yMin, 0);
}

TEST(LiveTrace, TimeAxisGrowsInStepsOfFiveSeconds) {
  LiveTrace trace;
  const struct {
    int points, xMax;
  } cases[] = {{1, 5}, {49, 5}, {50, 10}, {99, 10}, {100, 15}};
  int have = 0;
  for (const auto& c : cases) {
    while (have < c.points) AppendLiveSample(trace, SampleWord(836), 0), ++have;
    EXPECT_EQ(trace.xMax, c.xMax) << c.points;
  }
}

TEST(LiveTrace, ResetStartsANewGround) {
  LiveTrace trace;
  AppendLiveSample(trace, SampleWord(836), 0);
  AppendLiveSample(trace, SampleWord(700), 0);
  ResetLiveTrace(trace);
  EXPECT_TRUE(trace.points.empty());
  EXPECT_EQ(trace.maxAltitude, 0.0f);
  EXPECT_EQ(trace.apogeeTime, 0.0f);
  AppendLiveSample(trace, SampleWord(600), 5);
  EXPECT_EQ(trace.groundMsl, AdcToAltitude(600, 5));
  EXPECT_EQ(trace.points[0], 0.0);
}

TEST(LiveTrace, UndefinedAltitudesNeverFault) {
  LiveTrace trace;
  AppendLiveSample(trace, SampleWord(5), -128);
  AppendLiveSample(trace, SampleWord(6), -128);
  EXPECT_EQ(trace.points.size(), 2u);
  EXPECT_EQ(trace.yMax, 0);
  EXPECT_EQ(trace.xMax, 5);
}

}  // namespace
}  // namespace tev
