#include "model/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tev {
namespace {

TEST(FormatReal, FollowsGeneralFormatWithThreeDigitExponents) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.0, "0"},
      {0.3, "0.3"},
      {123.4, "123.4"},
      {1234 * 0.1, "123.4"},
      {3 * 0.1, "0.3"},
      {4.08203125, "4.08203"},
      {101.2673611, "101.267"},
      {-1562.47, "-1562.47"},
      {2.5e-05, "2.5e-005"},
      {-2.5e-05, "-2.5e-005"},
      {0.0001, "0.0001"},
      {123456.0, "123456"},
      {1234567.0, "1.23457e+006"},
      {1e100, "1e+100"},
      {1.5e-300, "1.5e-300"},
      {100.0, "100"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatReal(c.value), c.text) << c.text;
}

TEST(FormatReal, SpellsUndefinedValuesTheSameEverywhere) {
  EXPECT_EQ(FormatReal(std::numeric_limits<double>::quiet_NaN()), "nan");
  EXPECT_EQ(FormatReal(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(FormatReal(-std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_EQ(FormatRealW(2.5e-05), L"2.5e-005");
}

}  // namespace
}  // namespace tev

namespace tev {
namespace {

TEST(FormatHex, LowerCaseWithOptionalZeroPadding) {
  EXPECT_EQ(FormatHex(0), "0");
  EXPECT_EQ(FormatHex(5), "5");
  EXPECT_EQ(FormatHex(0x31), "31");
  EXPECT_EQ(FormatHex(0xFFC0), "ffc0");
  EXPECT_EQ(FormatHex(0x121, 4), "0121");
  EXPECT_EQ(FormatHex(0x501, 2), "501");
}

}  // namespace
}  // namespace tev
