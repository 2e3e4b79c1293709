// Tools > Capture Data driven from outside: the real demo against altimeter-sim over the sim link.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/DataFile.h"
#include "resources/ResourceIds.h"
#include "tests/wine/shell/CaptureStrip.h"
#include "tests/wine/shell/ConnectionIconSeen.h"
#include "tests/wine/shell/DemoTest.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/DriverEnvironment.h"
#include "tests/wine/shell/SettledScreen.h"
#include "tests/wine/shell/Tevtool.h"
#include "tests/wine/shell/WindowDriver.h"
#include "win32/Guards.h"

namespace tev::driver {
namespace {

constexpr int kThreeFlightsPackets = 49;  // hop, park and sport: 8, 15 and 26 packets
const std::wstring kAllRead = L"Packets Read: " + std::to_wstring(kThreeFlightsPackets);

bool RunTevtool(const std::wstring& arguments) {
  std::wstring command = L"\"" + Environment().tevtoolExe + L"\" " + arguments;
  std::vector<wchar_t> line(command.begin(), command.end());
  line.push_back(L'\0');
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  win32::UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
  DWORD code = 1;
  if (::WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0) return false;
  ::GetExitCodeProcess(process.Get(), &code);
  return code == 0;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class CaptureTest : public DemoTest {
 protected:
  // The altimeter with three flights, attached; the dialog open and connected.
  Dialog OpenConnected(const std::wstring& simOptions = {}) {
    SimOptions options;
    options.flights = L"hop,park,sport";
    options.more = simOptions;
    SimulatedAltimeter& sim = StartSim(options);
    EXPECT_TRUE(sim.WaitUntilAttached(kTimeoutMs));
    Dialog capture = Dialog::OpenFromMenu(main_, IDM_TOOLS_CAPTURE, L"Capture Data", kTimeoutMs);
    EXPECT_TRUE(capture) << "no Capture Data dialog";
    if (capture) {
      EXPECT_TRUE(capture.WaitForStatusLine(L"Device Connected.", kTimeoutMs));
    }
    return capture;
  }
  // Read Data until the whole memory is in and the worker has given the buttons back.
  static ::testing::AssertionResult ReadAll(const Dialog& capture, int times = 1) {
    if (auto clicked = capture.Click(IDC_CAPTURE_READ); !clicked) return clicked;
    if (auto read = capture.WaitForStatusLine(kAllRead, 30000, times); !read) return read;
    if (!WaitUntil(kTimeoutMs, [&] { return capture.Enabled(IDC_CAPTURE_SAVE_ALL); }))
      return ::testing::AssertionFailure() << "Save All stayed disabled";
    return ::testing::AssertionSuccess();
  }
  // Save dialog titled so: the path typed, then, when the file is there already, replaced.
  void Choose(const wchar_t* title, const std::wstring& path) {
    HWND box = ChooseFile(demo_.Id(), title, path, kTimeoutMs);
    ASSERT_NE(box, nullptr) << "no \"" << std::string(title, title + std::wcslen(title)) << "\" dialog";
    if (HWND question = WaitForOwnedDialog(demo_.Id(), box, 1500)) PressButton(question, IDYES);
    ASSERT_TRUE(WaitUntilGone(box, kTimeoutMs));
  }
};

TEST_F(CaptureTest, WithoutAnAltimeterItSaysSoAndPluggingItInConnects) {
  SimOptions options;
  options.flights = L"hop,park,sport";
  options.plugged = false;
  SimulatedAltimeter& sim = StartSim(options);
  Dialog capture = Dialog::OpenFromMenu(main_, IDM_TOOLS_CAPTURE, L"Capture Data", kTimeoutMs);
  ASSERT_TRUE(capture);
  ASSERT_TRUE(capture.WaitForStatusLine(L"Device not found.", kTimeoutMs));
  EXPECT_TRUE(WaitForConnectionIcon(capture, IDC_CAPTURE_ICON, IconShown::NotConnected, kTimeoutMs)) << "not icon 109";
  EXPECT_FALSE(capture.Enabled(IDC_CAPTURE_READ));
  EXPECT_FALSE(capture.Enabled(IDC_CAPTURE_SAVE_ALL));

  sim.Plug();
  ASSERT_TRUE(sim.WaitUntilAttached(kTimeoutMs));
  ASSERT_TRUE(capture.WaitForStatusLine(L"Device Connected.", kTimeoutMs));
  EXPECT_EQ(capture.StatusLines(), (std::vector<std::wstring>{L"Device not found.", L"Device Connected.",
                                                              L"Current device firmware version: 1.40"}));
  EXPECT_TRUE(WaitForConnectionIcon(capture, IDC_CAPTURE_ICON, IconShown::Connected, kTimeoutMs)) << "not icon 110";
  EXPECT_TRUE(capture.Enabled(IDC_CAPTURE_READ));
  ShotOf(capture.Window(), L"connected");
  ASSERT_TRUE(capture.Close(kTimeoutMs));
}

TEST_F(CaptureTest, ALiveDownloadFillsTheStripAndThePickedFlightIsHandedBack) {
  Dialog capture = OpenConnected();
  ASSERT_TRUE(capture);
  ShotOf(capture.Window(), L"before-download");
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_LIVE_UPDATE));
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return capture.Checked(IDC_CAPTURE_LIVE_UPDATE) == BST_CHECKED; }));
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_READ));

  // Mid-download: the main window shows the live trace behind a see-through dialog.
  ASSERT_TRUE(capture.WaitForStatusLine(L"Packet Read: 20", 30000));
  EXPECT_TRUE(::GetWindowLongPtrW(capture.Window(), GWL_EXSTYLE) & WS_EX_LAYERED) << "not see-through";
  const Picture live = CaptureClient(main_);
  EXPECT_TRUE(live.SavePng(Environment().shotDir + L"\\" + name_ + L"-live-trace.png"));
  // Grey ground, the blue ground line and the red trace.
  const RECT all{0, 0, live.Width(), live.Height()};
  EXPECT_GT(live.Count(all, Rgb{0x80, 0x80, 0x80}), live.Width() * live.Height() / 2) << "no live plot";
  EXPECT_GT(live.Count(all, Rgb{0xFF, 0, 0}, 40), 100) << "no trace";

  ASSERT_TRUE(capture.WaitForStatusLine(kAllRead, 30000));
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return capture.Enabled(IDC_CAPTURE_SAVE_ALL); }));
  EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] {
    return !(::GetWindowLongPtrW(capture.Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
  })) << "still see-through";
  EXPECT_TRUE(demo_.WaitForLine("Packets read: " + std::to_string(kThreeFlightsPackets), kTimeoutMs));
  ShotOf(capture.Window(), L"after-download");
  std::vector<StripRun> runs = StripRuns(capture);
  ASSERT_GE(runs.size(), 3u);
  // Nothing was on display: the first flight is picked.
  const std::vector<Mark> marks = Marks(runs);
  EXPECT_EQ(std::vector<Mark>(marks.begin(), marks.begin() + std::min<size_t>(marks.size(), 4)),
            (std::vector<Mark>{Mark::Red, Mark::BlueB, Mark::BlueA, Mark::Black}));
  EXPECT_TRUE(capture.Enabled(IDC_CAPTURE_SAVE_SELECTED)) << "the first flight is picked";

  ClickRun(capture, runs[1]);
  EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return capture.Enabled(IDC_CAPTURE_SAVE_SELECTED); }));
  EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] {
    const std::vector<Mark> now = Marks(StripRuns(capture));
    return now.size() >= 3 && now[0] == Mark::BlueA && now[1] == Mark::Red && now[2] == Mark::BlueA;
  })) << "the second run did not turn red";
  ShotOf(capture.Window(), L"set-picked");

  const size_t mark = demo_.LineCount();
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_SELECT_CLOSE));
  ASSERT_TRUE(capture.WaitUntilGone(kTimeoutMs));
  EXPECT_TRUE(demo_.WaitForLineAfter(mark, "Selected Set: 1", kTimeoutMs)) << "set 1 not handed back";
  EXPECT_TRUE(demo_.WaitForLineAfter(mark, "DESTRUCT", kTimeoutMs));
  const Picture flight = Shot(L"flight-handed-back");
  EXPECT_GT(flight.Count({0, 0, flight.Width(), flight.Height()}, Rgb{0, 0x80, 0}, 30), 50) << "no velocity curve";
}

