#include "model/Unique.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tev {
namespace {

// Values 1, 2, 3 stand for handles; 0 is the invalid one. Every release is written down.
std::vector<int> released;

struct CountingTraits {
  static int Invalid() { return 0; }
  static bool Valid(int value) { return value != 0; }
  static void Release(int value) { released.push_back(value); }
};
using Owner = Unique<int, CountingTraits>;

class UniqueTest : public ::testing::Test {
 protected:
  void SetUp() override { released.clear(); }
};

TEST_F(UniqueTest, EachValueIsReleasedExactlyOnceByItsLastOwner) {
  {
    Owner none;
    Owner first(1);
    Owner moved(std::move(first));
    EXPECT_FALSE(first.Valid());
    EXPECT_EQ(moved.Get(), 1);
    Owner second(2);
    second = std::move(moved);  // 2 goes now, 1 with the scope
    EXPECT_EQ(released, std::vector<int>{2});
    Owner& alias = second;
    second = std::move(alias);  // onto itself: keeps 1
    EXPECT_EQ(second.Get(), 1);
  }
  EXPECT_EQ(released, (std::vector<int>{2, 1}));
}

TEST_F(UniqueTest, ReleaseHandsTheValueOverAndResetTakesANewOne) {
  {
    Owner owner(1);
    EXPECT_EQ(owner.Release(), 1);
    EXPECT_FALSE(owner);
    owner.Reset(2);
    owner.Reset(3);
    EXPECT_EQ(released, std::vector<int>{2});
  }
  EXPECT_EQ(released, (std::vector<int>{2, 3}));
}

}  // namespace
}  // namespace tev
