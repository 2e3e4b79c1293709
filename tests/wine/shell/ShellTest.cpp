// The main window driven from outside, as a user would: TevUsbDemo.exe is started for each test
// with its DebugLog captured, and worked through its menu, message boxes and file dialogs.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/wine/shell/CommonDialogs.h"
#include "tests/wine/shell/DemoTest.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/DriverEnvironment.h"
#include "tests/wine/shell/SettledScreen.h"
#include "tests/wine/shell/Screenshot.h"
#include "tests/wine/shell/Tevtool.h"
#include "tests/wine/shell/WindowDriver.h"
#include "resources/ResourceIds.h"
#include "win32/Guards.h"

namespace tev::driver {
namespace {

constexpr WORD kOpen = 40004;
constexpr WORD kExport = 40009;
constexpr WORD kExit = 40002;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGrey{0x80, 0x80, 0x80};
constexpr Rgb kRed{0xFF, 0, 0};
constexpr Rgb kGreen{0, 0x80, 0};
constexpr Rgb kBlue{0, 0, 0xFF};

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Narrow(const std::wstring& text) { return std::filesystem::path(text).string(); }

class ShellTest : public DemoTest {
 protected:
  // A settled picture of the desktop, saved for people to look at; returns the main window's client area.
  Picture PlotShot(const std::wstring& step) { return Shot(step).Crop(ClientRectOnScreen(main_)); }

  // The client area once the plot of a flight has been presented (grey fills most of it).
  Picture WaitForPlot() {
    Picture client;
    WaitUntil(kTimeoutMs, [&] {
      client = CaptureClient(main_);
      return !client.Empty() && client.Count({0, 0, client.Width(), client.Height()}, kGrey) >
                                    client.Width() * client.Height() / 2;
    });
    return client;
  }

  // The box as people will see it: its text and each button drawn (dark pixels where they stand).
  void ExpectBoxPainted(const MessageBoxSeen& box, std::initializer_list<int> buttons, const std::wstring& step) {
    const Picture picture = ShotOf(box.window, step);
    RECT outer = {};
    ::GetWindowRect(box.window, &outer);
    const auto darkIn = [&](int id) {
      RECT item = {};
      ::GetWindowRect(::GetDlgItem(box.window, id), &item);
      ::OffsetRect(&item, -outer.left, -outer.top);
      return picture.Count(item, kBlack, 90);
    };
    EXPECT_GT(darkIn(0xFFFF), 50) << "the box's text is not drawn";
    for (int id : buttons) EXPECT_GT(darkIn(id), 10) << "button " << id << " is not drawn";
  }

  void OpenFile(const std::wstring& path) {
    PostCommand(main_, kOpen);
    ASSERT_NE(ChooseFile(demo_.Id(), L"Load data set", path, kTimeoutMs), nullptr) << "no \"Load data set\" dialog";
  }

