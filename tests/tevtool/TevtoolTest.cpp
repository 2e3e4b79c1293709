#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "model/CsvExport.h"
#include "model/DataFile.h"
#include "model/DebugLog.h"
#include "tests/model/Flights.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempDir.h"
#include "tests/support/ToolRun.h"

namespace tev {
namespace {

using testing::AppendFlight;
using testing::Readings;
using testing::RunTevtool;
using testing::TempDir;
using testing::ToolRun;

// A data file written by hand, so that it may hold anything.
std::string FileBytes(const PacketList& packets, const SettingsImage& image) {
  std::string bytes("\x78\x5A\xA7\xFF\x32\x04\x82\x4C\x93\x9F\x89\x2D\x31\xA4\x7A\xBC\x00\x01\x20\x01\x40\x01\x40\x01", 24);
  bytes += static_cast<char>(packets.size() & 0xFF);
  bytes += static_cast<char>(packets.size() >> 8);
  for (const auto& p : packets) bytes.append(p.bytes.begin(), p.bytes.end());
  bytes.append(image.begin(), image.end());
  return bytes;
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
    testing::WriteAll(path, FileBytes(packets, settings.image));
  }
};

TEST(Tevtool, CsvOfAnySetMatchesTheExport) {
  TwoSetFile file;
  for (int set : {0, 1}) {
    DataSet expectedSet;
    BuildDataSet(file.packets, expectedSet, FindSetStart(file.packets, set), file.settings, set);
    std::string expected;
    WriteCsv(expectedSet, [&](std::string_view bytes) { return expected.append(bytes), true; });

    // Typed as people count sets: from 1.
    const ToolRun toStdout = RunTevtool({L"csv", file.path, std::to_wstring(set + 1)});
    EXPECT_EQ(toStdout.status, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, expected);
    EXPECT_EQ(toStdout.err, "");

    const std::wstring csv = file.dir.File(L"set.csv");
    const ToolRun toFile = RunTevtool({L"csv", L"-o", csv, file.path, std::to_wstring(set + 1)});
    EXPECT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(testing::ReadAll(csv), expected);
  }
}

TEST(Tevtool, InfoListsSetsAndSettings) {
  TwoSetFile file;
  const ToolRun run = RunTevtool({L"info", file.path});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("packets: 5\nsets: 2\nset 1: first packet 0, 35 samples\nset 2: first packet 2, 70 samples\n"),
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
  const std::wstring noFlight = file.dir.File(L"empty.tev");
  testing::WriteAll(noFlight, FileBytes({}, DeviceSettings{}.image));
  const std::vector<std::vector<std::wstring>> cases = {
      {},
      {L"explode"},
      {L"csv"},
      {L"csv", missing},
      {L"csv", file.path, L"3"},
      {L"csv", file.path, L"0"},
      {L"csv", file.path, L"-1"},
      {L"csv", file.path, L"1x"},
      {L"csv", file.path, L"0", L"extra"},
      {L"csv", file.path, L"-o"},
      {L"csv", file.path, L"-o", unwritable},
      {L"info"},
      {L"info", missing},
      {L"info", file.path, file.path},
      {L"info", noFlight},
      {L"csv", noFlight},
      {L"info", file.dir.File(L"")},
      {L"csv", file.dir.File(L"")},
  };
  for (const auto& args : cases) {
    const ToolRun run = RunTevtool(args);
    const std::string shown = args.empty() ? "(none)" : tool::Narrow(args[0]) + " ...";
    EXPECT_EQ(run.status, 1) << shown;
    EXPECT_EQ(run.out, "") << shown;
    EXPECT_EQ(run.err.rfind("tevtool: ", 0), 0u) << shown << ": " << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << shown << ": " << run.err;
  }
  EXPECT_NE(RunTevtool({L"csv", file.path, L"3"}).err.find("no set 3 in"), std::string::npos);
  EXPECT_NE(RunTevtool({L"csv", file.path, L"0"}).err.find("numbered from 1"), std::string::npos);
  EXPECT_NE(RunTevtool({L"info", noFlight}).err.find("holds no flight"), std::string::npos);
  EXPECT_NE(RunTevtool({L"csv", file.dir.File(L"")}).err.find(" is a folder, not a TEV data file"), std::string::npos);
}

TEST(Tevtool, BadSettingsChecksumStillGivesTheFlight) {
  // As the program opens such a file: the flights with the default settings.
  TwoSetFile file;
  SettingsImage damaged = file.settings.image;
  damaged[15] ^= 0x40;
  const std::wstring path = file.dir.File(L"damaged.tev");
  testing::WriteAll(path, FileBytes(file.packets, damaged));

  DataSet expectedSet;
  BuildDataSet(file.packets, expectedSet, FindSetStart(file.packets, 1), DeviceSettings{}, 1);
  std::string expected;
  WriteCsv(expectedSet, [&](std::string_view bytes) { return expected.append(bytes), true; });
  const ToolRun csv = RunTevtool({L"csv", path, L"2"});
  EXPECT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out, expected);

  // info shows the fields as stored and says the checksum is bad.
  const ToolRun info = RunTevtool({L"info", path});
  EXPECT_EQ(info.status, 1);
  EXPECT_NE(info.out.find("sets: 2\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("adcOffset: 4\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find(" (invalid)\n"), std::string::npos) << info.out;
  EXPECT_NE(info.err.find("invalid settings checksum"), std::string::npos) << info.err;
}

TEST(Tevtool, InfoOnTheLargestFileTakesOnePass) {
  // 65,535 one-packet sets: a pass per set took half a minute.
  PacketList packets(0xFFFF, testing::MakePacket(kPacketTypeFlightStart, {testing::SampleWord(800)}));
  TempDir dir;
  const std::wstring path = dir.File(L"many.tev");
  testing::WriteAll(path, FileBytes(packets, DeviceSettings{}.image));
  const auto start = std::chrono::steady_clock::now();
  const ToolRun run = RunTevtool({L"info", path});
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("sets: 65535\n"), std::string::npos);
  EXPECT_NE(run.out.find("set 65535: first packet 65534, 1 samples\n"), std::string::npos);
  // Linear work takes a fraction of a second even under the sanitizers; the bound leaves room
  // for a busy machine.
  EXPECT_LT(seconds, 5.0);
}

TEST(Tevtool, HelpGoesToStandardOutput) {
  const ToolRun run = RunTevtool({L"-h"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("usage: tevtool"), std::string::npos);
  EXPECT_NE(run.out.find("tevtool csv FILE.tev [SET] [-o OUT.csv]"), std::string::npos);
  EXPECT_EQ(run.err, "");
}

TEST(Tevtool, DiagnosticsOnlyWithVerboseAndOnlyOnStandardError) {
  TwoSetFile file;
  LogCapture before;

  const ToolRun quiet = RunTevtool({L"csv", file.path});
  EXPECT_EQ(quiet.err, "");
  EXPECT_EQ(quiet.out.find("Correct version."), std::string::npos);

  const ToolRun verbose = RunTevtool({L"csv", file.path, L"-v"});
  EXPECT_EQ(verbose.status, 0);
  EXPECT_EQ(verbose.out, quiet.out);
  EXPECT_NE(verbose.err.find("Correct version.\nPacket count: 5\n"), std::string::npos) << verbose.err;

  // The run's routing ends with the run.
  DebugLog("after");
  EXPECT_EQ(before.Lines(), std::vector<std::string>{"after"});
}

}  // namespace
}  // namespace tev
