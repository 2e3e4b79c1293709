#include "model/DataFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Flights.h"
#include "tests/support/TempDir.h"
#include "model/CsvExport.h"
#include "model/DebugLog.h"
#include "tests/support/LogCapture.h"

namespace tev {
namespace {

using testing::AppendFlight;
using testing::MakePacket;
using testing::ReadAll;
using testing::Readings;
using testing::SampleWord;
using testing::TempDir;
using testing::WriteAll;

const std::string kHeader("\x78\x5A\xA7\xFF\x32\x04\x82\x4C\x93\x9F\x89\x2D\x31\xA4\x7A\xBC"
                          "\x00\x01\x20\x01\x40\x01\x40\x01",
                          24);

PacketList TwoFlights() {
  PacketList packets;
  AppendFlight(packets, Readings(40, 830), {2, 1});  // 2 packets
  AppendFlight(packets, Readings(70, 820));          // 3 packets
  return packets;
}

DeviceSettings CalibratedSettings() {
  DeviceSettings settings;
  settings.adcOffset = -7;
  settings.lineAMode = LineMode::Time;
  settings.lineAValue = 42;
  settings.Pack();
  return settings;
}

std::string Image(const DeviceSettings& settings) { return std::string(settings.image.begin(), settings.image.end()); }

std::string PacketBytes(const PacketList& packets, std::size_t from, std::size_t to) {
  std::string bytes;
  for (std::size_t i = from; i < to; ++i) bytes.append(packets[i].bytes.begin(), packets[i].bytes.end());
  return bytes;
}

TEST(DataFile, SavesOneSetByteForByteAndLoadsItBack) {
  TempDir dir;
  const PacketList packets = TwoFlights();
  const DeviceSettings settings = CalibratedSettings();

  const struct {
    int set;
    std::size_t from, to;
  } cases[] = {{0, 0, 2}, {1, 2, 5}};
  for (const auto& c : cases) {
    const std::wstring path = dir.File(L"set" + std::to_wstring(c.set) + L".tev");
    ASSERT_TRUE(SaveDataSetFile(packets, settings, c.set, path));
    const std::string count{static_cast<char>(c.to - c.from), 0};
    EXPECT_EQ(ReadAll(path), kHeader + count + PacketBytes(packets, c.from, c.to) + Image(settings)) << c.set;

    PacketList loaded = {MakePacket(2, {SampleWord(1)})};
    DeviceSettings loadedSettings;
    ASSERT_TRUE(LoadDataSetFile(path, loaded, loadedSettings));
    EXPECT_EQ(PacketBytes(loaded, 0, loaded.size()), PacketBytes(packets, c.from, c.to));
    EXPECT_EQ(loadedSettings.image, settings.image);
    EXPECT_EQ(loadedSettings.adcOffset, -7);
    EXPECT_EQ(loadedSettings.lineAMode, LineMode::Time);
  }
}

TEST(DataFile, SaveRefusesASetThatDoesNotExist) {
  // Such a file could never be opened again.
  TempDir dir;
  const std::wstring path = dir.File(L"none.tev");
  EXPECT_FALSE(SaveDataSetFile(TwoFlights(), DeviceSettings{}, 5, path));
  EXPECT_FALSE(SaveDataSetFile(PacketList{}, DeviceSettings{}, 0, path));
  EXPECT_EQ(testing::CountEntries(dir.Path()), 0u);
}

std::string Csv(const PacketList& packets, const DeviceSettings& settings) {
  DataSet set;
  BuildDataSet(packets, set, FindSetStart(packets, 0), settings, 0);
  std::string csv;
  WriteCsv(set, [&](std::string_view bytes) { return csv.append(bytes), true; });
  return csv;
}

TEST(DataFile, ErasedPacketInsideASetSurvivesOpenSaveOpen) {
  // A set from elsewhere with erased memory in its middle: what the plot and the CSV show of it
  // must be what a save keeps, to the last packet.
  PacketList packets;
  AppendFlight(packets, Readings(40, 830));
  packets.insert(packets.begin() + 1, MakePacket(0xFF, {SampleWord(700), SampleWord(690)}));
  packets.push_back(MakePacket(1, {SampleWord(600), SampleWord(610)}));
  const DeviceSettings settings = CalibratedSettings();
  TempDir dir;
  const std::wstring first = dir.File(L"first.tev");
  WriteAll(first, kHeader + std::string{static_cast<char>(packets.size()), 0} +
                      PacketBytes(packets, 0, packets.size()) + Image(settings));

  PacketList opened;
  DeviceSettings openedSettings;
  ASSERT_TRUE(LoadDataSetFile(first, opened, openedSettings));
  const std::string csv = Csv(opened, openedSettings);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 40 + 2 + 2);

