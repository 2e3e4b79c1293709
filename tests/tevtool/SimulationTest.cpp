// Simulation CSV files: what is read from good ones, the one line that refuses a bad one, and the
// figures and launch-aligned curve taken from a simulation.
#include <gtest/gtest.h>

#include <sstream>

#include "model/WidePath.h"
#include "tests/support/TempDir.h"
#include "tools/tevtool/SimulationFigures.h"
#include "tools/tevtool/SimulationFile.h"

namespace tev::tool {
namespace {

using namespace std::string_view_literals;

struct GoodFile {
  const char* what;
  const char* text;
  std::vector<double> seconds, metres, velocity;
};

TEST(SimulationFile, GoodFilesGiveSecondsMetresAndVelocity) {
  const GoodFile cases[] = {
      {"header in the last comment, events among the rows",
       "# Rocket\n# Time (s),Altitude (m),Vertical velocity (m/s)\n0,0,0\n# Event BURNOUT occurred\n0.5,10.5,40\n1,30,20\n",
       {0, 0.5, 1}, {0, 10.5, 30}, {0, 40, 20}},
      {"header as the first line, no velocity", "Time (s),Altitude (m)\n0,1\n1,2\n", {0, 1}, {1, 2}, {}},
      {"a comment that is not a header before a header line",
       "# exported 2026-05-01\nTime (s),Altitude (ft)\n0,0\n2,100\n", {0, 2}, {0, 30.48}, {}},
      {"semicolons, brackets, extra columns, other order, CRLF, spaces",
       "Mach number [ ];Altitude [km];Time [s];Vertical velocity [km/h]\r\n0.1; 0.2 ;0;36\r\n0.2;1.5;1;-72\r\n",
       {0, 1}, {200, 1500}, {10, -20}},
      {"quoted names, mph, exponent, plus sign, byte order mark",
       "\xEF\xBB\xBF\"Time (s)\",\"Altitude (m)\",\"Vertical velocity (mph)\"\n0,+1e1,10\n1,2.5E2,0\n",
       {0, 1}, {10, 250}, {4.4704, 0}},
      {"feet per second, equal times", "#Time (s),Altitude (m),Vertical velocity (ft/s)\n0,0,10\n0,0,20\n", {0, 0}, {0, 0},
       {3.048, 6.096}},
      {"lines ended by a carriage return alone", "Time (s),Altitude (m)\r0,0\r1,5\r\r2,7", {0, 1, 2}, {0, 5, 7}, {}},
      {"one sign, a point at either end, tiny and bounding values",
       "Time (s),Altitude (km)\n-.5,5.\n+0.,-1e3\n1e-400,1E-3\n", {-0.5, 0, 0}, {5000, -1e6, 1}, {}},
  };
  for (const GoodFile& c : cases) {
    SimulationProblem problem;
    const auto sim = ParseSimulation(c.text, problem);
    ASSERT_TRUE(sim) << c.what << ": line " << problem.line << ": " << problem.reason;
    ASSERT_EQ(sim->seconds.size(), c.seconds.size()) << c.what;
    ASSERT_EQ(sim->metresPerSecond.size(), c.velocity.size()) << c.what;
    for (std::size_t i = 0; i < c.seconds.size(); ++i) {
      EXPECT_DOUBLE_EQ(sim->seconds[i], c.seconds[i]) << c.what << " row " << i;
      EXPECT_NEAR(sim->metres[i], c.metres[i], 1e-9) << c.what << " row " << i;
      if (!c.velocity.empty()) {
        EXPECT_NEAR(sim->metresPerSecond[i], c.velocity[i], 1e-9) << c.what << " row " << i;
      }
    }
  }
}

struct BadFile {
  std::string_view text;  // may hold zero bytes
  int line;
  const char* reason;
};

TEST(SimulationFile, BadFilesAreRefusedNamingTheLineAndTheReason) {
  const BadFile cases[] = {
      {"", 1, "the file is empty"},
      {"\n\n", 1, "the file is empty"},
      {"# only\n# comments\n", 2, "no header and no data"},
      {"Time (s),Altitude (m)\n", 1, "no data after the header"},
      {"Time (s),Height (m)\n0,1\n", 1, "no Altitude column"},
      {"# Altitude (m),Velocity (m/s)\n0,1\n", 2, "no Time column"},
      {"Time (min),Altitude (m)\n0,1\n", 1, "unknown unit 'min' for the Time column"},
      {"Time (s),Altitude (yd)\n0,1\n", 1, "unknown unit 'yd' for the Altitude column"},
      {"Time (s),Altitude (m),Vertical velocity (knots)\n0,1,2\n", 1, "unknown unit 'knots'"},
      {"Time,Altitude (m)\n0,1\n", 1, "the Time column gives no unit"},
      {"Time (s),Altitude (m)\n0,1\n0.1,abc\n", 3, "the Altitude field is not a number: 'abc'"},
      {"Time (s);Altitude (m)\n0;1,5\n", 2, "the Altitude field is not a number: '1,5'"},
      {"Time (s),Altitude (m)\n0,1\n1,nan\n", 3, "not a number: 'nan'"},
      {"Time (s),Altitude (m)\n0,1\n1,\n", 3, "not a number: ''"},
      {"Time (s),Altitude (m)\n0,1\n1\n", 3, "the row has no Altitude field"},
      {"Time (s),Altitude (m),Vertical velocity (m/s)\n0,1,x\n", 2, "the Vertical velocity field is not a number"},
      {"Time (s),Altitude (m)\n0,1\n2,5\n# note\n1.5,6\n", 5, "time goes backwards: 1.5 after 2"},
      // A field is one optional sign and decimal digits (with a point, an exponent).
      {"Time (s),Altitude (m)\n0,+-5\n", 2, "the Altitude field is not a number: '+-5'"},
      {"Time (s),Altitude (m)\n0,--5\n", 2, "not a number: '--5'"},
      {"Time (s),Altitude (m)\n0,5-\n", 2, "not a number: '5-'"},
      {"Time (s),Altitude (m)\n0,.\n", 2, "not a number: '.'"},
      {"Time (s),Altitude (m)\n0,1e\n", 2, "not a number: '1e'"},
      {"Time (s),Altitude (m)\n0,1.2.3\n", 2, "not a number: '1.2.3'"},
      {"Time (s),Altitude (m)\n0,0x10\n", 2, "not a number: '0x10'"},
      {"Time (s),Altitude (m)\n0,1 000\n", 2, "not a number: '1 000'"},
      {"Time (s),Altitude (m)\n-inf,0\n", 2, "the Time field is not a number: '-inf'"},
      // Numbers no picture or table could show, as given or once converted.
      {"Time (s),Altitude (m)\n0,0\n1,1e308\n", 3, "the Altitude field is out of range: '1e308'"},
      {"Time (s),Altitude (km)\n0,1e306\n", 2, "the Altitude field is out of range: '1e306'"},
      {"Time (s),Altitude (m)\n0,-1e400\n", 2, "out of range: '-1e400'"},
      {"Time (s),Altitude (m)\n1e7,0\n", 2, "the Time field is out of range: '1e7'"},
      {"Time (s),Altitude (m),Vertical velocity (mph)\n0,0,9e99\n", 2, "the Vertical velocity field is out of range"},
      {"Time (s),Altitude (km)\n0,1000.001\n", 2, "out of range: '1000.001'"},
      // Text that is not UTF-8 is named, not misread.
      {"\xFF\xFET\0i\0m\0e\0 \0(\0s\0)\0"sv, 1, "the file is UTF-16 text: save it as UTF-8"},
      {"\xFE\xFF\0T\0i"sv, 1, "UTF-16"},
      {"T\0i\0m\0e\0 \0(\0s\0)\0,\0"sv, 1, "UTF-16"},
      {"\xFF\xFE\0\0T\0\0\0"sv, 1, "UTF-32"},
      {"Time (s),Altitude (m)\n0,0\0\x01\x02\x03\n"sv, 1, "binary data, not text"},
  };
  for (const BadFile& c : cases) {
    SimulationProblem problem;
    EXPECT_FALSE(ParseSimulation(c.text, problem)) << c.text;
    EXPECT_EQ(problem.line, c.line) << c.text;
    EXPECT_NE(problem.reason.find(c.reason), std::string::npos) << c.text << ": " << problem.reason;
  }
}

TEST(SimulationFile, LoadingSaysOneLineNamingTheFile) {
  testing::TempDir dir;
  const std::wstring bad = dir.File(L"bad.csv");
  testing::WriteAll(bad, "Time (s),Altitude (m)\n0,0\n1,x\n");
  const std::pair<std::wstring, std::string> cases[] = {
      {bad, "tevtool: " + WideToUtf8(bad) + " line 3: the Altitude field is not a number: 'x'\n"},
      {dir.File(L"missing.csv"), "tevtool: cannot open " + WideToUtf8(dir.File(L"missing.csv")) + "\n"},
      {dir.File(L""), "tevtool: " + WideToUtf8(dir.File(L"")) + " is a folder, not a simulation\n"},
#ifndef _WIN32
      // A device has no size to check first: the bound holds for what is read.
      {L"/dev/zero", "tevtool: /dev/zero is too large for a simulation (over 64 MB)\n"},
#endif
  };
  for (const auto& [path, line] : cases) {
    std::ostringstream err;
    Simulation sim;
    EXPECT_FALSE(LoadSimulation(path, sim, err));
    EXPECT_EQ(err.str(), line);
  }
  const std::wstring good = dir.File(L"good.csv");
  testing::WriteAll(good, "Time (s),Altitude (m)\n0,0\n1,5\n");
  std::ostringstream err;
  Simulation sim;
  ASSERT_TRUE(LoadSimulation(good, sim, err)) << err.str();
  EXPECT_EQ(sim.name, "good.csv");
}

#ifndef _WIN32
TEST(SimulationFile, ANameThatIsNotUtf8IsOpenedByItsBytesAndShownEscaped) {
  testing::TempDir dir;
  testing::WriteAll(PathBytesToWide((dir.Path() / "caf\xE9.csv").string()), "Time (s),Altitude (m)\n0,0\n1,5\n");
  // As a Linux command line gives it: bytes.
  const std::wstring name = PathBytesToWide((dir.Path() / "caf\xE9.csv").string());
  std::ostringstream err;
  Simulation sim;
  ASSERT_TRUE(LoadSimulation(name, sim, err)) << err.str();
  EXPECT_EQ(sim.name, "caf\\xe9.csv");
  EXPECT_EQ(sim.metres.size(), 2u);
  const std::wstring other = PathBytesToWide((dir.Path() / "caf\xE8.csv").string());
  EXPECT_FALSE(LoadSimulation(other, sim, err));
  EXPECT_NE(err.str().find("cannot open " + dir.Path().string() + "/caf\\xe8.csv\n"), std::string::npos) << err.str();
}
#endif

Simulation Sim(std::vector<double> seconds, std::vector<double> metres, std::vector<double> velocity = {}) {
  Simulation sim;
  sim.seconds = std::move(seconds);
  sim.metres = std::move(metres);
  sim.metresPerSecond = std::move(velocity);
  return sim;
}

TEST(SimulationFigures, PadTimeStartAltitudeAndLandingAreAccountedFor) {
  // Two seconds on a pad 100 m up (an altitude above sea level), apogee 300 m above it at 6 s,
  // back on the ground at 16 s, and a row after touchdown.
  const Simulation sim = Sim({0, 1, 2, 4, 6, 11, 16, 17}, {100, 100, 100, 250, 400, 250, 100, 100}, {0, 0, 0, 80, 0, -30, -30, 0});
  const SimulationFigures f = ComputeSimulationFigures(sim);
  ASSERT_TRUE(f.launchSeconds && f.apogee && f.descentRate && f.peakVelocity);
  EXPECT_DOUBLE_EQ(*f.launchSeconds, 2);
  EXPECT_DOUBLE_EQ(f.apogee->seconds, 6);
  EXPECT_DOUBLE_EQ(f.apogee->value, 300);
  EXPECT_DOUBLE_EQ(*f.descentRate, 30);
  EXPECT_DOUBLE_EQ(f.peakVelocity->value, 80);

  // Moved so that its launch falls on a flight's launch at 0.7 s, altitudes above the pad.
  const TimedCurve curve = AlignedAltitude(sim, f, 0.7);
  ASSERT_EQ(curve.seconds.size(), sim.seconds.size());
  EXPECT_DOUBLE_EQ(curve.seconds[2], 0.7);
  EXPECT_DOUBLE_EQ(curve.seconds[4], 4.7);
  EXPECT_DOUBLE_EQ(curve.metres[4], 300);
  EXPECT_DOUBLE_EQ(curve.metres[0], 0);
}

TEST(SimulationFigures, WhatTheSimulationDoesNotReachIsNone) {
  const SimulationFigures inAir = ComputeSimulationFigures(Sim({0, 1, 2}, {0, 50, 40}));
  ASSERT_TRUE(inAir.apogee);
  EXPECT_FALSE(inAir.descentRate);  // it ends in the air
  EXPECT_FALSE(inAir.peakVelocity);  // no velocity column
  const SimulationFigures onPad = ComputeSimulationFigures(Sim({0, 1}, {5, 5}));
  EXPECT_FALSE(onPad.apogee);
  EXPECT_FALSE(onPad.launchSeconds);
}

}  // namespace
}  // namespace tev::tool
