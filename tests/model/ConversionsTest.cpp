#include "model/Conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/NumberFormat.h"

namespace tev {
namespace {

TEST(Conversions, WorkedValuesAtOffsetZero) {
  const struct {
    int raw;
    const char* volts;
    const char* kpa;
    double metres;
  } cases[] = {
      {0, "0", "10.5556", 15502.1},
      {512, "2.5", "66.1111", 3459.05},
      {836, "4.08203", "101.267", 4.80},
      {837, "4.08691", "101.376", -4.23},
      {1023, "4.99512", "121.558", -1562.47},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatReal(AdcToVolts(c.raw, 0)), c.volts) << c.raw;
    EXPECT_EQ(FormatReal(AdcToPressure(c.raw, 0)), c.kpa) << c.raw;
    EXPECT_NEAR(AdcToAltitude(c.raw, 0), c.metres, 0.006) << c.raw;
    EXPECT_EQ(FormatReal(PressureFromVolts(AdcToVolts(c.raw, 0))), c.kpa) << c.raw;
  }
  EXPECT_EQ(AdcToVolts(836, 0), 4.08203125);
  EXPECT_EQ(AdcToVolts(1023, 0), 4.9951171875);
  EXPECT_EQ(FormatReal(AdcToAltitude(512, 0)), "3459.05");
  EXPECT_EQ(FormatReal(AdcToAltitude(1023, 0)), "-1562.47");
}

TEST(Conversions, OffsetIsAddedToTheReading) {
  EXPECT_EQ(AdcToAltitude(500, 12), AdcToAltitude(512, 0));
  EXPECT_EQ(AdcToPressure(900, -64), AdcToPressure(836, 0));
}

TEST(Conversions, AltitudeToAdcTruncatesTowardZero) {
  const struct {
    double metres;
    int adc;
  } cases[] = {{0, 836}, {100, 825}, {1000, 731}, {5000, 400}, {-100, 847}};
  for (const auto& c : cases) EXPECT_EQ(AltitudeToAdc(c.metres), c.adc) << c.metres;
}

TEST(Conversions, UndefinedInputsNeverFault) {
  // A corrected reading of -98 or less gives a negative pressure: the altitude is not a number.
  EXPECT_TRUE(std::isnan(AdcToAltitude(10, -128)));
  EXPECT_FALSE(std::isnan(AdcToAltitude(31, -128)));
  // Above the model atmosphere the count is not a number, far below it beyond any count: they
  // give 0 and the nearest end of the range, never what a bare cast makes of them (on x86 the
  // lowest integer, whatever the value).
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::int32_t highest = std::numeric_limits<std::int32_t>::max();
  const struct {
    double metres;
    std::int32_t adc;
  } cases[] = {{50000, 0}, {nan, 0}, {-1e12, highest}, {inf, highest}, {-inf, highest}};
  for (const auto& c : cases) EXPECT_EQ(AltitudeToAdc(c.metres), c.adc) << c.metres;
}

}  // namespace
}  // namespace tev
