// What the Capture Data dialog enables, says and names.
#include <gtest/gtest.h>

#include <string>

#include "device/DeviceResults.h"
#include "tests/model/Flights.h"
#include "ui/logic/CaptureControls.h"
#include "ui/logic/CaptureText.h"

namespace tev {
namespace {

using testing::AppendFlight;
using testing::MakePacket;
using testing::Readings;

struct ControlsCase {
  const char* name;
  CaptureState state;
  // read, clear, live, select && close, save selected, save all, see-through ends
  bool read, clear, live, selectClose, saveSelected, saveAll, endSeeThrough;
};

TEST(CaptureControls, FollowTheConnectionThePacketsAndThePick) {
  const ControlsCase cases[] = {
      {"not connected, nothing read", {false, false, false, 0, -1}, false, false, true, false, false, false, true},
      {"connected, nothing read", {true, false, false, 0, -1}, true, true, true, false, false, false, true},
      {"connected, three sets, none picked", {true, false, true, 3, -1}, true, true, true, true, false, true, true},
      {"connected, set 2 picked", {true, false, true, 3, 2}, true, true, true, true, true, true, true},
      {"a pick the packets do not hold", {true, false, true, 3, 3}, true, true, true, true, false, true, true},
      {"packets but no flight start", {true, false, true, 0, 0}, true, true, true, true, false, true, true},
      {"unplugged with packets held", {false, false, true, 2, 1}, false, false, true, true, true, true, true},
      {"a worker runs", {true, true, true, 3, 1}, false, false, false, false, false, false, false},
  };
  for (const ControlsCase& c : cases) {
    SCOPED_TRACE(c.name);
    const CaptureControls got = CaptureControlsFor(c.state);
    EXPECT_EQ(got.readData, c.read);
    EXPECT_EQ(got.clearDevice, c.clear);
    EXPECT_EQ(got.liveUpdate, c.live);
    EXPECT_EQ(got.selectAndClose, c.selectClose);
    EXPECT_EQ(got.saveSelected, c.saveSelected);
    EXPECT_EQ(got.saveAll, c.saveAll);
    EXPECT_EQ(got.endSeeThrough, c.endSeeThrough);
  }
}

TEST(CaptureText, TheCsvFileNeverTakesTheDataFilesName) {
  const struct {
    const wchar_t* data;
    const wchar_t* csv;
  } cases[] = {
      {L"C:\\flights\\sport.tev", L"C:\\flights\\sport.csv"},
      {L"C:\\x.tevfiles\\sport.tev", L"C:\\x.tevfiles\\sport.csv"},
      {L"C:\\x.tevfiles\\sport", L"C:\\x.tevfiles\\sport.csv"},
      {L"C:\\flights\\sport.dat", L"C:\\flights\\sport.csv"},
      {L"C:\\flights\\sport.TEV", L"C:\\flights\\sport.csv"},
      {L"C:\\flights\\sport.tev.bak", L"C:\\flights\\sport.tev.csv"},
      {L"C:\\flights\\sport.csv", L"C:\\flights\\sport.csv.csv"},
      {L"C:\\flights\\sport.CSV", L"C:\\flights\\sport.CSV.csv"},
      {L"Z:/tmp/run.1/flight", L"Z:/tmp/run.1/flight.csv"},
      {L"flight", L"flight.csv"},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvPathFor(c.data), c.csv) << std::wstring(c.data);
}

TEST(CaptureText, AFailedDownloadSaysItsLastSetMayBeIncompleteCountingFromOne) {
  PacketList packets;
  EXPECT_FALSE(IncompleteSetLine(packets, false));
  packets.push_back(MakePacket(1, {}));
  EXPECT_FALSE(IncompleteSetLine(packets, false)) << "no set was read";
  AppendFlight(packets, Readings(40, 800));
  AppendFlight(packets, Readings(70, 800));
  EXPECT_EQ(IncompleteSetLine(packets, false).value_or(L""),
            L"Data set 2 may be incomplete: the download stopped before its end.\r\n");
  EXPECT_FALSE(IncompleteSetLine(packets, true)) << "the failing packet began a third flight";
  EXPECT_EQ(IncompleteSet(packets, false), 1);
  EXPECT_FALSE(IncompleteSet(packets, true));
  EXPECT_EQ(SaveIncompleteSetQuestion(1),
            L"Data set 2 may be incomplete: the download stopped before its end. Save it anyway?");
}

TEST(CaptureText, ASetThatMayBeIncompleteIsProposedUnderAPartialNameAndItsCsvFollows) {
  EXPECT_EQ(ProposedSetFileName(2, false), L"") << "a whole set is offered as before";
  const std::wstring partial = ProposedSetFileName(2, true);
  EXPECT_EQ(partial, L"flight-3.partial.tev");
  EXPECT_EQ(CsvPathFor(L"Z:\\flights\\" + partial), L"Z:\\flights\\flight-3.partial.csv");
}

TEST(CaptureText, SaveAllSaysHowItEnded) {
  const struct {
    const char* name;
    int sets, saved;
    bool incompleteSaved;
    SaveAllEnd end;
  } cases[] = {
      {"every set saved", 3, 3, false, SaveAllEnd::Saved},
      {"no sets at all", 0, 0, false, SaveAllEnd::Saved},
      {"the set that may be incomplete declined", 3, 2, false, SaveAllEnd::Saved},
      {"the only set, declined", 1, 0, false, SaveAllEnd::Silent},
      {"the set that may be incomplete saved too", 3, 3, true, SaveAllEnd::SavedWithIncompleteSet},
  };
  for (const auto& c : cases) EXPECT_EQ(SaveAllEndFor(c.sets, c.saved, c.incompleteSaved), c.end) << c.name;
  EXPECT_EQ(SavedWithIncompleteSetMessage(3, 2),
            L"3 data sets saved. Data set 3 may be incomplete: the download stopped before its end.");
  EXPECT_EQ(SavedWithIncompleteSetMessage(1, 0),
            L"1 data set saved. Data set 1 may be incomplete: the download stopped before its end.");
}

TEST(CaptureControls, TheDialogOpensWithTheSetOnDisplayPicked) {
  DataSet shown;
  EXPECT_EQ(PickOnOpening(shown), 0) << "nothing on display: the first flight, once there is one";
  shown.adc = {800, 801};
  shown.setNumber = 2;
  EXPECT_EQ(PickOnOpening(shown), 2);
}

TEST(CaptureText, ADownloadStoppedWhileACancelWasAskedForCountsAsCancelled) {
  EXPECT_EQ(DownloadEndOf(kOk, false), DownloadEnd::Complete);
  EXPECT_EQ(DownloadEndOf(kOk, true), DownloadEnd::Complete) << "the last packet came before the cancel";
  EXPECT_EQ(DownloadEndOf(kCancelled, true), DownloadEnd::Cancelled);
  EXPECT_EQ(DownloadEndOf(kNoReply, true), DownloadEnd::Cancelled) << "a held-back reply outlasted the cancel";
  EXPECT_EQ(DownloadEndOf(kNoReply, false), DownloadEnd::Failed);
  EXPECT_EQ(DownloadEndOf(kProtocolError, false), DownloadEnd::Failed);
  EXPECT_EQ(DownloadEndOf(kSendFailed, false), DownloadEnd::Failed);
}

TEST(CaptureText, LinesAndTitlesCarryTheirNumbers) {
  EXPECT_EQ(PacketReadLine(17), L"Packet Read: 17\r\n");
  EXPECT_EQ(PacketsReadLine(128), L"Packets Read: 128\r\n");
  EXPECT_EQ(SaveSetTitle(0), L"Save data set 1");
}

}  // namespace
}  // namespace tev
