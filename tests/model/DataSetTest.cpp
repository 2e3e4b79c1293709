#include "model/DataSet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "Flights.h"
#include "model/Conversions.h"
#include "model/DebugLog.h"
#include "tests/support/LogCapture.h"

namespace tev {
namespace {

using testing::AppendFlight;
using testing::MakePacket;
using testing::Readings;
using testing::SampleWord;

// The smoothing weights of one build, read back from their log line.
std::vector<double> BuildAndReadWeights(const PacketList& packets, DataSet& set, const DeviceSettings& settings) {
  LogCapture log;
  BuildDataSet(packets, set, FindSetStart(packets, 0), settings, 0);
  const std::vector<std::string> lines = log.Lines();
  std::vector<double> weights;
  for (const auto& line : lines) {
    if (line.rfind("Set", 0) == 0) continue;
    EXPECT_TRUE(weights.empty()) << "weights must come as one line";
    EXPECT_EQ(line.back(), ' ');
    std::istringstream in(line);
    for (double w; in >> w;) weights.push_back(w);
  }
  return weights;
}

TEST(BuildDataSet, ConvertsEverySampleAndKeepsLineFlags) {
  PacketList packets;
  std::vector<int> adc = Readings(40, 836);
  adc[33] = 512;
  std::vector<int> flags(40, 0);
  flags[1] = 2;
  flags[32] = 3;
  AppendFlight(packets, adc, flags);
  DeviceSettings settings;
  settings.adcOffset = -3;

  DataSet set;
  BuildDataSet(packets, set, 0, settings, 7);
  ASSERT_EQ(set.adc.size(), 40u);
  EXPECT_EQ(set.setNumber, 7);
  EXPECT_EQ(set.adc[33], 512);
  EXPECT_EQ(set.lineFlags[1], 2);
  EXPECT_EQ(set.lineFlags[32], 3);
  EXPECT_EQ(set.volts[33], AdcToVolts(512, -3));
  EXPECT_EQ(set.pressure[33], AdcToPressure(512, -3));
  EXPECT_EQ(set.altitudeMsl[33], AdcToAltitude(512, -3));
  EXPECT_EQ(set.altitudeAgl[0], 0.0);
  EXPECT_EQ(set.altitudeAgl[33], AdcToAltitude(512, -3) - AdcToAltitude(836, -3));
  for (const auto* series : {&set.volts, &set.pressure, &set.altitudeMsl, &set.altitudeAgl, &set.smoothedAltitude,
                             &set.velocity, &set.smoothedVelocity, &set.velocityKmh})
    EXPECT_EQ(series->size(), 40u);
  EXPECT_EQ(set.velocityKmh[20], set.smoothedVelocity[20] * 3.6);
}

TEST(BuildDataSet, SampleGapsAndSetBoundaries) {
  PacketList packets;
  packets.push_back(MakePacket(1, {SampleWord(100)}));                      // before any set
  packets.push_back(MakePacket(2, {SampleWord(800), SampleWord(801)}));     // set 0
  packets.push_back(MakePacket(1, {0xFFFF, SampleWord(1)}));                // nothing after the gap mark
  packets.push_back(MakePacket(0xFF, {SampleWord(802)}));                   // still set 0 for the build
  packets.push_back(MakePacket(2, {SampleWord(810)}));                      // set 1
  packets.push_back(MakePacket(2, {SampleWord(820), 0xFFFF, SampleWord(9)}));  // set 2

  DataSet set;
  DeviceSettings settings;
  BuildDataSet(packets, set, FindSetStart(packets, 0), settings, 0);
  EXPECT_EQ(set.adc, (std::vector<std::int32_t>{800, 801, 802}));
  BuildDataSet(packets, set, FindSetStart(packets, 1), settings, 1);
  EXPECT_EQ(set.adc, (std::vector<std::int32_t>{810}));
  BuildDataSet(packets, set, FindSetStart(packets, 2), settings, 2);
  EXPECT_EQ(set.adc, (std::vector<std::int32_t>{820}));

  BuildDataSet(packets, set, -1, settings, 5);
  EXPECT_TRUE(set.adc.empty());
  EXPECT_TRUE(set.altitudeMsl.empty());
  EXPECT_EQ(set.setNumber, 5);
  BuildDataSet(packets, set, 99, settings, 0);  // an index past the list is no set either
  EXPECT_TRUE(set.adc.empty());
}

TEST(BuildDataSet, FlatFlightStaysOnTheGround) {
  PacketList packets;
  AppendFlight(packets, Readings(100, 700));
  DataSet set;
  const auto weights = BuildAndReadWeights(packets, set, DeviceSettings{});
  ASSERT_EQ(weights.size(), 100u);
  for (std::size_t i = 0; i < 100; ++i) {
    EXPECT_EQ(weights[i], 1.0);
    EXPECT_EQ(set.smoothedAltitude[i], 0.0);
    EXPECT_EQ(set.velocity[i], 0.0);
    EXPECT_EQ(set.smoothedVelocity[i], 0.0);
  }
}

TEST(BuildDataSet, SmoothingWindowSpansFortyBeforeAndThirtyNineAfter) {
  // One odd sample at index 80: sample 40's window (0..79) misses it, sample 41's (1..80) holds it.
  PacketList packets;
  std::vector<int> adc = Readings(120, 700);
  adc[80] = 690;
  AppendFlight(packets, adc);
  DataSet set;
  const auto weights = BuildAndReadWeights(packets, set, DeviceSettings{});
  ASSERT_EQ(weights.size(), 120u);
  EXPECT_EQ(weights[40], 1.0);
  EXPECT_LT(weights[41], 1.0);
  EXPECT_LT(weights[119], 1.0);
  EXPECT_EQ(weights[0], 1.0);  // window 0..39 at the start

  // The last sample never enters any window: only its own weight moves.
  adc = Readings(60, 700);
  adc[59] = 650;
  packets.clear();
  AppendFlight(packets, adc);
  const auto tail = BuildAndReadWeights(packets, set, DeviceSettings{});
  for (std::size_t i = 0; i < 59; ++i) EXPECT_EQ(tail[i], 1.0) << i;
  EXPECT_LT(tail[59], 1.0);
}

TEST(BuildDataSet, TwoSamplesWorkedByHand) {
  PacketList packets;
  AppendFlight(packets, {836, 835});
  DataSet set;
  const auto weights = BuildAndReadWeights(packets, set, DeviceSettings{});
  const double a = AdcToAltitude(835, 0) - AdcToAltitude(836, 0);
  const double f1 = std::pow(0.95, std::fabs(a) * 10);
  ASSERT_EQ(weights.size(), 2u);
  EXPECT_EQ(weights[0], 1.0);
  EXPECT_NEAR(weights[1], f1, 1e-6 * f1);
  EXPECT_EQ(set.smoothedAltitude[0], 0.0);
  EXPECT_DOUBLE_EQ(set.smoothedAltitude[1], (1 - f1) * a);
  const double v = set.smoothedAltitude[1] / 0.1;  // the window shrinks to one step of 0.1 s
  EXPECT_DOUBLE_EQ(set.velocity[0], v);
  EXPECT_DOUBLE_EQ(set.velocity[1], v);
  // A flat velocity would give weight 1; the cap holds it at 0.8.
  EXPECT_DOUBLE_EQ(set.smoothedVelocity[0], 0.2 * v);
  EXPECT_DOUBLE_EQ(set.smoothedVelocity[1], 0.2 * v + 0.8 * 0.2 * v);
  EXPECT_DOUBLE_EQ(set.velocityKmh[1], set.smoothedVelocity[1] * 3.6);
}

TEST(BuildDataSet, VelocityWindowShrinksAtTheEnds) {
  PacketList packets;
  std::vector<int> adc;
  for (int i = 0; i < 12; ++i) adc.push_back(836 - 3 * i * i);
  AppendFlight(packets, adc);
  DataSet set;
  BuildDataSet(packets, set, 0, DeviceSettings{}, 0);
  const auto& h = set.smoothedAltitude;
  const struct {
    int j, from, to;
    double seconds;
  } cases[] = {{0, 0, 5, 0.5}, {3, 0, 8, 0.8}, {5, 0, 10, 1.0}, {6, 1, 11, 1.0}, {8, 3, 11, 0.8}, {11, 6, 11, 0.5}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(set.velocity[c.j], (h[c.to] - h[c.from]) / c.seconds) << c.j;
}

TEST(BuildDataSet, OneSampleStoresZeroWeightAndVelocity) {
  PacketList packets;
  AppendFlight(packets, {640});
  DataSet set;
  const auto weights = BuildAndReadWeights(packets, set, DeviceSettings{});
  EXPECT_EQ(weights, std::vector<double>{0.0});
  ASSERT_EQ(set.adc.size(), 1u);
  EXPECT_EQ(set.smoothedAltitude[0], 0.0);
  EXPECT_EQ(set.velocity[0], 0.0);
  EXPECT_EQ(set.smoothedVelocity[0], 0.0);
  EXPECT_EQ(set.velocityKmh[0], 0.0);
}

TEST(BuildDataSet, UndefinedAltitudesAreCarriedWithoutFault) {
  PacketList packets;
  AppendFlight(packets, {500, 10, 500, 500, 500});
  DeviceSettings settings;
  settings.adcOffset = -128;  // 10 - 128 gives a negative pressure
  DataSet set;
  BuildDataSet(packets, set, 0, settings, 0);
  ASSERT_EQ(set.adc.size(), 5u);
  EXPECT_TRUE(std::isnan(set.altitudeMsl[1]));
  EXPECT_FALSE(std::isnan(set.altitudeAgl[0]));
  const int top = IndexOfMaximum(set, set.altitudeAgl);
  EXPECT_GE(top, 0);
  EXPECT_FALSE(std::isnan(set.altitudeAgl[top]));

  // Undefined from the ground up: still no fault, and a valid index.
  packets.clear();
  AppendFlight(packets, {5, 6, 7});
  BuildDataSet(packets, set, 0, settings, 0);
  EXPECT_TRUE(std::isnan(set.velocityKmh[2]));
  EXPECT_EQ(IndexOfMaximum(set, set.velocityKmh), 0);
}

TEST(IndexOfMaximum, EarliestOfTiesAndMinusOneWhenEmpty) {
  DataSet set;
  std::vector<double> series = {1, 5, 2, 5, 3};
  EXPECT_EQ(IndexOfMaximum(set, series), -1);
  set.adc = {1, 2, 3, 4, 5};
  EXPECT_EQ(IndexOfMaximum(set, series), 1);
  EXPECT_EQ(IndexOfMaximum(set, std::vector<double>{-3, -1, -2, -1, -9}), 1);
}

}  // namespace
}  // namespace tev
