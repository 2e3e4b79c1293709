#include "ui/logic/AnchorGeometry.h"

#include <gtest/gtest.h>

namespace tev {
namespace {

struct Case {
  const char* name;
  bool topFixed, leftFixed, bottomFollows, rightFollows;
  int x, y, width, height;  // after the dialog grew by 100 × 50
  bool move, resize;
};

TEST(AnchorGeometry, EachKindOfAnchorFollowsTheDialogAndComesBackExactly) {
  const Case cases[] = {
      {"fixed", true, true, false, false, 10, 20, 30, 40, false, false},
      {"stretches sideways", true, true, false, true, 10, 20, 130, 40, false, true},
      {"stretches both ways", true, true, true, true, 10, 20, 130, 90, false, true},
      {"moves with the bottom-right corner", false, false, true, true, 110, 70, 30, 40, true, true},
      {"moves down", false, true, true, false, 10, 70, 30, 40, true, true},
      {"moves right", true, false, false, true, 110, 20, 30, 40, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AnchorGeometry a{10, 20, 30, 40, c.topFixed, c.leftFixed, c.bottomFollows, c.rightFollows, 400, 300};
    const AnchorMove grown = RelayoutAnchor(a, 500, 350);
    EXPECT_EQ(a.x, c.x);
    EXPECT_EQ(a.y, c.y);
    EXPECT_EQ(a.width, c.width);
    EXPECT_EQ(a.height, c.height);
    EXPECT_EQ(grown.move, c.move);
    EXPECT_EQ(grown.resize, c.resize);

    RelayoutAnchor(a, 437, 311);  // in steps, as a drag does
    RelayoutAnchor(a, 400, 300);
    EXPECT_EQ(a.x, 10);
    EXPECT_EQ(a.y, 20);
    EXPECT_EQ(a.width, 30);
    EXPECT_EQ(a.height, 40);
  }
}

}  // namespace
}  // namespace tev
