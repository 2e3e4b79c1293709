// tevtool report in-process: the page holds every flight that could be read and names the rest
// on standard error, compares with a simulation, and fails only when nothing was read; tevtool
// plot --sim draws the simulation dashed with a legend. (The page in a real browser, and that it
// loads nothing from elsewhere, are checked by the report_browser and report_standalone tests.)
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "tests/tevtool/BuiltFlight.h"
#include "tests/tevtool/StatsJson.h"
#include "tests/support/ToolRun.h"
#include "tools/tevtool/ReportBuilder.h"
#include "tools/tevtool/TextFormat.h"

namespace tev {
namespace {

using testing::RunTevtool;
using testing::ToolRun;

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class ReportCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    flight_ = testing::SaveFlight(dir_, L"flight.tev", testing::BuiltFlight().Packets(), DeviceSettings());
    sim_ = dir_.File(L"sim.csv");
    // Launch after a second on the pad, apogee 500 m at 9 s, down at 59 s: 10 m/s.
    testing::WriteAll(sim_, "# Time (s),Altitude (m),Vertical velocity (m/s)\n0,0,0\n1,0,0\n3,200,150\n9,500,0\n59,0,-10\n");
    page_ = dir_.File(L"report.html");
  }
  std::string ApogeeOfStats(const std::wstring& units) {
    const ToolRun stats = RunTevtool({L"stats", flight_, L"--json", L"--units", units});
    return tool::Fixed(*testing::JsonField(stats.out, "apogee_" + tool::Narrow(units)), 1);
  }

  QuietLog quiet_;
  testing::TempDir dir_;
  std::wstring flight_, sim_, page_;
};

TEST_F(ReportCommandTest, ReadableFlightsMakeThePageAndEachUnreadableFileGetsOneLine) {
  const std::wstring notOurs = dir_.File(L"notours.tev");
  testing::WriteAll(notOurs, "Time, ADC\n0,836\n");
  const std::wstring missing = dir_.File(L"missing.tev");
  const ToolRun run = RunTevtool({L"report", notOurs, flight_, missing, L"-o", page_});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
  EXPECT_NE(run.err.find(tool::Narrow(notOurs)), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(tool::Narrow(missing)), std::string::npos) << run.err;

  const std::string page = testing::ReadAll(page_);
  EXPECT_EQ(Count(page, "<tr><th scope=\"row\"><bdi>flight.tev</bdi></th>"), 1u);
  EXPECT_NE(page.find("<td>" + ApogeeOfStats(L"m") + "</td>"), std::string::npos);
  EXPECT_EQ(Count(page, "<svg "), 2u);  // the flight's plot and the overlay
  EXPECT_EQ(Count(page, "role=\"img\""), 2u);
  EXPECT_EQ(page.find("notours"), std::string::npos);
  EXPECT_EQ(page.find("Flights against the simulation"), std::string::npos);
}

TEST_F(ReportCommandTest, EverySetOfAFileHasItsRowAndTheOverlayHoldsTheFlightsThatLaunched) {
  PacketList packets;
  testing::AppendFlight(packets, testing::BuiltFlight().readings);
  testing::AppendFlight(packets, std::vector<int>(50, testing::BuiltFlight::kGroundCount));
  const std::wstring two = testing::SaveAllSets(dir_, L"two.tev", packets);
  const ToolRun run = RunTevtool({L"report", two, L"-o", page_});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string page = testing::ReadAll(page_);
  EXPECT_EQ(Count(page, "<tr><th scope=\"row\"><bdi>two.tev</bdi></th><td class=\"text\">1</td>"), 1u);
  // Set 2 never leaves the ground: a row without time to apogee, but no plot and no curve in the
  // overlay's legend.
  EXPECT_EQ(Count(page, "<tr><th scope=\"row\"><bdi>two.tev</bdi></th><td class=\"text\">2</td>"), 1u);
  EXPECT_NE(page.find("<td>none</td>"), std::string::npos);
  EXPECT_EQ(Count(page, ">\u2068two.tev\u2069, set 1</text>"), 1u);
  EXPECT_EQ(Count(page, ">\u2068two.tev\u2069, set 2</text>"), 0u);
  EXPECT_EQ(Count(page, "<h2><bdi>two.tev</bdi>, set 1</h2>"), 1u);
  EXPECT_EQ(Count(page, "<h2><bdi>two.tev</bdi>, set 2</h2>"), 0u);
  EXPECT_NE(page.find("1 set never left the ground: a row in the table, no plot."), std::string::npos);
  EXPECT_EQ(Count(page, "<svg "), 2u);
}

