// A disk that fills up halfway through a save: the old file must survive whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Flights.h"
#include "tests/support/TempDir.h"
#include "model/CsvExport.h"
#include "model/DataFile.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>

namespace tev {
namespace {

using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

// Caps the size of any file this process writes, as a full disk would.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST(FileFaults, ADeviceIsWrittenIntoNeverReplacedAndItsFailureIsReported) {
  // A device cannot be replaced by a file, however much the user may write in its folder.
  PacketList packets;
  testing::AppendFlight(packets, testing::Readings(300, 800));
  DataSet current;
  EXPECT_FALSE(ExportCsv(packets, DeviceSettings{}, current, 0, L"/dev/full"));  // every write fails
  EXPECT_TRUE(ExportCsv(packets, DeviceSettings{}, current, 0, L"/dev/null"));
  for (const char* device : {"/dev/full", "/dev/null"}) {
    std::error_code ec;
    EXPECT_TRUE(std::filesystem::is_character_file(device, ec)) << device << " is no longer a device";
  }
}

TEST(FileFaults, FailedWritesReportFalseAndKeepTheOldFile) {
  TempDir dir;
  PacketList packets;
  testing::AppendFlight(packets, testing::Readings(300, 800));
  const std::wstring tev = dir.File(L"flight.tev");
  const std::wstring csv = dir.File(L"flight.csv");
  const std::string oldContents = "the flight saved last week";
  WriteAll(tev, oldContents);
  WriteAll(csv, oldContents);
  DataSet current;
  {
    FileSizeLimit limit(100);
    EXPECT_FALSE(SaveDataSetFile(packets, DeviceSettings{}, 0, tev));
    EXPECT_FALSE(ExportCsv(packets, DeviceSettings{}, current, 0, csv));
  }
  EXPECT_EQ(ReadAll(tev), oldContents);
  EXPECT_EQ(ReadAll(csv), oldContents);
  EXPECT_EQ(testing::CountEntries(dir.Path()), 2u) << "no temporary file left behind";
}

}  // namespace
}  // namespace tev
#endif
