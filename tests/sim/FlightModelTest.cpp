#include "sim/FlightModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sim/SensorModel.h"

namespace tev::sim {
namespace {

// Readings of an ideal flight without noise: climb to apogeeM over riseS seconds, fall at
// descentMps, then sit on the ground; padS seconds on the pad first.
std::vector<int> IdealFlight(double groundMsl, double apogeeM, double riseS, double descentMps, double padS = 3) {
  std::vector<int> r;
  auto add = [&](double h) { r.push_back(static_cast<int>(std::lround(ReadingForAltitude(groundMsl + h)))); };
  for (double t = 0; t < padS; t += 0.1) add(0);
  for (double t = 0; t < riseS; t += 0.1) add(apogeeM * (1 - (1 - t / riseS) * (1 - t / riseS)));
  for (double h = apogeeM; h > 0; h -= descentMps / 10) add(h);
  for (int i = 0; i < 80; ++i) add(0);
  return r;
}

struct Fed {
  std::vector<std::pair<int, FlightEvent>> events;  // (sample index, event)
  int Tenths(std::uint8_t code, int launchIndex) const {
    for (auto& [i, e] : events)
      if (e.code == code) return i - launchIndex;
    return -1;
  }
};

Fed FeedAll(const std::vector<int>& readings, const FlightSettings& settings) {
  FlightLogic logic(settings);
  Fed fed;
  for (int i = 0; i < static_cast<int>(readings.size()) && !logic.Ended(); ++i)
    for (const auto& e : logic.Feed(readings[i])) fed.events.push_back({i, e});
  return fed;
}

TEST(FlightLogic, FiresLinesByTheirModes) {
  const auto readings = IdealFlight(300, 400, 8, 8);  // apogee 8 s after leaving the pad
  struct Case {
    const char* what;
    LineMode aMode;
    std::uint16_t aValue;
    LineMode bMode;
    std::uint16_t bValue;
    std::uint16_t inhibit;
  } cases[] = {
      {"defaults: A at apogee, B at 150 m going down", LineMode::Apogee, 150, LineMode::Altitude, 150, 20},
      {"A by time 5.0 s, B disabled", LineMode::Time, 50, LineMode::Disabled, 0, 20},
      {"time inside the inhibit waits for it", LineMode::Time, 5, LineMode::Apogee, 0, 30},
      {"altitude above apogee fires at apogee", LineMode::Apogee, 0, LineMode::Altitude, 1000, 20},
      {"both disabled", LineMode::Disabled, 0, LineMode::Disabled, 0, 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FlightSettings s;
    s.lineAMode = c.aMode;
    s.lineAValue = c.aValue;
    s.lineBMode = c.bMode;
    s.lineBValue = c.bValue;
    s.inhibitTenths = c.inhibit;
    const Fed fed = FeedAll(readings, s);
    ASSERT_FALSE(fed.events.empty());
    ASSERT_EQ(fed.events.front().second.code, kEventLaunch);
    EXPECT_EQ(fed.events.back().second.code, kEventEndOfLaunch);
    const int launch = fed.events.front().first;
    const int apogee = fed.Tenths(kEventApogee, launch);
    // Launch is seen within a second of leaving the pad, apogee once the reading has turned a
    // count, within two seconds after the top.
    EXPECT_GE(launch, 30);
    EXPECT_LE(launch, 40);
    EXPECT_GE(apogee + launch, 30 + 80);
    EXPECT_LE(apogee + launch, 30 + 80 + 20);
    auto expected = [&](LineMode mode, std::uint16_t value) {
      switch (mode) {
        case LineMode::Apogee: return apogee;
        case LineMode::Time: return std::max<int>(value, c.inhibit);
        case LineMode::Altitude: return value >= 400 ? apogee : apogee + static_cast<int>((400 - value) / 0.8);
        default: return -1;
      }
    };
    const int a = fed.Tenths(kEventLineA, launch), b = fed.Tenths(kEventLineB, launch);
    if (c.aMode == LineMode::Altitude || c.bMode == LineMode::Altitude) {
      // Altitude is judged on a 1-count (about 9 m) grid: allow two seconds either way.
      EXPECT_NEAR(b, expected(c.bMode, c.bValue), 20);
      EXPECT_EQ(a, expected(c.aMode, c.aValue));
    } else {
      EXPECT_EQ(a, expected(c.aMode, c.aValue));
      EXPECT_EQ(b, expected(c.bMode, c.bValue));
    }
  }
}

TEST(FlightLogic, ApogeeReportsTheSlopeAndEndsOnceLanded) {
  const Fed fed = FeedAll(IdealFlight(100, 300, 7, 6), FlightSettings{});
  const auto apogee = std::find_if(fed.events.begin(), fed.events.end(), [](auto& e) { return e.second.code == kEventApogee; });
  ASSERT_NE(apogee, fed.events.end());
  const auto slope = static_cast<std::int16_t>(apogee->second.value);
  EXPECT_LE(std::abs(slope), 20);  // metres over the last second: nearly level at the top
  // The end comes after touchdown (3 s pad + 7 s climb + 50 s descent), not in mid-air.
  EXPECT_GT(fed.events.back().first, 30 + 70 + 300 / 6 * 10 - 10);
  EXPECT_EQ(fed.events.back().second.code, kEventEndOfLaunch);
}

TEST(FlightLogic, StaysOnThePadWithoutALaunchAndHonoursTheCalibrationOffset) {
  FlightLogic logic{FlightSettings{}};
  for (int i = 0; i < 200; ++i) EXPECT_TRUE(logic.Feed(836 + (i % 3) - 1).empty());
  EXPECT_FALSE(logic.Launched());

  // The offset shifts every reading alike: the same flight is seen the same way.
  FlightSettings shifted;
  shifted.adcOffset = -20;
  auto readings = IdealFlight(300, 400, 8, 8);
  for (int& r : readings) r += 20;
  EXPECT_EQ(FeedAll(readings, shifted).events.size(), FeedAll(IdealFlight(300, 400, 8, 8), FlightSettings{}).events.size());
}

TEST(FlightSettings, UnpacksTheSettingsBlock) {
  const SettingsImage image{0xE0, 0x03, 0xFF, 0x3C, 0x00, 0x14, 0x00, 0x50, 0xF6, 0x31, 0x2C, 0x01, 0x96, 0x00, 0, 0};
  const FlightSettings s = FlightSettings::FromImage(image);
  EXPECT_EQ(s.maxReadings, 992);
  EXPECT_EQ(s.inhibitTenths, 20);
  EXPECT_EQ(s.adcOffset, -10);
  EXPECT_EQ(s.lineAMode, LineMode::Time);
  EXPECT_EQ(s.lineBMode, LineMode::Altitude);
  EXPECT_EQ(s.lineAValue, 300);
  EXPECT_EQ(s.lineBValue, 150);
}

TEST(FlightModel, SampleFlightsAreRecordedAsTheDeviceStoresThem) {
  double lastApogee = 0;
  std::size_t lastSamples = 0;
  for (const auto& profile : SampleFlightProfiles()) {
    SCOPED_TRACE(profile.name);
    const PacketList packets = RecordFlight(FlyFlight(profile), FlightSettings{}, 7, kMemoryPackets);
    ASSERT_GE(packets.size(), 2u);
    std::vector<std::uint16_t> words;
    for (std::size_t k = 0; k < packets.size(); ++k) {
      EXPECT_EQ(packets[k].Type(), k == 0 ? kPacketTypeFlightStart : kPacketTypeContinuation);
      EXPECT_EQ(packets[k].bytes[1], 7);
      for (int j = 1; j <= kSamplesPerPacket; ++j) {
        const std::uint16_t w = packets[k].Word(j);
        if (w == kNoSample) {
          // Only the last packet ends early, and nothing follows the end mark.
          EXPECT_EQ(k, packets.size() - 1);
          for (int rest = j; rest <= kSamplesPerPacket; ++rest) EXPECT_EQ(packets[k].Word(rest), kNoSample);
          break;
        }
        EXPECT_EQ(w & 0xF, 0);
        words.push_back(w);
      }
    }
    ASSERT_LE(words.size(), 992u + kPreLaunchSamples);
    const int ground = SampleAdc(words[0]);
    int lowest = ground;
    bool lineA = false, lineB = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
      lowest = std::min(lowest, SampleAdc(words[i]));
      lineA |= (SampleLineFlags(words[i]) & 2) != 0;
      lineB |= (SampleLineFlags(words[i]) & 1) != 0;
      if (i < static_cast<std::size_t>(kPreLaunchSamples) / 2) {  // the pad, before the climb
        EXPECT_NEAR(SampleAdc(words[i]), ground, 2) << i;
      }
    }
    EXPECT_TRUE(lineA);
    EXPECT_TRUE(lineB);
    EXPECT_NEAR(SampleAdc(words.back()), ground, 2);  // landed
    const double apogee = AltitudeForReading(lowest) - AltitudeForReading(ground);
    // The samples are listed from low to high and from short to long.
    EXPECT_GT(apogee, lastApogee * 1.5);
    EXPECT_GT(words.size(), lastSamples);
    lastApogee = apogee;
    lastSamples = words.size();
  }
  EXPECT_GT(lastApogee, 1000);
}

TEST(FlightModel, SameSeedSameFlight) {
  FlightProfile p = *FindSampleFlight("park");
  EXPECT_EQ(FlyFlight(p), FlyFlight(p));
  const auto first = FlyFlight(p);
  p.seed += 1;
  EXPECT_NE(FlyFlight(p), first);
  EXPECT_EQ(FindSampleFlight("no such flight"), nullptr);
}

int Starts(const PacketList& packets) {
  return static_cast<int>(std::count_if(packets.begin(), packets.end(),
                                        [](const FlightPacket& p) { return p.Type() == kPacketTypeFlightStart; }));
}

TEST(FlightModel, MemoriesHoldFlightsBackToBackUpTo128Packets) {
  const FlightSettings s;
  const PacketList two = RecordMemory({*FindSampleFlight("hop"), *FindSampleFlight("park")}, s);
  EXPECT_EQ(Starts(two), 2);
  EXPECT_EQ(two[0].bytes[1], 1);
  EXPECT_EQ(two.back().bytes[1], 2);

  const PacketList full = RecordFullMemory(s);
  ASSERT_EQ(full.size(), kMemoryPackets);
  EXPECT_GE(Starts(full), 4);
  EXPECT_NE(full.back().Type(), kPacketTypeFlightStart);
  EXPECT_NE(full.back().Word(kSamplesPerPacket), kNoSample);  // cut short by the full memory

  EXPECT_TRUE(RecordFlight({836, 836, 836}, s, 1, kMemoryPackets).empty());  // never launched
}

}  // namespace
}  // namespace tev::sim