TEST_F(ReportCommandTest, ASimulationIsComparedInTheChosenUnits) {
  struct Case {
    const wchar_t* units;
    double simApogee;
    const char* simDescent;
  };
  for (const Case& c : {Case{L"m", 500, "10.0"}, Case{L"ft", 500 / 0.3048, "32.8"}}) {
    const ToolRun run = RunTevtool({L"report", flight_, L"--sim", sim_, L"--units", c.units, L"-o", page_});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string page = testing::ReadAll(page_);
    const std::string flown = ApogeeOfStats(c.units);
    const double percent = (std::stod(flown) - c.simApogee) / c.simApogee * 100;
    const std::string row = "<tr><th scope=\"row\"><bdi>flight.tev</bdi>, set 1</th><td>" + tool::Fixed(c.simApogee, 1) + "</td><td>" +
                            flown + "</td><td>+" + tool::Fixed(percent, 1) + "</td><td>8.0</td>";
    EXPECT_NE(page.find(row), std::string::npos) << row;
    EXPECT_NE(page.find("<td>" + std::string(c.simDescent) + "</td>"), std::string::npos);
    EXPECT_NE(page.find("Peak velocity simulated"), std::string::npos);
    EXPECT_EQ(Count(page, "stroke-dasharray"), 4u);  // in the plot, the overlay and both legends
  }
}

TEST_F(ReportCommandTest, EveryFileNameIsSetApartAndNoneBecomesMarkup) {
  struct Case {
    std::string stem;   // of the flight (.tev) and the simulation (.csv), as bytes
    std::string shown;  // as the page writes it
  };
  std::vector<Case> cases = {
      {"ab\u202Egnp", "ab\u202Egnp"},  // a right-to-left override
      {"x&amp;", "x&amp;amp;"},
      {"\u05D8\u05E1\u05D8", "\u05D8\u05E1\u05D8"},  // Hebrew, right to left by itself
  };
#ifndef _WIN32
  cases.push_back({"<b>x", "&lt;b&gt;x"});  // no Windows name holds < or >
  cases.push_back({"caf\xE9", "caf\\xe9"});  // not UTF-8: opened by its bytes, shown escaped
#endif
  // The name as the command line gives it.
  const auto path = [&](const std::string& bytes) {
#ifdef _WIN32
    return dir_.File(Utf8ToWide(bytes));
#else
    return PathBytesToWide((dir_.Path() / bytes).string());
#endif
  };
  for (const Case& c : cases) {
    const std::wstring flight = path(c.stem + ".tev"), sim = path(c.stem + ".csv");
    testing::WriteAll(flight, testing::ReadAll(flight_));
    testing::WriteAll(sim, testing::ReadAll(sim_));
    const ToolRun run = RunTevtool({L"report", flight, L"--sim", sim, L"-o", page_});
    ASSERT_EQ(run.status, 0) << c.shown << ": " << run.err;
    const std::string page = testing::ReadAll(page_);
    for (const std::string& name : {c.shown + ".tev", c.shown + ".csv"}) {
      // In the page's text within <bdi>, in its pictures between the isolating marks; nowhere bare.
      const std::size_t html = Count(page, "<bdi>" + name + "</bdi>");
      const std::size_t svg = Count(page, "\u2068" + name + "\u2069");
      EXPECT_GE(html, 2u) << name;  // a table row and a heading or the introduction at least
      EXPECT_GE(svg, 2u) << name;   // a caption or a legend, and a title
      EXPECT_EQ(Count(page, name), html + svg) << name;
    }
    EXPECT_EQ(page.find("<b>"), std::string::npos);
    std::filesystem::remove(ToFsPath(flight));
  }
}

TEST_F(ReportCommandTest, ThousandsOfSetsThatNeverLaunchedGiveRowsWithoutPicturesInLinearTime) {
  // 16,384 one-packet sets on the ground: a pass over the file per set made stats and report
  // grow with the square of the sets, and every set had its plot.
  const int sets = 16384;
  PacketList packets;
  for (int i = 0; i < sets; ++i) testing::AppendFlight(packets, std::vector<int>(31, testing::BuiltFlight::kGroundCount));
  const std::wstring many = testing::SaveAllSets(dir_, L"many.tev", packets);
  const auto seconds = [](auto run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };

  ToolRun report{}, stats{};
  // Linear work takes a few seconds under the sanitizers; the bounds leave room for a busy machine.
  EXPECT_LT(seconds([&] { report = RunTevtool({L"report", many, L"-o", page_}); }), 30.0);
  ASSERT_EQ(report.status, 0) << report.err;
  const std::string page = testing::ReadAll(page_);
  EXPECT_EQ(Count(page, "<tr><th scope=\"row\"><bdi>many.tev</bdi></th>"), static_cast<std::size_t>(sets));
  EXPECT_EQ(Count(page, "<svg "), 1u);  // the overlay alone
  EXPECT_NE(page.find("16384 sets never left the ground: a row in the table, no plot."), std::string::npos);
  EXPECT_LT(page.size(), 300u * sets);

  EXPECT_LT(seconds([&] { stats = RunTevtool({L"stats", many, L"--json"}); }), 30.0);
  ASSERT_EQ(stats.status, 0) << stats.err;
  EXPECT_EQ(std::count(stats.out.begin(), stats.out.end(), '\n'), sets);
  EXPECT_NE(stats.out.find("\"set\":16384,"), std::string::npos);
}

