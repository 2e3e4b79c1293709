// Real numbers in files other programs wrote (a simulator's CSV), read the same everywhere.
#include "model/RealNumber.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>

namespace tev {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(RealNumber, TheNearestDoubleOrNothing) {
  const struct {
    const char* text;
    std::optional<double> value;
  } cases[] = {
      {"12.5", 12.5},
      {"0", 0.0},
      {"7", 7.0},
      {"5.", 5.0},
      {".5", 0.5},
      {"-12.5", -12.5},
      {"+.5", 0.5},
      {"1e3", 1000.0},
      {"2.5E-2", 0.025},
      {"-1e+1", -10.0},
      {"0.1", 0.1},      // rounded as the compiler rounds the same literal
      {"123456.789", 123456.789},
      {"0.30000000000000004", 0.30000000000000004},  // more digits than a double holds exactly
      {"3.14159265358979323846264338327950288", 3.14159265358979323846264338327950288},
      {"12345678901234567890123", 12345678901234567890123.0},
      {"1e-30", 1e-30},
      {"1.7976931348623157e308", 1.7976931348623157e308},
      {"1e400", kInfinity},  // beyond a double: the caller says it is out of range
      {"-1e400", -kInfinity},
      {"1e99999999999999999999", kInfinity},
      {"1e-400", 0.0},  // below a double: as good as zero
      {"4.9e-324", 0.0},
      {"2.2250738585072014e-308", 2.2250738585072014e-308},  // the smallest normal double
      // Not numbers.
      {"", std::nullopt},
      {"-", std::nullopt},
      {".", std::nullopt},
      {"e5", std::nullopt},
      {"1e", std::nullopt},
      {"1e+", std::nullopt},
      {"12.5m", std::nullopt},  // trailing junk
      {"12.5 ", std::nullopt},
      {" 12.5", std::nullopt},
      {"1.2.3", std::nullopt},
      {"--1", std::nullopt},
      {"+-1", std::nullopt},
      {"12,5", std::nullopt},  // a decimal comma, as some locales write it
      {"nan", std::nullopt},
      {"inf", std::nullopt},
      {"0x1p3", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadReal(c.text), c.value) << c.text;
}

TEST(RealNumber, AMinusZeroKeepsItsSign) {
  const auto zero = ReadReal("-0.0");
  ASSERT_TRUE(zero);
  EXPECT_EQ(*zero, 0.0);
  EXPECT_TRUE(std::signbit(*zero));
}

// A user whose locale writes a decimal comma still reads "12.5" as twelve and a half: neither the
// program's C++ locale nor the C library's (where this machine has such a locale) is consulted.
struct DecimalComma : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(RealNumber, TheUsersLocaleChangesNothing) {
  const std::locale before = std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
  const std::string cBefore = std::setlocale(LC_ALL, nullptr);
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252"})
    if (std::setlocale(LC_ALL, name)) break;
  EXPECT_EQ(ReadReal("12.5"), 12.5);
  EXPECT_EQ(ReadReal("3.14159265358979323846"), 3.14159265358979323846);  // more digits than the quick way takes
  EXPECT_EQ(ReadReal("12,5"), std::nullopt);
  std::setlocale(LC_ALL, cBefore.c_str());
  std::locale::global(before);
}

}  // namespace
}  // namespace tev