TEST_F(CaptureTest, SaveSelectedWithCsvWritesAFlightTevtoolReadsAndItsCsv) {
  Dialog capture = OpenConnected();
  ASSERT_TRUE(capture);
  ASSERT_TRUE(ReadAll(capture));
  std::vector<StripRun> runs;
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return (runs = StripRuns(capture)).size() >= 3; })) << "no runs on the strip";
  ClickRun(capture, runs[1]);
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return capture.Enabled(IDC_CAPTURE_SAVE_SELECTED); }));
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_CSV));
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_SAVE_SELECTED));
  const std::wstring flight = WorkPath(L"-park.tev");
  Choose(L"Save data set 2", flight);
  Answer(ExpectMessageBox(L"Data set/s saved succesfully."), IDOK);

  EXPECT_TRUE(RunTevtool(L"info \"" + flight + L"\"")) << "tevtool info refuses the saved flight";
  const std::wstring csv = WorkPath(L"-park.csv");
  const std::wstring expected = WorkPath(L"-park-tevtool.csv");
  ASSERT_TRUE(RunTevtoolCsv(Environment().tevtoolExe, flight, expected));
  ASSERT_TRUE(Exists(csv)) << "no CSV beside the flight";
  EXPECT_EQ(ReadFile(csv), ReadFile(expected));
  ASSERT_TRUE(capture.Close(kTimeoutMs));
}