  void OpenSample() {
    ASSERT_NO_FATAL_FAILURE(OpenFile(Environment().sampleFile));
    ASSERT_TRUE(demo_.WaitForLine("Loaded data set.", kTimeoutMs)) << demo_.Log();
    ASSERT_FALSE(WaitForPlot().Empty());
  }
};

TEST_F(ShellTest, StartsMaximisedAndBlackWithTitleAndMenu) {
  EXPECT_EQ(WindowText(main_), L"TEV USB 1.40");
  EXPECT_TRUE(::IsZoomed(main_));

  Picture area;
  const bool black = WaitUntil(kTimeoutMs, [&] {
    area = CaptureClient(main_);
    return !area.Empty() && area.Count({0, 0, area.Width(), area.Height()}, kBlack) == area.Width() * area.Height();
  });
  Shot(L"start");
  EXPECT_TRUE(black) << "the client area is not all black";
  EXPECT_GT(area.Width(), 420);

  // The window has a menu bar between its caption and its client area.
  ASSERT_NE(::GetMenu(main_), nullptr);
  RECT outer = {};
  ::GetWindowRect(main_, &outer);
  POINT client = {0, 0};
  ::ClientToScreen(main_, &client);
  EXPECT_GE(client.y - outer.top, ::GetSystemMetrics(SM_CYCAPTION) + ::GetSystemMetrics(SM_CYMENU));

  // Menu handles do not cross processes here, so the menu itself is read from the program's
  // resources, the way the window loads it.
  struct LibraryTraits {
    static HMODULE Invalid() { return nullptr; }
    static bool Valid(HMODULE m) { return m != nullptr; }
    static void Release(HMODULE m) { ::FreeLibrary(m); }
  };
  win32::Unique<HMODULE, LibraryTraits> program(
      ::LoadLibraryExW(Environment().demoExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(program.Valid());
  const win32::UniqueMenu menu(::LoadMenuW(program.Get(), MAKEINTRESOURCEW(102)));
  ASSERT_TRUE(menu);
  struct Item {
    int menu;
    int position;
    UINT id;
    const wchar_t* text;
  };
  const Item items[] = {
      {0, 0, 40004, L"Open..."},           {0, 2, 40009, L"Export..."},
      {0, 4, 40002, L"Exit"},              {1, 0, 40006, L"Capture Data..."},
      {1, 1, 40007, L"Device Settings..."}, {1, 2, 40014, L"Control Device..."},
      {1, 4, 40011, L"Update Firmware..."}, {2, 0, 40010, L"About..."},
  };
  const wchar_t* const titles[] = {L"File", L"Tools", L"Help"};
  ASSERT_EQ(::GetMenuItemCount(menu.Get()), 3);
  for (int m = 0; m < 3; ++m) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu.Get(), m, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, titles[m]);
  }
  EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(menu.Get(), 0)), 5);
  EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(menu.Get(), 1)), 5);
  EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(menu.Get(), 2)), 1);
  for (const Item& item : items) {
    const HMENU sub = ::GetSubMenu(menu.Get(), item.menu);
    wchar_t text[64] = {};
    ::GetMenuStringW(sub, item.position, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, item.text);
    EXPECT_EQ(::GetMenuItemID(sub, item.position), item.id) << Narrow(item.text);
  }
  const auto isSeparator = [&](int sub, int position) {
    return (::GetMenuState(::GetSubMenu(menu.Get(), sub), position, MF_BYPOSITION) & MF_SEPARATOR) != 0;
  };
  EXPECT_TRUE(isSeparator(0, 1));
  EXPECT_TRUE(isSeparator(0, 3));
  EXPECT_TRUE(isSeparator(1, 3));

  const std::vector<std::string> lines = demo_.Lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "- TEV USB -");
  EXPECT_EQ(lines[1], "");
}

TEST_F(ShellTest, CannotBeMadeSmallerThan420By320) {
  ::PostMessageW(main_, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return !::IsZoomed(main_); }));

  ASSERT_TRUE(PlaceWindow(main_, 20, 20, 100, 80, 0));
  RECT outer = {};
  ::GetWindowRect(main_, &outer);
  EXPECT_EQ(outer.right - outer.left, 420);
  EXPECT_EQ(outer.bottom - outer.top, 320);

  // A minimum, not a fixed size.
  ASSERT_TRUE(PlaceWindow(main_, 20, 20, 600, 450, 0));
  ::GetWindowRect(main_, &outer);
  EXPECT_EQ(outer.right - outer.left, 600);
  EXPECT_EQ(outer.bottom - outer.top, 450);
  Shot(L"small");
}

