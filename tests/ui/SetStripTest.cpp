#include "ui/logic/SetStrip.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/model/Flights.h"
#include "model/Dpi.h"

namespace tev {
namespace {

using testing::AppendFlight;
using testing::MakePacket;
using testing::Readings;
using Colors = std::vector<std::uint32_t>;

constexpr std::uint32_t A = kStripBlueA, B = kStripBlueB, R = kStripPicked;

// Three flights of 2, 3 and 1 packets.
PacketList ThreeFlights() {
  PacketList packets;
  AppendFlight(packets, Readings(40, 800));
  AppendFlight(packets, Readings(70, 800));
  AppendFlight(packets, Readings(10, 800));
  return packets;
}

TEST(SetStrip, NeighbouringSetsAlternateBetweenTheTwoBluesAndThePickedSetIsRed) {
  const PacketList packets = ThreeFlights();
  EXPECT_EQ(StripColumnColors(packets, -1), (Colors{A, A, B, B, B, A}));
  EXPECT_EQ(StripColumnColors(packets, 1), (Colors{A, A, R, R, R, A}));
  EXPECT_EQ(StripColumnColors(packets, 2), (Colors{A, A, B, B, B, R}));
  EXPECT_EQ(StripColumnColors(packets, 3), (Colors{A, A, B, B, B, A})) << "a pick the packets do not hold";
  EXPECT_TRUE(StripColumnColors({}, -1).empty());
}

TEST(SetStrip, PacketsBeforeTheFirstFlightStartAreRedOnlyWhileNothingIsPicked) {
  PacketList packets{MakePacket(1, {}), MakePacket(1, {})};
  AppendFlight(packets, Readings(5, 800));
  EXPECT_EQ(StripColumnColors(packets, -1), (Colors{R, R, A}));
  EXPECT_EQ(StripColumnColors(packets, 0), (Colors{B, B, R}));
}

TEST(SetStrip, OnlyTheFirst128PacketsHaveAColumn) {
  PacketList packets;
  AppendFlight(packets, Readings(31 * 130, 800));
  ASSERT_EQ(packets.size(), 130u);
  const Colors colors = StripColumnColors(packets, 0);
  ASSERT_EQ(colors.size(), 128u);
  EXPECT_EQ(colors.back(), R);
}

TEST(SetStrip, AClickIsTakenToTheNearestColumnBoundaryOfAPictureTwoPixelsWiderThanTheStrip) {
  struct Case {
    int x, right, column;
  };
  // 256 pixels for 128 columns: two pixels per column, rounded half up.
  for (const Case& c : {Case{0, 254, 0}, Case{1, 254, 1}, Case{2, 254, 1}, Case{3, 254, 2}, Case{253, 254, 127},
                        Case{254, 254, 127}, Case{255, 254, 128}, Case{100, 510, 25}, Case{424, 424, 127}}) {
    EXPECT_EQ(StripColumnAt(c.x, c.right, 96), c.column) << "x " << c.x << " of " << c.right;
  }
}

// The strip grows with the dialog's DPI: its picture's overhang grows with it, and a click at the
// same place on the strip lands on the same column at every DPI.
TEST(SetStrip, AClickLandsOnTheSameColumnAtEveryDpi) {
  struct Case {
    unsigned dpi;
    int overhang;
  };
  constexpr int kRightAt96 = 424;
  for (const Case& c : {Case{96, 2}, Case{120, 3}, Case{144, 3}, Case{192, 4}}) {
    const int right = ScaledLength(kRightAt96, c.dpi);
    EXPECT_EQ(StripPictureWidth(right, c.dpi), right + c.overhang) << c.dpi << " DPI";
    for (int column = 0; column < kStripColumns; ++column) {
      // A quarter column left of each block's start, in 96-DPI pixels, then at this DPI.
      const double at96 = (column - 0.25) * StripPictureWidth(kRightAt96, 96) / kStripColumns;
      if (at96 < 0) continue;
      const int x = static_cast<int>(at96 * c.dpi / 96 + 0.5);
      ASSERT_EQ(StripColumnAt(x, right, c.dpi), column) << c.dpi << " DPI, x " << x << " of " << right;
    }
  }
}

TEST(SetStrip, AClickPicksTheSetOfItsPacketAndElsewhereKeepsThePreviousPick) {
  const PacketList packets = ThreeFlights();
  EXPECT_EQ(PickSetAt(packets, 0, -1), 0);
  EXPECT_EQ(PickSetAt(packets, 3, 0), 1);
  EXPECT_EQ(PickSetAt(packets, 4, 2), 1);
  EXPECT_EQ(PickSetAt(packets, 5, -1), 2);
  EXPECT_EQ(PickSetAt(packets, 6, 1), 1) << "right of the last packet";
  EXPECT_EQ(PickSetAt(packets, 127, -1), -1);

  PacketList headless{MakePacket(1, {})};
  AppendFlight(headless, Readings(5, 800));
  EXPECT_EQ(PickSetAt(headless, 0, 0), 0) << "a packet before any flight start";
}

}  // namespace
}  // namespace tev