TEST_F(CaptureTest, CancellingTheSecondOfThreeSaveAllDialogsKeepsTheFirstFileAndSaysNothing) {
  Dialog capture = OpenConnected();
  ASSERT_TRUE(capture);
  ASSERT_TRUE(ReadAll(capture));
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_SAVE_ALL));
  const std::wstring first = WorkPath(L"-first.tev");
  Choose(L"Save data set 1", first);
  ASSERT_TRUE(CancelFileDialog(demo_.Id(), L"Save data set 2", kTimeoutMs));
  ASSERT_TRUE(Drain(capture.Window()));  // Save All has returned, or waits in what it opened next
  EXPECT_EQ(AnyDialogOf(demo_.Id()), nullptr) << "a box or a third save dialog came";
  EXPECT_TRUE(RunTevtool(L"info \"" + first + L"\""));
  ASSERT_TRUE(capture.Close(kTimeoutMs));
}

TEST_F(CaptureTest, ClearDeviceAsksAndThenEmptiesTheAltimeter) {
  Dialog capture = OpenConnected();
  ASSERT_TRUE(capture);
  ASSERT_TRUE(ReadAll(capture));
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_CLEAR));
  Answer(ExpectMessageBox(L"Are you sure?"), IDYES);
  ASSERT_TRUE(capture.WaitForStatusLine(L"Data cleared successfully.", kTimeoutMs));
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return capture.Enabled(IDC_CAPTURE_READ); }));
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_READ));
  EXPECT_TRUE(capture.WaitForStatusLine(L"Packets Read: 0", 30000)) << "the second read found data";
  ShotOf(capture.Window(), L"cleared");
  ASSERT_TRUE(capture.Close(kTimeoutMs));
}

TEST_F(CaptureTest, ReadDataAndClearDeviceStayDisabledUntilAClearWhoseReplyNeverComesHasEnded) {
  // The clear's reply is the first input report the altimeter would send: the clear waits for it
  // until its time-out.
  Dialog capture = OpenConnected(L"--withhold-reply 0");
  ASSERT_TRUE(capture);
  ASSERT_TRUE(capture.Enabled(IDC_CAPTURE_CLEAR));
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_CLEAR));
  Answer(ExpectMessageBox(L"Are you sure?"), IDYES);
  ASSERT_TRUE(Drain(capture.Window()));  // the click's handler has gone on past the box and returned
  const auto bothDisabled = [&] { return !capture.Enabled(IDC_CAPTURE_READ) && !capture.Enabled(IDC_CAPTURE_CLEAR); };
  EXPECT_TRUE(bothDisabled()) << "Read Data or Clear Device usable as the clear starts";
  // Checked through most of the clear's 3-second wait for its reply: nothing but the time tells
  // that it still runs (the buttons come back just before its last line).
  const DWORD start = ::GetTickCount();
  bool held = true;
  while (held && ::GetTickCount() - start < 2000) {
    held = bothDisabled();
    ::Sleep(50);
  }
  EXPECT_TRUE(held) << "Read Data or Clear Device usable while the clear ran";
  ASSERT_TRUE(capture.WaitForStatusLine(L"Failed to clear data.", kTimeoutMs));
  EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return capture.Enabled(IDC_CAPTURE_READ) && capture.Enabled(IDC_CAPTURE_CLEAR); }))
      << "not given back once the clear ended";
  ShotOf(capture.Window(), L"after-clear");
  ASSERT_TRUE(capture.Close(kTimeoutMs));
}