TEST_F(ShellTest, OpenDrawsTheFlight) {
  ASSERT_NO_FATAL_FAILURE(OpenSample());
  const Picture plot = PlotShot(L"flight");
  const int w = plot.Width(), h = plot.Height();
  const RECT all = {0, 0, w, h};
  EXPECT_GT(plot.Count(all, kGrey), w * h / 2) << "grey background";
  EXPECT_GT(plot.Count(all, kRed), 200) << "red altitude";
  EXPECT_GT(plot.Count(all, kGreen), 200) << "green velocity";

  // The ground line runs the whole width, 3 pixels thick, in the lower part of the plot.
  int groundRows = 0;
  for (int y = h / 2; y < h; ++y)
    if (plot.Count({0, y, w, y + 1}, kBlue) > w * 3 / 4) ++groundRows;
  EXPECT_GE(groundRows, 2) << "blue ground line";

  // The legend and the set number, top left; text is smoothed, so look for its colour roughly.
  EXPECT_GT(plot.Count({10, 10, 200, 30}, kRed, 60), 20) << "\"Smoothed altitude\"";
  EXPECT_GT(plot.Count({10, 50, 240, 70}, kGreen, 60), 20) << "\"<Velocity> over 1 second\"";
  EXPECT_GT(plot.Count({10, 90, 120, 110}, kBlue, 60), 20) << "\"Data set: 1\"";
}

TEST_F(ShellTest, FlightIsRedrawnAfterMinimiseAndRestore) {
  ASSERT_NO_FATAL_FAILURE(OpenSample());
  const Picture before = CaptureClient(main_);
  ::PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return ::IsIconic(main_) != FALSE; }));
  ::PostMessageW(main_, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return !::IsIconic(main_); }));
  Picture after;
  const bool same = WaitUntil(kTimeoutMs, [&] {
    after = CaptureClient(main_);
    return after.Pixels() == before.Pixels();
  });
  Shot(L"restored");
  EXPECT_TRUE(::IsZoomed(main_));
  EXPECT_TRUE(same) << "the flight is not shown as it was";
}

TEST_F(ShellTest, BadFileIsReportedAndTheFlightStays) {
  ASSERT_NO_FATAL_FAILURE(OpenSample());
  const Picture before = PlotShot(L"before");

  const std::wstring bad = WorkPath(L"-bad.tev");
  std::ofstream(std::filesystem::path(bad), std::ios::binary) << "this is not a flight";
  ASSERT_NO_FATAL_FAILURE(OpenFile(bad));
  const MessageBoxSeen box = ExpectMessageBox(L"Could not load file. Make sure the file is valid and not locked.");
  Shot(L"message");
  ExpectBoxPainted(box, {IDOK}, L"message-box");
  ASSERT_NO_FATAL_FAILURE(Answer(box, IDOK));

  EXPECT_TRUE(demo_.WaitForLine("NT Version: 501", kTimeoutMs, 2));
  EXPECT_EQ(demo_.CountLines("Loaded data set."), 1);
  ::InvalidateRect(main_, nullptr, FALSE);
  Picture after;
  const bool same = WaitUntil(kTimeoutMs, [&] {
    after = CaptureClient(main_);
    return after.Pixels() == before.Pixels();
  });
  Shot(L"after");
  EXPECT_TRUE(same) << "the plot changed";
}

TEST_F(ShellTest, ExportWritesTheFlightAsTevtoolDoes) {
  ASSERT_NO_FATAL_FAILURE(OpenSample());
  const std::wstring csv = WorkPath(L".csv");
  std::filesystem::remove(std::filesystem::path(csv));
  PostCommand(main_, kExport);
  ASSERT_NE(ChooseFile(demo_.Id(), L"Export to CSV", csv, kTimeoutMs), nullptr) << "no \"Export to CSV\" dialog";
  ASSERT_TRUE(demo_.WaitForLine("Current Set: 0", kTimeoutMs)) << demo_.Log();

  const std::wstring expected = WorkPath(L"-tevtool.csv");
  ASSERT_TRUE(RunTevtoolCsv(Environment().tevtoolExe, Environment().sampleFile, expected));
  const std::string want = ReadFile(expected);
  ASSERT_GT(want.size(), 100u);
  std::string got;
  WaitUntil(kTimeoutMs, [&] {
    got = ReadFile(csv);
    return got.size() >= want.size();
  });
  EXPECT_EQ(got, want);
}