  const std::wstring second = dir.File(L"second.tev");
  ASSERT_TRUE(SaveDataSetFile(opened, openedSettings, 0, second));
  PacketList reopened;
  DeviceSettings reopenedSettings;
  ASSERT_TRUE(LoadDataSetFile(second, reopened, reopenedSettings));
  EXPECT_EQ(PacketBytes(reopened, 0, reopened.size()), PacketBytes(packets, 0, packets.size()));
  EXPECT_EQ(Csv(reopened, reopenedSettings), csv);
  EXPECT_EQ(ReadAll(second), ReadAll(first));
}

TEST(DataFile, BadSettingsChecksumOpensTheFlightWithDefaultSettings) {
  // A blank or damaged settings block as the altimeter gave it: the flight must not be lost.
  TempDir dir;
  const std::wstring path = dir.File(L"blank.tev");
  const PacketList packets = TwoFlights();
  std::string damaged = Image(CalibratedSettings());
  damaged[14] ^= 0x01;
  for (const std::string& image : {std::string(16, '\xFF'), damaged}) {
    WriteAll(path, kHeader + std::string{2, 0} + PacketBytes(packets, 0, 2) + image);
    PacketList loaded;
    DeviceSettings settings = CalibratedSettings();
    LogCapture log;
    const bool ok = LoadDataSetFile(path, loaded, settings);
    const std::vector<std::string> lines = log.Lines();
    ASSERT_TRUE(ok);
    EXPECT_EQ(PacketBytes(loaded, 0, loaded.size()), PacketBytes(packets, 0, 2));
    EXPECT_EQ(settings.image, DeviceSettings{}.image);
    EXPECT_EQ(settings.adcOffset, 0);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Invalid settings checksum: using the default settings."),
              lines.end());
    // The file stays as it was.
    EXPECT_EQ(ReadAll(path).substr(26 + 128), image);
  }
}

TEST(DataFile, SaveLogsItsSteps) {
  TempDir dir;
  const PacketList packets = TwoFlights();
  const DeviceSettings settings = CalibratedSettings();
  LogCapture log;
  SaveDataSetFile(packets, settings, 1, dir.File(L"log.tev"));
  const std::vector<std::string> lines = log.Lines();
  EXPECT_EQ(lines, (std::vector<std::string>{"Selected set to save: 1", "Set address: 2", "Set: 1", "Set Address: 2",
                                             "Packet Count: 3", "Successfully serialized settings."}));
}

TEST(DataFile, BadFilesChangeNothingAndSayWhy) {
  TempDir dir;
  const DeviceSettings source = CalibratedSettings();
  const std::wstring good = dir.File(L"good.tev");
  ASSERT_TRUE(SaveDataSetFile(TwoFlights(), source, 1, good));
  const std::string bytes = ReadAll(good);  // 24 + 2 + 3 * 64 + 16 = 234 bytes

  std::string version257 = bytes;
  version257[16] = 0x01;
  version257[17] = 0x01;
  std::string notOurs = bytes;
  notOurs[3] = 0;
  // Complete files without a flight: no packets at all, or packets none of which starts one.
  const std::string noPackets = kHeader + std::string(2, '\0') + Image(source);
  std::string noStart = bytes;
  noStart[26] = 1;

  const struct {
    const char* name;
    std::string contents;
    DataFileStatus status;
  } cases[] = {
      {"empty", "", DataFileStatus::NotADataFile},
      {"not ours", notOurs, DataFileStatus::NotADataFile},
      {"version 257", version257, DataFileStatus::UnsupportedVersion},
      {"header cut", bytes.substr(0, 20), DataFileStatus::Truncated},
      {"no count", bytes.substr(0, 25), DataFileStatus::Truncated},
      {"packet cut", bytes.substr(0, 26 + 64 + 10), DataFileStatus::Truncated},
      {"settings cut", bytes.substr(0, bytes.size() - 4), DataFileStatus::Truncated},
      {"no packets", noPackets, DataFileStatus::NoFlight},
      {"no flight start", noStart, DataFileStatus::NoFlight},
  };
  for (const auto& c : cases) {
    const std::wstring path = dir.File(L"bad.tev");
    WriteAll(path, c.contents);
    PacketList packets = TwoFlights();
    DeviceSettings settings;
    settings.adcOffset = 3;  // unpacked edit not yet packed: must survive too
    const SettingsImage image = settings.image;
    EXPECT_FALSE(LoadDataSetFile(path, packets, settings)) << c.name;
    EXPECT_EQ(PacketBytes(packets, 0, packets.size()), PacketBytes(TwoFlights(), 0, 5)) << c.name;
    EXPECT_EQ(settings.image, image) << c.name;
    EXPECT_EQ(settings.adcOffset, 3) << c.name;

    PacketList read;
    DeviceSettings readSettings;
    EXPECT_EQ(ReadDataSetFile(path, read, readSettings), c.status) << c.name;
  }
  // Its only fault its settings checksum: read to the end, and told apart.
  std::string badChecksum = bytes;
  badChecksum[bytes.size() - 1] ^= 0x01;
  WriteAll(dir.File(L"bad.tev"), badChecksum);
  PacketList read;
  DeviceSettings readSettings;
  EXPECT_EQ(ReadDataSetFile(dir.File(L"bad.tev"), read, readSettings), DataFileStatus::BadChecksum);
  EXPECT_EQ(read.size(), 3u);
  PacketList packets;
  DeviceSettings settings;
  EXPECT_EQ(ReadDataSetFile(dir.File(L"missing.tev"), packets, settings), DataFileStatus::CannotOpen);
  EXPECT_FALSE(LoadDataSetFile(dir.File(L"missing.tev"), packets, settings));
}

