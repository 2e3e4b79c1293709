// The figures of tevtool stats on flights whose figures are known by construction: each within
// one sample period of time and one ADC step of altitude (and, for speeds and rates, one ADC
// step over the time the figure is measured across), in metres and in feet.
//
// The one exception is the time of the peak velocity (burn-out). Near its peak the one-second
// mean velocity is flat, falling by a·dt² at dt from burn-out, while one ADC step in a one-second
// difference is several m/s: the peak can only be placed to within the time the mean takes to
// fall by one step per second.
#include <gtest/gtest.h>

#include <cmath>

#include "model/Conversions.h"
#include "tests/tevtool/BuiltFlight.h"
#include "tests/tevtool/StatsJson.h"
#include "tests/support/ToolRun.h"
#include "tools/tevtool/Units.h"

namespace tev {
namespace {

using testing::BuiltFlight;
using testing::JsonField;

constexpr double kSample = 0.1;
constexpr double kRounding = 1e-6;  // the JSON's six significant digits

using Stats = testing::ToolRun;

// Runs tevtool stats on packets saved as a data file with the given settings.
Stats RunStats(const PacketList& packets, const DeviceSettings& settings, const std::vector<std::wstring>& options) {
  testing::TempDir dir;
  std::vector<std::wstring> args = {L"stats", testing::SaveFlight(dir, L"flight.tev", packets, settings)};
  args.insert(args.end(), options.begin(), options.end());
  return testing::RunTevtool(args);
}

struct Expected {
  const char* key;
  const char* within;
  double value;
  double tolerance;
};

void ExpectFigures(const std::string& json, const std::vector<Expected>& table, const std::string& units) {
  for (const Expected& e : table) {
    const auto value = JsonField(json, e.key, e.within);
    ASSERT_TRUE(value.has_value()) << units << ": " << e.within << " " << e.key << " is null";
    EXPECT_NEAR(*value, e.value, e.tolerance + std::fabs(e.value) * kRounding) << units << ": " << e.within << " " << e.key;
  }
}

// The built flight's figures as tevtool should give them, in the given units.
std::vector<Expected> KnownFigures(const BuiltFlight& f, const tool::Units& u) {
  const std::string alt = u.altitudeUnit;
  const bool metric = alt == "m";
  const char* speed = metric ? "peak_velocity_km_h" : "peak_velocity_mph";
  const char* rate = metric ? "peak_velocity_m_s" : "peak_velocity_ft_s";
  const char* descent = metric ? "descent_rate_m_s" : "descent_rate_ft_s";
  const char* finalDescent = metric ? "final_descent_rate_m_s" : "final_descent_rate_ft_s";
  static std::string apogeeKey, firedKey;
  apogeeKey = "apogee_" + alt;
  firedKey = "fired_altitude_" + alt;

  const double topStep = f.Step(f.top);
  const double burnoutStep = f.Step(f.Height(BuiltFlight::kBurnout));  // per second of the velocity window
  const double lineBHeight = f.Height(BuiltFlight::kLineBOn);
  const double descentSeconds = BuiltFlight::kLanding - BuiltFlight::kApogee;
  const double peakBlur = std::sqrt(burnoutStep / f.acceleration);
  return {
      {apogeeKey.c_str(), "", u.Altitude(f.top), u.Altitude(topStep)},
      {"apogee_s", "", BuiltFlight::kApogee, kSample},
      {speed, "", u.Speed(f.SecondMean(BuiltFlight::kBurnout)), u.Speed(burnoutStep)},
      {rate, "", u.Rate(f.SecondMean(BuiltFlight::kBurnout)), u.Rate(burnoutStep)},
      {"peak_velocity_s", "", BuiltFlight::kBurnout, peakBlur},
      {"burnout_s", "", BuiltFlight::kBurnout, peakBlur},
      {"launch_s", "", BuiltFlight::kLiftoff, kSample},
      {"launch_to_apogee_s", "", BuiltFlight::kApogee - BuiltFlight::kLiftoff, kSample},
      {"landing_s", "", BuiltFlight::kLanding, kSample},
      {"flight_duration_s", "", BuiltFlight::kLanding - BuiltFlight::kLiftoff, kSample},
      {descent, "", u.Rate(f.descent), u.Rate(topStep / descentSeconds)},
      {finalDescent, "", u.Rate(f.descent), u.Rate(f.Step(lineBHeight) / 10)},
      {"fired_s", "line_a", BuiltFlight::kLineAOn, kSample},
      {firedKey.c_str(), "line_a", u.Altitude(f.top), u.Altitude(topStep)},
      {"fired_s", "line_b", BuiltFlight::kLineBOn, kSample},
      {firedKey.c_str(), "line_b", u.Altitude(lineBHeight), u.Altitude(f.Step(lineBHeight))},
  };
}

class FlightFiguresTest : public ::testing::Test {
  QuietLog quiet_;
};

TEST_F(FlightFiguresTest, KnownFlightInMetresAndFeet) {
  const BuiltFlight flight;
  for (const tool::Units& units : {tool::kMetric, tool::kImperial}) {
    const Stats run = RunStats(flight.Packets(), DeviceSettings(), {L"--json", L"--units", Utf8ToWide(units.name)});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    ExpectFigures(run.out, KnownFigures(flight, units), units.name);
  }
}

// Keys whose values must all be null.
void ExpectNull(const std::string& json, const std::vector<const char*>& keys) {
  for (const char* key : keys) EXPECT_FALSE(JsonField(json, key).has_value()) << key;
}

TEST_F(FlightFiguresTest, UndefinedSamplesLeaveTheOtherFiguresAlone) {
  // Readings of 30 counts or less with an offset of -128 give a negative pressure: an altitude
  // that is not a number. The window's smoothing carries such a value on through every later
  // window, so the velocity is undefined from 4 s before the first one.
  BuiltFlight flight;
  for (int& r : flight.readings) r += 128;
  DeviceSettings settings;
  settings.adcOffset = -128;
  settings.Pack();
  const auto undefinedAt = [&](std::initializer_list<double> seconds) {
    BuiltFlight copy = flight;
    for (const double t : seconds) copy.readings[static_cast<std::size_t>(std::lround(t * 10))] = 10;
    return copy.Packets();
  };
  const auto known = KnownFigures(BuiltFlight(), tool::kMetric);

  // In the descent, after landing and as the very last sample: every figure as without them.
  Stats run = RunStats(undefinedAt({30.0, 66.5, 71.0}), settings, {L"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  ExpectFigures(run.out, known, "descent");

  // On the pad as well: no velocity anywhere, everything else as before.
  run = RunStats(undefinedAt({0.5, 30.0}), settings, {L"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  ExpectNull(run.out, {"peak_velocity_km_h", "peak_velocity_m_s", "peak_velocity_s", "burnout_s",
                       "smoothed_peak_velocity_km_h"});
  std::vector<Expected> rest;
  for (const Expected& e : known)
    if (std::string(e.key).find("velocity") == std::string::npos && std::string(e.key) != "burnout_s") rest.push_back(e);
  ExpectFigures(run.out, rest, "pad");

  // The ground itself undefined: nothing is above ground, and nothing fails.
  run = RunStats(undefinedAt({0.0}), settings, {L"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  ExpectNull(run.out, {"apogee_m", "peak_velocity_km_h", "launch_s", "landing_s", "descent_rate_m_s"});
  EXPECT_EQ(run.out.find("nan"), std::string::npos) << run.out;
  const Stats text = RunStats(undefinedAt({0.0}), settings, {});
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out.find("nan"), std::string::npos) << text.out;
}

TEST_F(FlightFiguresTest, FlightThatNeverLeavesTheGround) {
  // A rocket on the pad for 10 s, its reading wandering a count either way.
  std::vector<int> readings;
  for (int i = 0; i < 100; ++i) readings.push_back(BuiltFlight::kGroundCount + (i % 4 == 1) - (i % 4 == 3));
  PacketList packets;
  testing::AppendFlight(packets, readings);
  const double step = AdcToAltitude(BuiltFlight::kGroundCount - 1, 0) - AdcToAltitude(BuiltFlight::kGroundCount, 0);

  const Stats run = RunStats(packets, DeviceSettings(), {L"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_LE(*JsonField(run.out, "apogee_m"), step * 1.0001);
  ExpectNull(run.out, {"launch_s", "launch_to_apogee_s", "landing_s", "flight_duration_s", "descent_rate_m_s",
                       "final_descent_rate_m_s", "end_altitude_m"});

  const Stats text = RunStats(packets, DeviceSettings(), {L"--units", L"ft"});
  EXPECT_NE(text.out.find("launch              none: the altitude never rose "), std::string::npos) << text.out;
  EXPECT_EQ(text.out.find("landing"), std::string::npos) << text.out;
}

TEST_F(FlightFiguresTest, OneSampleSet) {
  PacketList packets;
  testing::AppendFlight(packets, {BuiltFlight::kGroundCount});
  const Stats run = RunStats(packets, DeviceSettings(), {L"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(JsonField(run.out, "samples"), 1);
  EXPECT_EQ(JsonField(run.out, "apogee_m"), 0);
  EXPECT_EQ(JsonField(run.out, "apogee_s"), 0);
  ExpectNull(run.out, {"launch_s", "landing_s", "descent_rate_m_s"});
  EXPECT_EQ(run.out.find("nan"), std::string::npos) << run.out;
}

TEST_F(FlightFiguresTest, RecordingThatEndsInTheAir) {
  // Memory full on the way down: no landing, and the height where the recording stops.
  BuiltFlight flight;
  flight.readings.resize(static_cast<std::size_t>(BuiltFlight::kLineBOn * 10) + 1);
  flight.flags.resize(flight.readings.size());
  const Stats run = RunStats(flight.Packets(), DeviceSettings(), {L"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  ExpectNull(run.out, {"landing_s", "flight_duration_s", "descent_rate_m_s", "final_descent_rate_m_s"});
  const double height = flight.Height(BuiltFlight::kLineBOn);
  EXPECT_NEAR(*JsonField(run.out, "end_altitude_m"), height, flight.Step(height));
  EXPECT_EQ(JsonField(run.out, "launch_s"), BuiltFlight::kLiftoff);
}

}  // namespace
}  // namespace tev
