#include "model/CsvExport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Flights.h"
#include "tests/support/TempDir.h"
#include "model/NumberFormat.h"

namespace tev {
namespace {

using testing::AppendFlight;
using testing::ReadAll;
using testing::Readings;
using testing::TempDir;

const char kHeader[] =
    "Time, ADC, Voltage, Pressure, Altitude (MSL), Altitude (AGL), Smooth Velocity (km/h), Line A, Line B\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The example flight: ground reading 836, reading 512 at sample 123, line flags on a few samples.
PacketList ExampleFlight() {
  std::vector<int> adc = Readings(200, 836);
  adc[123] = 512;
  adc[150] = 850;
  std::vector<int> flags(200, 0);
  flags[10] = 1;
  flags[11] = 2;
  flags[12] = 3;
  PacketList packets;
  AppendFlight(packets, Readings(5, 700));  // set 0
  AppendFlight(packets, adc, flags);        // set 1
  return packets;
}

TEST(ExportCsv, HeaderAndRowsAsASpreadsheetReadsThem) {
  TempDir dir;
  const std::wstring path = dir.File(L"flight.csv");
  DataSet current;
  ASSERT_TRUE(ExportCsv(ExampleFlight(), DeviceSettings{}, current, 1, path));
  EXPECT_EQ(current.setNumber, 1);
  const std::string text = ReadAll(path);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  ASSERT_EQ(text.rfind(kHeader, 0), 0u);
  const auto lines = Lines(text);
  ASSERT_EQ(lines.size(), 201u);

  EXPECT_EQ(lines[1].rfind("0,836,4.08203,101.267,", 0), 0u) << lines[1];
  EXPECT_EQ(lines[1].substr(lines[1].size() - 6), ",0,0,,") << lines[1];  // AGL 0, velocity 0, no lines
  EXPECT_EQ(lines[124].rfind("12.3,512,2.5,66.1111,3459.05,3454.26,", 0), 0u) << lines[124];
  EXPECT_EQ(lines[151].rfind("15,850,", 0), 0u);
  EXPECT_NE(lines[151].find(",-"), std::string::npos) << "negative altitudes keep their sign";

  // Line flags: bit 1 is Line A, bit 0 is Line B.
  EXPECT_EQ(lines[11].substr(lines[11].size() - 8), ",,Line B") << lines[11];
  EXPECT_EQ(lines[12].substr(lines[12].size() - 8), ",Line A,") << lines[12];
  EXPECT_EQ(lines[13].substr(lines[13].size() - 14), ",Line A,Line B") << lines[13];

  // Time is i * 0.1 with 6 significant digits: no rounding noise anywhere.
  for (std::size_t i = 0; i < 200; ++i) {
    std::ostringstream expected;
    expected << i / 10;
    if (i % 10) expected << '.' << i % 10;
    EXPECT_EQ(lines[i + 1].substr(0, lines[i + 1].find(',')), expected.str()) << i;
    EXPECT_EQ(std::count(lines[i + 1].begin(), lines[i + 1].end(), ','), 8) << i;
  }
}

TEST(ExportCsv, MinusOneExportsTheCurrentSetAsItStands) {
  TempDir dir;
  DataSet current;
  ASSERT_TRUE(ExportCsv(ExampleFlight(), DeviceSettings{}, current, -1, dir.File(L"empty.csv")));
  EXPECT_EQ(ReadAll(dir.File(L"empty.csv")), kHeader);

  BuildDataSet(ExampleFlight(), current, 0, DeviceSettings{}, 0);
  ASSERT_TRUE(ExportCsv({}, DeviceSettings{}, current, -1, dir.File(L"current.csv")));
  EXPECT_EQ(Lines(ReadAll(dir.File(L"current.csv"))).size(), 6u);
  EXPECT_EQ(current.setNumber, 0);

  // A set without samples gives the header alone.
  ASSERT_TRUE(ExportCsv(ExampleFlight(), DeviceSettings{}, current, 7, dir.File(L"none.csv")));
  EXPECT_EQ(ReadAll(dir.File(L"none.csv")), kHeader);
}

TEST(ExportCsv, UnwritableTargetChangesNothing) {
  TempDir dir;
  DataSet current;
  BuildDataSet(ExampleFlight(), current, 0, DeviceSettings{}, 0);
  EXPECT_FALSE(ExportCsv(ExampleFlight(), DeviceSettings{}, current, 1, dir.File(L"missing/flight.csv")));
  EXPECT_EQ(current.setNumber, 0);  // not rebuilt
  EXPECT_EQ(current.adc.size(), 5u);
}

TEST(ExportCsv, ReplacesAnExistingFileWhole) {
  TempDir dir;
  const std::wstring path = dir.File(L"again.csv");
  testing::WriteAll(path, std::string(100000, 'x'));
  DataSet current;
  ASSERT_TRUE(ExportCsv(ExampleFlight(), DeviceSettings{}, current, 0, path));
  EXPECT_EQ(Lines(ReadAll(path)).size(), 6u);
  EXPECT_EQ(testing::CountEntries(dir.Path()), 1u);
}

TEST(WriteCsv, StopsAtTheFirstFailedWriteAndCopesWithUnevenSeries) {
  PacketList packets;
  AppendFlight(packets, Readings(5000, 800));
  DataSet set;
  BuildDataSet(packets, set, 0, DeviceSettings{}, 0);
  int calls = 0;
  EXPECT_FALSE(WriteCsv(set, [&](std::string_view) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);

  set.volts.resize(3);  // a hand-made set with a short series is read no further than it goes
  std::string text;
  EXPECT_TRUE(WriteCsv(set, [&](std::string_view bytes) { return text.append(bytes), true; }));
  EXPECT_EQ(Lines(text).size(), 4u);
}

}  // namespace
}  // namespace tev
