// tevtool stats as people and scripts meet it: the text, every set in turn, a file whose settings
// checksum fails, and bad input. The figures themselves are checked in FlightFiguresTest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "tests/model/Flights.h"
#include "tests/tevtool/BuiltFlight.h"
#include "tests/tevtool/StatsJson.h"
#include "tests/support/ToolRun.h"

namespace tev {
namespace {

using testing::BuiltFlight;
using testing::JsonField;
using testing::RunTevtool;
using testing::SaveFlight;
using testing::ToolRun;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while ((at = line.find_first_not_of(' ', at)) != std::string::npos) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    words.push_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

bool IsDecimal(const std::string& word) {
  const std::string bare = word.substr(word.front() == '(' ? 1 : 0);
  if (bare.empty() || bare.rfind("0x", 0) == 0) return false;
  char* end = nullptr;
  std::strtod(bare.c_str(), &end);
  return end == bare.c_str() + bare.size();
}

class StatsCommandTest : public ::testing::Test {
 protected:
  QuietLog quiet_;
  testing::TempDir dir_;
  std::wstring flight_ = SaveFlight(dir_, L"flight.tev", BuiltFlight().Packets(), DeviceSettings());
};

TEST_F(StatsCommandTest, EveryFigureCarriesAUnitAndTheUnitsLineUp) {
  const std::set<std::string> units = {"m", "ft", "s", "km/h", "mph", "m/s", "ft/s", "counts", "samples", "per"};
  for (const wchar_t* system : {L"m", L"ft"}) {
    const ToolRun run = RunTevtool({L"stats", flight_, L"--units", system});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_GT(lines.size(), 15u);
    EXPECT_EQ(lines[0], tool::Narrow(flight_) + ", set 1");
    std::set<std::size_t> unitColumns;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const auto words = Words(lines[i]);
      for (std::size_t w = 0; w < words.size(); ++w) {
        if (!IsDecimal(words[w])) continue;
        ASSERT_LT(w + 1, words.size()) << lines[i];
        EXPECT_EQ(units.count(words[w + 1].substr(0, words[w + 1].find(')'))), 1u) << lines[i];
      }
      // A figure standing right after its label (not inside words) ends where all the others end.
      const auto first = std::find_if(words.begin(), words.end(), IsDecimal);
      if (first == words.end()) continue;
      std::size_t at = 0;
      for (auto w = words.begin(); w <= first; ++w) at = lines[i].find(*w, at) + (w == first ? 0 : w->size());
      if (at >= 2 && lines[i].compare(at - 2, 2, "  ") == 0) unitColumns.insert(at + first->size());
    }
    EXPECT_EQ(unitColumns.size(), 1u) << run.out;
  }
}

TEST_F(StatsCommandTest, EverySetInTurnOrTheOneAsked) {
  PacketList packets;
  testing::AppendFlight(packets, BuiltFlight().readings);
  testing::AppendFlight(packets, std::vector<int>(50, BuiltFlight::kGroundCount));
  const std::wstring two = testing::SaveAllSets(dir_, L"two.tev", packets);

  const ToolRun json = RunTevtool({L"stats", two, L"--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const auto objects = Lines(json.out);
  ASSERT_EQ(objects.size(), 2u) << json.out;
  EXPECT_EQ(JsonField(objects[0], "set"), 1);
  EXPECT_EQ(JsonField(objects[0], "samples"), static_cast<double>(BuiltFlight().readings.size()));
  EXPECT_EQ(JsonField(objects[1], "set"), 2);
  EXPECT_EQ(JsonField(objects[1], "samples"), 50);

  const ToolRun text = RunTevtool({L"stats", two});
  EXPECT_NE(text.out.find(", set 1\n"), std::string::npos);
  EXPECT_NE(text.out.find("\n\n" + tool::Narrow(two) + ", set 2\n"), std::string::npos) << text.out;

  const ToolRun one = RunTevtool({L"stats", two, L"2", L"--json"});
  ASSERT_EQ(Lines(one.out).size(), 1u);
  EXPECT_EQ(one.out, objects[1] + "\n");
}

TEST_F(StatsCommandTest, FailingChecksumGivesTheFiguresOfTheDefaultSettings) {
  DeviceSettings odd;
  odd.adcOffset = 40;  // would put the ground 300 m lower, if it were believed
  odd.lineBValue = 90;
  odd.Pack();
  const std::wstring broken = SaveFlight(dir_, L"broken.tev", BuiltFlight().Packets(), odd, /*breakChecksum=*/true);

  const ToolRun run = RunTevtool({L"stats", broken, L"--json"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_NE(run.err.find("default settings"), std::string::npos) << run.err;
  EXPECT_NE(run.out.find("\"checksum_valid\":false"), std::string::npos);
  EXPECT_NE(run.out.find("\"settings_used\":\"defaults\""), std::string::npos);
  EXPECT_EQ(JsonField(run.out, "adc_offset"), 40);  // the record as the file holds it
  EXPECT_EQ(JsonField(run.out, "value", "line_b"), 90);

  const ToolRun good = RunTevtool({L"stats", flight_, L"--json"});
  for (const char* key : {"apogee_m", "peak_velocity_km_h", "landing_s", "descent_rate_m_s"})
    EXPECT_EQ(JsonField(run.out, key), JsonField(good.out, key)) << key;

  const ToolRun text = RunTevtool({L"stats", broken});
  EXPECT_NE(text.out.find("invalid: the figures use the default settings"), std::string::npos) << text.out;
}

TEST_F(StatsCommandTest, ALineModeIsNamedByAStringAndNumberedByANumberKnownOrNot) {
  struct Case {
    LineMode mode;
    const char* json;
  };
  for (const Case& c : {Case{LineMode::Disabled, "\"mode\":\"Disabled\",\"mode_code\":0,"},
                        Case{LineMode::Altitude, "\"mode\":\"Altitude\",\"mode_code\":3,"},
                        Case{static_cast<LineMode>(4), "\"mode\":\"unknown\",\"mode_code\":4,"},
                        Case{static_cast<LineMode>(15), "\"mode\":\"unknown\",\"mode_code\":15,"}}) {
    DeviceSettings settings;
    settings.lineAMode = c.mode;
    settings.Pack();
    const std::wstring path = SaveFlight(dir_, L"mode.tev", BuiltFlight().Packets(), settings);
    const ToolRun run = RunTevtool({L"stats", path, L"--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"line_a\":{" + std::string(c.json)), std::string::npos) << run.out;
  }
}

TEST_F(StatsCommandTest, BadInputGivesOneLineAndStatusOne) {
  const std::wstring notOurs = dir_.File(L"notours.tev");
  testing::WriteAll(notOurs, "Time, ADC\n0,836\n");
  const std::wstring cut = dir_.File(L"cut.tev");
  testing::WriteAll(cut, testing::ReadAll(flight_).substr(0, 100));
  const std::wstring empty = SaveFlight(dir_, L"empty.tev", PacketList(), DeviceSettings());
  const std::wstring svg = dir_.File(L"out.svg");

  const std::vector<std::vector<std::wstring>> cases = {
      {L"stats"},
      {L"stats", dir_.File(L"missing.tev")},
      {L"stats", notOurs},
      {L"stats", cut},
      {L"stats", empty},
      {L"stats", flight_, L"2"},
      {L"stats", flight_, L"0"},
      {L"stats", flight_, L"one"},
      {L"stats", flight_, L"1", L"1"},
      {L"stats", flight_, L"--units"},
      {L"stats", flight_, L"--units", L"yd"},
      {L"plot", flight_},
      {L"plot", flight_, L"-o"},
      {L"plot", flight_, L"2", L"-o", svg},
      {L"plot", flight_, L"0", L"-o", svg},
      {L"plot", empty, L"-o", svg},
      {L"plot", cut, L"-o", svg},
      {L"plot", flight_, L"-o", svg, L"--units", L"km"},
      {L"plot", flight_, L"-o", svg, L"--size"},
      {L"plot", flight_, L"-o", svg, L"--size", L"1200"},
      {L"plot", flight_, L"-o", svg, L"--size", L"100x100"},
      {L"plot", flight_, L"-o", svg, L"--size", L"1200x90000"},
      {L"plot", flight_, L"-o", svg, L"--size", L"-1200x800"},
      {L"plot", flight_, L"-o", dir_.File(L"no-folder/out.svg")},
  };
  for (const auto& args : cases) {
    std::string shown;
    for (const auto& a : args) shown += tool::Narrow(a) + " ";
    const ToolRun run = RunTevtool(args);
    EXPECT_EQ(run.status, 1) << shown;
    EXPECT_EQ(run.out, "") << shown;
    EXPECT_EQ(run.err.rfind("tevtool: ", 0), 0u) << shown << ": " << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << shown << ": " << run.err;
    EXPECT_FALSE(std::filesystem::exists(ToFsPath(svg))) << shown;
  }
}

TEST_F(StatsCommandTest, SampleFlightsHaveEveryFigureInOrder) {
  int flights = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TEV_SAMPLES_DIR)) {
    if (entry.path().extension() != ".tev") continue;
    ++flights;
    const std::string name = entry.path().filename().string();
    const ToolRun run = RunTevtool({L"stats", Utf8ToWide(entry.path().string()), L"--json"});
    ASSERT_EQ(run.status, 0) << name << ": " << run.err;
    EXPECT_EQ(run.err, "") << name;
    for (const char* key : {"apogee_m", "peak_velocity_km_h", "launch_s", "landing_s", "descent_rate_m_s",
                            "final_descent_rate_m_s", "burnout_s"})
      EXPECT_TRUE(JsonField(run.out, key).has_value()) << name << ": " << key;
    // Every flight of the samples climbs, peaks, comes down under a parachute and lands.
    const double launch = *JsonField(run.out, "launch_s"), burnout = *JsonField(run.out, "burnout_s");
    const double apogee = *JsonField(run.out, "apogee_s"), landing = *JsonField(run.out, "landing_s");
    const double recording = *JsonField(run.out, "recording_s");
    EXPECT_TRUE(launch <= burnout && burnout < apogee && apogee < landing && landing < recording)
        << name << ": " << run.out;
    EXPECT_GT(*JsonField(run.out, "apogee_m"), 50) << name;
    EXPECT_GT(*JsonField(run.out, "descent_rate_m_s"), 2) << name;
    EXPECT_TRUE(JsonField(run.out, "fired_s", "line_a").has_value()) << name;  // at apogee
  }
  EXPECT_EQ(flights, 4);
}

TEST_F(StatsCommandTest, HelpNamesBothCommands) {
  const ToolRun run = RunTevtool({L"-h"});
  EXPECT_NE(run.out.find("tevtool stats FILE.tev [SET] [--units m|ft] [--json]"), std::string::npos);
  EXPECT_NE(run.out.find("tevtool plot FILE.tev [SET] -o FLIGHT.svg [--units m|ft] [--size WxH]"), std::string::npos);
}

}  // namespace
}  // namespace tev