TEST_F(ShellTest, ExportThatCannotBeWrittenIsReportedAndLeavesTheFileAlone) {
  ASSERT_NO_FATAL_FAILURE(OpenSample());
  const std::wstring csv = WorkPath(L".csv");
  std::ofstream(std::filesystem::path(csv), std::ios::binary) << "kept";
  // Held open with no sharing, as another program might: the export cannot replace it.
  win32::UniqueFileHandle held(
      ::CreateFileW(csv.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held.Valid());

  PostCommand(main_, kExport);
  const HWND dialog = ChooseFile(demo_.Id(), L"Export to CSV", csv, kTimeoutMs);
  ASSERT_NE(dialog, nullptr) << "no \"Export to CSV\" dialog";
  const HWND overwrite = WaitForOwnedDialog(demo_.Id(), dialog, kTimeoutMs);
  ASSERT_NE(overwrite, nullptr) << "no question about replacing the file";
  PressButton(overwrite, IDYES);
  ASSERT_TRUE(WaitUntilGone(overwrite, kTimeoutMs));

  const MessageBoxSeen box = ExpectMessageBox(
      L"Error saving file. Make sure that it is not write protected or locked, and that the disk has enough space.");
  Shot(L"message");
  ExpectBoxPainted(box, {IDOK}, L"message-box");
  ASSERT_NO_FATAL_FAILURE(Answer(box, IDOK));
  EXPECT_TRUE(demo_.WaitForLine("Current Set: 0", kTimeoutMs));
  held.Reset();
  EXPECT_EQ(ReadFile(csv), "kept");
}

TEST_F(ShellTest, CancelledFileDialogsChangeNothing) {
  ASSERT_NO_FATAL_FAILURE(OpenSample());
  const Picture before = CaptureClient(main_);
  PostCommand(main_, kOpen);
  ASSERT_TRUE(CancelFileDialog(demo_.Id(), L"Load data set", kTimeoutMs));

  PostCommand(main_, kExport);
  const HWND save = WaitForProcessWindow(demo_.Id(), L"#32770", L"Export to CSV", kTimeoutMs);
  ASSERT_NE(save, nullptr) << "no \"Export to CSV\" dialog";
  ShotOf(save, L"save-dialog");
  ASSERT_TRUE(CancelFileDialog(demo_.Id(), L"Export to CSV", kTimeoutMs));

  ASSERT_TRUE(Drain(main_));
  EXPECT_EQ(AnyDialogOf(demo_.Id()), nullptr);
  EXPECT_EQ(demo_.CountLines("Loaded data set."), 1);
  EXPECT_EQ(demo_.CountLines("NT Version: 501"), 1) << "a cancelled Open goes no further";
  EXPECT_EQ(demo_.CountLinesContaining("Current Set:"), 0);
  EXPECT_EQ(CaptureClient(main_).Pixels(), before.Pixels()) << "the plot changed";
}

TEST_F(ShellTest, SimulatedAltimetersComeAndGoWhileTheDemoRuns) {
  SimulatedAltimeter& first = StartSim({});
  SimOptions later;
  later.serial = L"B2";
  later.flights = L"none";
  later.plugged = false;
  SimulatedAltimeter& second = StartSim(later);
  ASSERT_TRUE(first.WaitUntilAttached(kStartTimeoutMs));
  EXPECT_EQ(first.Path(), "\\\\?\\hid#vid_1209&pid_0002#sim&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}");
  EXPECT_TRUE(first.WaitForOutput("plugged " + first.Path(), kTimeoutMs)) << first.Output();

  // The second device: plugged later, beside the first.
  ASSERT_TRUE(second.WaitUntilDetached(0));
  second.Plug();
  ASSERT_TRUE(second.WaitUntilAttached(kTimeoutMs));
  EXPECT_EQ(second.Path(), "\\\\?\\hid#vid_1209&pid_0002#sim&B2#{4d1e55b2-f16f-11cf-88cb-001111000030}");

  first.Unplug();
  ASSERT_TRUE(first.WaitUntilDetached(kTimeoutMs));
  EXPECT_TRUE(second.WaitUntilAttached(0)) << "unplugging one is not unplugging both";

  // Switched while plugged it leaves and comes back as a bootloader; switched back, the same.
  first.Plug();
  ASSERT_TRUE(first.WaitUntilAttached(kTimeoutMs));
  first.Switch(L"bootloader");
  ASSERT_TRUE(first.WaitUntilAttached(kTimeoutMs));
  EXPECT_EQ(first.Path(), "\\\\?\\hid#vid_1209&pid_0001#sim&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}");
  EXPECT_EQ(Link().CountLinesContaining("Sim link: removal of \\\\?\\hid#vid_1209&pid_0002#sim&0001#"), 2);

  ASSERT_TRUE(first.Quit(kTimeoutMs));
  ASSERT_TRUE(second.Quit(kTimeoutMs));
  EXPECT_TRUE(first.WaitUntilDetached(kTimeoutMs));
  EXPECT_TRUE(second.WaitUntilDetached(kTimeoutMs));
  EXPECT_TRUE(first.WaitForOutput("bye", 0));
  EXPECT_TRUE(demo_.Running());
}

TEST_F(ShellTest, AboutOpensFromTheMenuAndClosesByItsButtonOrEscape) {
  const size_t mark = demo_.LineCount();
  Dialog about = Dialog::OpenFromMenu(main_, IDM_HELP_ABOUT, L"About", kTimeoutMs);
  ASSERT_TRUE(about) << "no About dialog";
  ASSERT_TRUE(about.WaitForStatusLine(L"Hardware version 1.2x", kTimeoutMs));
  EXPECT_EQ(about.Text(IDC_ABOUT_CLOSE), L"Close");
  Shot(L"about");
  ShotOf(about.Window(), L"about-dialog");
  ASSERT_TRUE(about.Click(IDC_ABOUT_CLOSE));
  ASSERT_TRUE(about.WaitUntilGone(kTimeoutMs));
  EXPECT_TRUE(demo_.WaitForLineAfter(mark, "DESTRUCT", kTimeoutMs)) << demo_.Log();

  about = Dialog::OpenFromMenu(main_, IDM_HELP_ABOUT, L"About", kTimeoutMs);
  ASSERT_TRUE(about) << "no About dialog the second time";
  ASSERT_TRUE(about.SendKey(VK_ESCAPE));
  EXPECT_TRUE(about.WaitUntilGone(kTimeoutMs));
}

TEST_F(ShellTest, ExportWithNothingOnDisplayShowsNoDialog) {
  // Sent, not posted: the call returns once the command has been handled, and a dialog would
  // hold it in its modal loop past the time-out.
  DWORD_PTR result = 0;
  EXPECT_NE(::SendMessageTimeoutW(main_, WM_COMMAND, kExport, 0, SMTO_ABORTIFHUNG, 5000, &result), 0)
      << "the command did not return: a dialog is open";
  EXPECT_EQ(AnyDialogOf(demo_.Id()), nullptr);
  EXPECT_EQ(demo_.Log().find("Current Set:"), std::string::npos);
}

TEST_F(ShellTest, ExitAsksAndNoKeepsTheProgram) {
  // The close box asks first; No keeps everything.
  ::PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
  MessageBoxSeen box = ExpectMessageBox(L"Are you sure?");
  Shot(L"question");
  ExpectBoxPainted(box, {IDYES, IDNO}, L"question-box");
  ASSERT_NO_FATAL_FAILURE(Answer(box, IDNO));
  // The close has been handled: had it ended the program, the window would be gone.
  Drain(main_);
  EXPECT_TRUE(demo_.Running());
  EXPECT_TRUE(::IsWindowVisible(main_));

  // Exit asks the same; Yes ends the program.
  PostCommand(main_, kExit);
  box = ExpectMessageBox(L"Are you sure?");
  ASSERT_NO_FATAL_FAILURE(Answer(box, IDNO));
  Drain(main_);
  EXPECT_TRUE(demo_.Running());
  EXPECT_TRUE(::IsWindowVisible(main_));

  PostCommand(main_, kExit);
  box = ExpectMessageBox(L"Are you sure?");
  PressButton(box.window, IDYES);
  DWORD code = 1;
  ASSERT_TRUE(demo_.WaitForExit(kTimeoutMs, &code)) << "still running after Yes";
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace tev::driver