TEST(DataFile, ReadLogsItsStepsAndKeepsWhatItReadOfATruncatedFile) {
  TempDir dir;
  const std::wstring path = dir.File(L"cut.tev");
  ASSERT_TRUE(SaveDataSetFile(TwoFlights(), DeviceSettings{}, 1, path));
  const std::string bytes = ReadAll(path);
  WriteAll(path, bytes.substr(0, 26 + 64 + 10));

  PacketList packets;
  DeviceSettings settings;
  LogCapture log;
  EXPECT_EQ(ReadDataSetFile(path, packets, settings), DataFileStatus::Truncated);
  const std::vector<std::string> lines = log.Lines();
  EXPECT_EQ(lines, (std::vector<std::string>{"Correct version.", "Packet count: 3", "Read packet 0", "Read packet 1"}));
  ASSERT_EQ(packets.size(), 2u);
  // The part a short read did not reach keeps the erased state.
  EXPECT_EQ(packets[1].bytes[9], static_cast<std::uint8_t>(bytes[26 + 64 + 9]));
  EXPECT_EQ(packets[1].bytes[10], 0xFF);
}

TEST(DataFile, SaveReplacesAnExistingFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::wstring path = dir.File(L"flight.tev");
  WriteAll(path, std::string(5000, 'x'));
  ASSERT_TRUE(SaveDataSetFile(TwoFlights(), DeviceSettings{}, 0, path));
  EXPECT_EQ(ReadAll(path).size(), 42u + 2 * 64u);
  EXPECT_EQ(testing::CountEntries(dir.Path()), 1u);
}

TEST(DataFile, LeftOversOfCrashedSavesNeverBlockTheNextSave) {
  TempDir dir;
  const std::wstring path = dir.File(L"flight.tev");
  // What earlier saves that died half-way may have left beside the file.
  for (int i = 0; i < 120; ++i) WriteAll(dir.File(L"flight.tev.tmp" + std::to_wstring(i)), "stale");
  ASSERT_TRUE(SaveDataSetFile(TwoFlights(), DeviceSettings{}, 0, path));
  EXPECT_EQ(ReadAll(path).size(), 42u + 2 * 64u);
  // Other files are never touched, and this save left nothing of its own.
  EXPECT_EQ(testing::CountEntries(dir.Path()), 121u);
  EXPECT_EQ(ReadAll(dir.File(L"flight.tev.tmp7")), "stale");
}

TEST(DataFile, SaveThatCannotCreateTheFileReportsFailure) {
  TempDir dir;
  EXPECT_FALSE(SaveDataSetFile(TwoFlights(), DeviceSettings{}, 0, dir.File(L"no-such-folder/flight.tev")));
  // A folder where the file should go is left alone.
  std::filesystem::create_directory(dir.Path() / "taken.tev");
  EXPECT_FALSE(SaveDataSetFile(TwoFlights(), DeviceSettings{}, 0, dir.File(L"taken.tev")));
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "taken.tev"));
  EXPECT_EQ(testing::CountEntries(dir.Path()), 1u);
}

TEST(DataFile, NamesOutsideAsciiWork) {
  TempDir dir;
  const std::wstring path = dir.File(L"Fl\u00fcge \u9ad8\u5ea6.tev");
  ASSERT_TRUE(SaveDataSetFile(TwoFlights(), DeviceSettings{}, 0, path));
  PacketList packets;
  DeviceSettings settings;
  EXPECT_TRUE(LoadDataSetFile(path, packets, settings));
  EXPECT_EQ(packets.size(), 2u);
}

}  // namespace
}  // namespace tev