TEST_F(CaptureTest, ClosingDuringADownloadStopsItWithoutAnErrorBox) {
  // Report 300 (in packet 8, after the settings' 17 reports and 8 packets of 33) and the rest of
  // its packet are held back: the download waits for it, up to its time-out of 3 s.
  Dialog capture = OpenConnected(L"--withhold-reply 300");
  ASSERT_TRUE(capture);
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_READ));
  ASSERT_TRUE(capture.WaitForStatusLine(L"Packet Read: 7", 30000));
  ::Sleep(500);  // packet 8 has come as far as it will (the simulator shows no sign of holding back)
  const size_t mark = demo_.LineCount();
  ::PostMessageW(capture.Window(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(demo_.WaitForLineAfter(mark, "reposting close message...", kTimeoutMs));
  ASSERT_TRUE(capture.WaitUntilGone(kTimeoutMs)) << "the dialog stayed";
  EXPECT_TRUE(demo_.WaitForLineAfter(mark, "Thread has exited.", kTimeoutMs));
  EXPECT_TRUE(demo_.WaitForLineAfter(mark, "DESTRUCT", kTimeoutMs));
  EXPECT_EQ(AnyDialogOf(demo_.Id()), nullptr) << "an error box";
  EXPECT_TRUE(demo_.WaitForLineAfter(mark, "Selected Set: 0", kTimeoutMs));

  // The altimeter was let go: the next dialog connects to it afresh.
  Dialog again = Dialog::OpenFromMenu(main_, IDM_TOOLS_CAPTURE, L"Capture Data", kTimeoutMs);
  ASSERT_TRUE(again);
  EXPECT_TRUE(again.WaitForStatusLine(L"Device Connected.", kTimeoutMs));
  ASSERT_TRUE(again.Close(kTimeoutMs));
}

TEST_F(CaptureTest, AFlightCutOffByAnUnplugIsKeptOnlyWhenAskedAndUnderAPartialName) {
  // Unplugged in the second flight's fourth packet (after the settings' 17 reports and 11 packets
  // of 33): the first flight (packets 0 to 7) is whole, the second holds packets 8 to 10.
  const std::wstring memoryDump = WorkPath(L"-memory.bin");
  Dialog capture = OpenConnected(L"--unplug-after " + std::to_wstring(17 + 11 * 33 + 5) + L" --dump-memory \"" +
                                 memoryDump + L"\"");
  ASSERT_TRUE(capture);
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_READ));
  ASSERT_TRUE(capture.WaitForStatusLine(L"Failed to read data.", 30000));
  EXPECT_TRUE(capture.WaitForStatusLine(L"Device disconnected.", kTimeoutMs));
  const std::wstring mayBeIncomplete = L"Data set 2 may be incomplete: the download stopped before its end.";
  EXPECT_TRUE(capture.WaitForStatusLine(mayBeIncomplete, kTimeoutMs));
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return capture.Enabled(IDC_CAPTURE_SAVE_ALL); })) << "nothing to save";
  ShotOf(capture.Window(), L"unplugged");

  // The whole flight saves as before.
  std::vector<StripRun> runs;
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return (runs = StripRuns(capture)).size() >= 2; })) << "no runs on the strip";
  ClickRun(capture, runs[0]);
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return capture.Enabled(IDC_CAPTURE_SAVE_SELECTED); }));
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_SAVE_SELECTED));
  const std::wstring flight = WorkPath(L"-hop.tev");
  Choose(L"Save data set 1", flight);
  Answer(ExpectMessageBox(L"Data set/s saved succesfully."), IDOK);
  EXPECT_TRUE(RunTevtool(L"info \"" + flight + L"\""));

  // The cut-off flight, picked: its run is the strip's second colour.
  runs = StripRuns(capture);
  const auto cutOff = std::find_if(runs.begin(), runs.end(), [](const StripRun& r) { return r.mark == Mark::BlueB; });
  ASSERT_NE(cutOff, runs.end()) << "the cut-off flight is not on the strip";
  // At its left edge: the program rounds a click to the nearest column, and this run is narrow.
  const int at = cutOff->from;
  ClickRun(capture, StripRun{cutOff->mark, cutOff->from, cutOff->from + 1});
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] {
    for (const StripRun& r : StripRuns(capture)) {
      if (r.from <= at && at < r.to) return r.mark == Mark::Red;
    }
    return false;
  })) << "the cut-off flight was not picked";

  // Asked first; No writes nothing.
  const std::wstring question = mayBeIncomplete + L" Save it anyway?";
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_SAVE_SELECTED));
  const MessageBoxSeen asked = ExpectMessageBox(question);
  ASSERT_TRUE(asked.window);
  ShotOf(asked.window, L"may-be-incomplete-question");
  Answer(asked, IDNO);
  ASSERT_TRUE(Drain(capture.Window()));  // Save Selected has returned, or waits in what it opened next
  EXPECT_EQ(AnyDialogOf(demo_.Id()), nullptr) << "a save dialog after No";

  // Yes: the save dialog proposes a name that says so, and the CSV follows it.
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_CSV));
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_SAVE_SELECTED));
  Answer(ExpectMessageBox(question), IDYES);
  const std::wstring proposed = ProposedFileName(demo_.Id(), L"Save data set 2", kTimeoutMs);
  EXPECT_EQ(proposed, L"flight-2.partial.tev");
  const std::wstring partial = WorkPath(L"-" + proposed);
  Choose(L"Save data set 2", partial);
  Answer(ExpectMessageBox(L"Data set/s saved succesfully."), IDOK);
  EXPECT_TRUE(Exists(WorkPath(L"-flight-2.partial.csv"))) << "no CSV beside the partial flight";
  EXPECT_TRUE(RunTevtool(L"info \"" + partial + L"\"")) << "tevtool info refuses the partial flight";
  // Its packets are exactly those read of the second flight.
  PacketList saved;
  DeviceSettings settings;
  ASSERT_EQ(ReadDataSetFile(partial, saved, settings), DataFileStatus::Ok);
  std::string savedBytes;
  for (const FlightPacket& p : saved) savedBytes.append(p.bytes.begin(), p.bytes.end());
  const std::string memory = ReadFile(memoryDump);
  ASSERT_GE(memory.size(), 11u * 64) << "no memory dump from the simulator";
  EXPECT_EQ(savedBytes, memory.substr(8 * 64, 3 * 64));
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_CSV));

  // Save All: the whole flight under the name chosen, the question once, the cut one as partial.
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_SAVE_ALL));
  const std::wstring all = WorkPath(L"-all-1.tev");
  Choose(L"Save data set 1", all);
  Answer(ExpectMessageBox(question), IDYES);
  const std::wstring allProposed = ProposedFileName(demo_.Id(), L"Save data set 2", kTimeoutMs);
  EXPECT_EQ(allProposed, L"flight-2.partial.tev");
  const std::wstring allPartial = WorkPath(L"-all-" + allProposed);
  Choose(L"Save data set 2", allPartial);
  const MessageBoxSeen done = ExpectMessageBox(L"2 data sets saved. " + mayBeIncomplete);
  ASSERT_TRUE(done.window);
  ShotOf(done.window, L"save-all-with-partial");
  Answer(done, IDOK);
  ASSERT_TRUE(Drain(capture.Window()));
  EXPECT_EQ(AnyDialogOf(demo_.Id()), nullptr) << "a second question or a third save dialog";
  EXPECT_EQ(ReadFile(all), ReadFile(flight));
  EXPECT_EQ(ReadFile(allPartial), ReadFile(partial));
  ASSERT_TRUE(capture.Close(kTimeoutMs));
}

TEST_F(CaptureTest, ADownloadThatFailsOnlyAfterTheLastFlightsFinalPacketSaysItMayBeIncomplete) {
  // Unplugged in the erased packet that ends the memory: every packet came, but nobody can know
  // that the last flight ended there.
  Dialog capture = OpenConnected(L"--unplug-after " + std::to_wstring(17 + kThreeFlightsPackets * 33 + 5));
  ASSERT_TRUE(capture);
  ASSERT_TRUE(capture.Click(IDC_CAPTURE_READ));
  ASSERT_TRUE(capture.WaitForStatusLine(L"Failed to read data.", 30000));
  EXPECT_TRUE(capture.WaitForStatusLine(L"Data set 3 may be incomplete: the download stopped before its end.", kTimeoutMs));
  const std::vector<std::wstring> lines = capture.StatusLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), L"Packet Read: " + std::to_wstring(kThreeFlightsPackets - 1)),
            lines.end()) << "the last packet did not come";
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return capture.Enabled(IDC_CAPTURE_SAVE_ALL); }));
  ShotOf(capture.Window(), L"may-be-incomplete-line");
  ASSERT_TRUE(capture.Close(kTimeoutMs));
}

}  // namespace
}  // namespace tev::driver
