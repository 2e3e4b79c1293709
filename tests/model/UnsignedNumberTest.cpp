// Numbers typed on command lines and in environment variables.
#include "model/UnsignedNumber.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tev {
namespace {

TEST(UnsignedNumber, DigitsUpToTheBoundAndHexOnlyWhereAsked) {
  using enum NumberBase;
  const struct {
    const char* text;
    std::uint64_t max;
    NumberBase base;
    std::optional<std::uint64_t> value;
  } cases[] = {
      {"0", 10, Decimal, 0},
      {"65535", 0xFFFF, Decimal, 65535},
      {"65536", 0xFFFF, Decimal, std::nullopt},
      {"0010", 100, Decimal, 10},  // leading zeros are not octal
      {"", 10, Decimal, std::nullopt},
      {"-1", 10, Decimal, std::nullopt},
      {"+1", 10, Decimal, std::nullopt},
      {" 1", 10, Decimal, std::nullopt},
      {"1 ", 10, Decimal, std::nullopt},
      {"12ab", 0xFFFF, Decimal, std::nullopt},
      {"0x10", 0xFFFF, Decimal, std::nullopt},
      {"0x0139", 0xFFFF, DecimalOrHex, 0x139},
      {"0XaBc", 0xFFFF, DecimalOrHex, 0xABC},
      {"0x", 0xFFFF, DecimalOrHex, std::nullopt},
      {"0x10000", 0xFFFF, DecimalOrHex, std::nullopt},
      {"0xg", 0xFFFF, DecimalOrHex, std::nullopt},
      {"ff", 0xFFFF, DecimalOrHex, std::nullopt},
      {"9", 5, Decimal, std::nullopt},  // one digit already past the bound
      {"18446744073709551615", UINT64_MAX, Decimal, UINT64_MAX},
      {"18446744073709551616", UINT64_MAX, Decimal, std::nullopt},  // would wrap round
      {"99999999999999999999999", 0xFFFFFFFF, Decimal, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadUnsigned(c.text, c.max, c.base), c.value) << c.text;
    const std::string narrow = c.text;
    EXPECT_EQ(ReadUnsigned(std::wstring(narrow.begin(), narrow.end()), c.max, c.base), c.value) << c.text;
  }
}

}  // namespace
}  // namespace tev
