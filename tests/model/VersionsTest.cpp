#include "model/Versions.h"

#include <gtest/gtest.h>

namespace tev {
namespace {

TEST(FormatVersion, ShowsMajorPointTwoDigitMinorInLowerCaseHex) {
  EXPECT_EQ(FormatVersion(0x0140), L"1.40");
  EXPECT_EQ(FormatVersion(0x0100), L"1.00");
  EXPECT_EQ(FormatVersion(0x0120), L"1.20");
  EXPECT_EQ(FormatVersion(0x0A05), L"a.05");
  EXPECT_EQ(FormatVersion(0x0000), L"0.00");
  EXPECT_EQ(FormatVersion(0xFFFF), L"ff.ff");
}

TEST(FormatVersionFamily, ReplacesTheRevisionDigitWithX) {
  EXPECT_EQ(FormatVersionFamily(0x0140), L"1.4x");
  EXPECT_EQ(FormatVersionFamily(0x014F), L"1.4x");
  EXPECT_EQ(FormatVersionFamily(0x0A05), L"a.0x");
}

}  // namespace
}  // namespace tev