TEST_F(ReportCommandTest, NothingReadableOrABadSimulationWritesNoPage) {
  const std::wstring badSim = dir_.File(L"bad.csv");
  testing::WriteAll(badSim, "Time (s),Altitude (m)\n0,0\n1,x\n");
  const std::vector<std::pair<std::vector<std::wstring>, int>> cases = {
      {{L"report", dir_.File(L"a.tev"), dir_.File(L"b.tev"), L"-o", page_}, 3},
      {{L"report", flight_, L"--sim", badSim, L"-o", page_}, 1},
      {{L"report", flight_, L"--sim", dir_.File(L"none.csv"), L"-o", page_}, 1},
      {{L"report", flight_}, 1},
      {{L"report", L"-o", page_}, 1},
      {{L"report", flight_, L"--units", L"yd", L"-o", page_}, 1},
      {{L"report", flight_, L"-o", page_, L"-o", page_}, 1},
      {{L"report", flight_, L"-o", dir_.File(L"no-folder/r.html")}, 1},
      {{L"plot", flight_, L"-o", page_, L"--sim", badSim}, 1},
      {{L"plot", flight_, L"-o", page_, L"--sim"}, 1},
  };
  for (const auto& [args, lines] : cases) {
    std::string shown;
    for (const auto& a : args) shown += tool::Narrow(a) + " ";
    const ToolRun run = RunTevtool(args);
    EXPECT_EQ(run.status, 1) << shown;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), lines) << shown << ": " << run.err;
    EXPECT_EQ(run.err.rfind("tevtool: ", 0), 0u) << shown << ": " << run.err;
    EXPECT_FALSE(std::filesystem::exists(ToFsPath(page_))) << shown;
  }
}

// Each row is dated the UTC day its file was last written; the page's caller gives the time the
// browser knows, tevtool the file's own.
TEST_F(ReportCommandTest, EachFlightIsDatedTheDayItsFileWasWritten) {
  using namespace std::chrono;
  const sys_seconds written = sys_days(2026y / May / 1) + 23h + 59min + 59s;
  std::filesystem::last_write_time(ToFsPath(flight_), file_clock::from_sys(written));
  ASSERT_EQ(RunTevtool({L"report", flight_, L"-o", page_}).status, 0);
  EXPECT_EQ(Count(testing::ReadAll(page_), "<td class=\"text\">2026-05-01</td>"), 1u);

  const struct {
    sys_seconds time;
    const char* date;
  } days[] = {
      {sys_seconds(0s), "1970-01-01"},
      {sys_seconds(-1s), "1969-12-31"},  // before 1970 the day is not rounded towards it
      {sys_days(2024y / February / 29) + 86399s, "2024-02-29"},
      {sys_days(2024y / February / 29) + 86400s, "2024-03-01"},
  };
  for (const auto& d : days) EXPECT_EQ(tool::UtcDate(d.time), d.date) << d.date;
}

TEST_F(ReportCommandTest, PlotDrawsTheSimulationDashedWithALegend) {
  const std::wstring svg = dir_.File(L"flight.svg");
  ASSERT_EQ(RunTevtool({L"plot", flight_, L"-o", svg}).status, 0);
  EXPECT_EQ(Count(testing::ReadAll(svg), "stroke-dasharray"), 0u);
  const ToolRun run = RunTevtool({L"plot", flight_, L"-o", svg, L"--sim", sim_});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string picture = testing::ReadAll(svg);
  EXPECT_EQ(Count(picture, "stroke-dasharray"), 2u);  // the curve and its stretch in the legend
  EXPECT_NE(picture.find(">Simulation: \u2068sim.csv\u2069</text>"), std::string::npos);
  EXPECT_NE(picture.find(">Flight altitude</text>"), std::string::npos);
}

}  // namespace
}  // namespace tev
