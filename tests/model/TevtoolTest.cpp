#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Flights.h"
#include "TempDir.h"
#include "model/CsvExport.h"
#include "model/DataFile.h"
#include "model/DebugLog.h"
#include "tools/tevtool/Tool.h"

namespace tev {
namespace {

using testing::AppendFlight;
using testing::Readings;
using testing::TempDir;

struct ToolRun {
  int status;
  std::string out, err;
};

ToolRun Tool(const std::vector<std::wstring>& args) {
  std::ostringstream out, err;
  const int status = tool::RunTool(args, out, err);
  return {status, out.str(), err.str()};
}

// Saved files hold one set; this one, written by hand, holds two, and settings with an offset.
struct TwoSetFile {
  TempDir dir;
  std::wstring path = dir.File(L"two.tev");
  PacketList packets;
  DeviceSettings settings;
  TwoSetFile() {
    AppendFlight(packets, Readings(35, 800), {0, 2});
    std::vector<int> adc;
    for (int i = 0; i < 70; ++i) adc.push_back(830 - i);
    AppendFlight(packets, adc);
    settings.adcOffset = 4;
    settings.Pack();
    std::string bytes("\x78\x5A\xA7\xFF\x32\x04\x82\x4C\x93\x9F\x89\x2D\x31\xA4\x7A\xBC\x00\x01\x20\x01\x40\x01\x40\x01", 24);
    bytes += static_cast<char>(packets.size());
    bytes += '\0';
    for (const auto& p : packets) bytes.append(p.bytes.begin(), p.bytes.end());
    bytes.append(settings.image.begin(), settings.image.end());
    testing::WriteAll(path, bytes);
  }
};

TEST(Tevtool, CsvOfAnySetMatchesTheExport) {
  TwoSetFile file;
  for (int set : {0, 1}) {
    DataSet expectedSet;
    BuildDataSet(file.packets, expectedSet, FindSetStart(file.packets, set), file.settings, set);
    std::string expected;
    WriteCsv(expectedSet, [&](std::string_view bytes) { return expected.append(bytes), true; });

    const ToolRun toStdout = Tool({L"csv", file.path, std::to_wstring(set)});
    EXPECT_EQ(toStdout.status, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, expected);
    EXPECT_EQ(toStdout.err, "");

    const std::wstring csv = file.dir.File(L"set.csv");
    const ToolRun toFile = Tool({L"csv", L"-o", csv, file.path, std::to_wstring(set)});
    EXPECT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(testing::ReadAll(csv), expected);
  }
}

TEST(Tevtool, InfoListsSetsAndSettings) {
  TwoSetFile file;
  const ToolRun run = Tool({L"info", file.path});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("packets: 5\nsets: 2\nset 0: first packet 0, 35 samples\nset 1: first packet 2, 70 samples\n"),
            std::string::npos)
      << run.out;
  for (const char* line : {"maxReadings: 992\n", "adcOffset: 4\n", "lineAMode: 2 (Apogee)\n", "lineBMode: 3 (Altitude)\n",
                           "lineAValue: 150\n", "inhibitTenths: 20\n", "preservedFlag: 255\n"})
    EXPECT_NE(run.out.find(line), std::string::npos) << line;
  const std::uint16_t sum = DeviceSettings::ComputeChecksum(file.settings.image);
  char checksum[32];
  std::snprintf(checksum, sizeof checksum, "checksum: 0x%04x (valid)\n", sum);
  EXPECT_NE(run.out.find(checksum), std::string::npos) << run.out;
}

TEST(Tevtool, BadInputGivesOneLineAndStatusOne) {
  TwoSetFile file;
  const std::wstring missing = file.dir.File(L"missing.tev");
  const std::wstring unwritable = file.dir.File(L"no-folder/out.csv");
  const std::vector<std::vector<std::wstring>> cases = {
      {},
      {L"explode"},
      {L"csv"},
      {L"csv", missing},
      {L"csv", file.path, L"2"},
      {L"csv", file.path, L"-1"},
      {L"csv", file.path, L"1x"},
      {L"csv", file.path, L"0", L"extra"},
      {L"csv", file.path, L"-o"},
      {L"csv", file.path, L"-o", unwritable},
      {L"info"},
      {L"info", missing},
      {L"info", file.path, file.path},
  };
  for (const auto& args : cases) {
    const ToolRun run = Tool(args);
    const std::string shown = args.empty() ? "(none)" : tool::Narrow(args[0]) + " ...";
    EXPECT_EQ(run.status, 1) << shown;
    EXPECT_EQ(run.out, "") << shown;
    EXPECT_EQ(run.err.rfind("tevtool: ", 0), 0u) << shown << ": " << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << shown << ": " << run.err;
  }
  EXPECT_NE(Tool({L"csv", file.path, L"2"}).err.find("no set 2"), std::string::npos);
}

TEST(Tevtool, HelpGoesToStandardOutput) {
  const ToolRun run = Tool({L"-h"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("usage: tevtool"), std::string::npos);
  EXPECT_NE(run.out.find("tevtool csv FILE.tev [SET] [-o OUT.csv]"), std::string::npos);
  EXPECT_EQ(run.err, "");
}

TEST(Tevtool, DiagnosticsOnlyWithVerboseAndOnlyOnStandardError) {
  TwoSetFile file;
  std::vector<std::string> before;
  auto previous = SetDebugLogSink([&](std::string_view line) { before.emplace_back(line); });

  const ToolRun quiet = Tool({L"csv", file.path});
  EXPECT_EQ(quiet.err, "");
  EXPECT_EQ(quiet.out.find("Correct version."), std::string::npos);

  const ToolRun verbose = Tool({L"csv", file.path, L"-v"});
  EXPECT_EQ(verbose.status, 0);
  EXPECT_EQ(verbose.out, quiet.out);
  EXPECT_NE(verbose.err.find("Correct version.\nPacket count: 5\n"), std::string::npos) << verbose.err;

  // The run's routing ends with the run.
  DebugLog("after");
  SetDebugLogSink(std::move(previous));
  EXPECT_EQ(before, std::vector<std::string>{"after"});
}

}  // namespace
}  // namespace tev
