#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <vector>

#include "model/DebugLog.h"
#include "plot/PlotView.h"
#include "plot/RecordingCanvas.h"
#include "tests/support/LogCapture.h"

namespace tev {
namespace {

// One flight as the device records it: a type-2 packet, then continuation packets, the last one
// ended by 0xFFFF.
void AppendFlight(PacketList& packets, const std::vector<int>& readings) {
  std::size_t next = 0;
  bool first = true;
  while (first || next < readings.size()) {
    FlightPacket p = FlightPacket::Erased();
    p.bytes[0] = first ? kPacketTypeFlightStart : 1;
    p.bytes[1] = 0;
    for (int j = 1; j <= kSamplesPerPacket; ++j) {
      p.SetWord(j, next < readings.size() ? static_cast<std::uint16_t>(readings[next++] << 4) : kNoSample);
    }
    packets.push_back(p);
    first = false;
  }
}

TEST(PreparePlot, FlatFlightHasNoValueRange) {
  QuietLog quiet;
  PacketList packets;
  AppendFlight(packets, std::vector<int>(62, 836));
  DataSet set;
  PlotScale scale;
  scale.width = 800;
  PreparePlot(packets, DeviceSettings{}, set, scale, 0);
  EXPECT_EQ(set.adc.size(), 62u);
  EXPECT_EQ(scale.xMin, 0);
  EXPECT_EQ(scale.xRange, 6);  // whole seconds
  EXPECT_EQ(scale.yMin, 0);
  EXPECT_EQ(scale.yRange, 0);
  EXPECT_EQ(scale.width, 800);  // the size is the window's, not the plot's
}

TEST(PreparePlot, MissingSetLeavesAnEmptySetAndNoRanges) {
  QuietLog quiet;
  PacketList packets;
  AppendFlight(packets, std::vector<int>(40, 800));
  DataSet set;
  set.adc = {1, 2, 3};  // left from an earlier flight
  PlotScale scale;
  scale.xRange = 30;
  scale.yRange = 300;
  PreparePlot(packets, DeviceSettings{}, set, scale, 1);
  EXPECT_TRUE(set.adc.empty());
  EXPECT_EQ(set.setNumber, 1);
  EXPECT_EQ(scale.xRange, 0);
  EXPECT_EQ(scale.yMin, 0);
  EXPECT_EQ(scale.yRange, 0);
}

TEST(PreparePlot, RangesSpanAltitudeAndVelocityOfTheChosenSet) {
  QuietLog quiet;
  PacketList packets;
  AppendFlight(packets, std::vector<int>(31, 836));  // set 0: on the ground
  std::vector<int> flight;
  for (int i = 0; i < 150; ++i) flight.push_back(836 - (i < 60 ? i * 2 : 120 - (i - 60)));  // up, then down
  AppendFlight(packets, flight);

  DataSet set;
  PlotScale scale;
  PreparePlot(packets, DeviceSettings{}, set, scale, 1);
  ASSERT_EQ(set.adc.size(), 150u);
  EXPECT_EQ(set.setNumber, 1);
  EXPECT_EQ(scale.xRange, 15);

  // Every truncated altitude and velocity lies within the range, and both ends are reached.
  int lo = 1 << 30, hi = -(1 << 30);
  for (std::size_t i = 0; i < set.adc.size(); ++i) {
    for (double v : {set.smoothedAltitude[i], set.velocityKmh[i]}) {
      lo = std::min(lo, static_cast<int>(v));
      hi = std::max(hi, static_cast<int>(v));
    }
  }
  EXPECT_GT(hi, 500);  // a real climb: the test would prove nothing on a flat set
  EXPECT_LT(lo, 0);    // the descent's velocity
  EXPECT_EQ(scale.yMin, lo);
  EXPECT_EQ(scale.yRange, hi - lo);
}

TEST(PreparePlot, SamplesThatAreNotNumbersDoNotSpoilTheRanges) {
  // With the lowest offset, readings of 30 or less give a negative pressure: the altitude is no number.
  QuietLog quiet;
  DeviceSettings settings;
  settings.adcOffset = -128;
  std::vector<int> flight(40, 700);
  for (int i = 20; i < 25; ++i) flight[i] = 10;
  PacketList packets;
  AppendFlight(packets, flight);

  DataSet set;
  PlotScale scale;
  PreparePlot(packets, settings, set, scale, 0);
  ASSERT_EQ(set.adc.size(), 40u);
  ASSERT_TRUE(std::isnan(set.altitudeAgl[20]));
  EXPECT_GE(scale.yRange, 0);

  // The whole flight still paints, with nothing placed far off the buffer.
  RecordingCanvas canvas(640, 480);
  PaintPlot(canvas, set, scale);
  for (const auto& op : canvas.Ops()) {
    for (int c : {op.x1, op.y1, op.x2, op.y2}) EXPECT_LT(std::abs(c), 1'000'000'000);
  }
  EXPECT_NE(canvas.FindText(L"Data set: 1"), nullptr);
}

}  // namespace
}  // namespace tev
