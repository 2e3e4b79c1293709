// A flight reaches the main window from outside: named on the command line, or dropped on the
// window as the shell drops files (a DROPFILES block with wide paths, sent as WM_DROPFILES).
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/LaunchFile.h"
#include "app/MainWindow.h"
#include "sim/VirtualBus.h"
#include "tests/wine/ui/ProgramMessageBox.h"

namespace tev {
namespace {

namespace fs = std::filesystem;
using testing::AnswerProgramMessage;

const std::wstring kLoadError = L"Could not load file. Make sure the file is valid and not locked.";
const std::wstring kNotDataFile =
    L"Only TEV USB data files (*.tev) can be opened. Drop a .tev file on the window to show its flight.";

// A drop as the shell hands it over: the block DragQueryFileW reads, owned by the receiver.
HGLOBAL ShellDrop(const std::vector<std::wstring>& paths) {
  size_t chars = 1;  // the list's closing null
  for (const auto& p : paths) chars += p.size() + 1;
  HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  auto* list = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(header) + sizeof(DROPFILES));
  for (const auto& p : paths) {
    std::memcpy(list, p.c_str(), (p.size() + 1) * sizeof(wchar_t));
    list += p.size() + 1;
  }
  ::GlobalUnlock(block);
  return block;
}

class LaunchFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Names with spaces and letters outside Latin-1, as people's folders have.
    folder_ = fs::temp_directory_path() / L"My Flights \u0440\u0430\u043a\u0435\u0442\u0430";
    fs::create_directories(folder_);
    good_ = folder_ / L"Sunday flight \u00e9t\u00e9.tev";
    fs::copy_file(TEV_SAMPLE_FLIGHT, good_, fs::copy_options::overwrite_existing);
    bad_ = folder_ / L"not a flight.tev";
    std::ofstream(bad_, std::ios::binary) << "this is not a flight";
    other_ = folder_ / L"notes.txt";
    std::ofstream(other_) << "notes";
    ASSERT_TRUE(window_.Create(::GetModuleHandleW(nullptr)));
  }

  void TearDown() override {
    ::DestroyWindow(window_.Handle());
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    ::UnregisterClassW(kMainWindowClass, ::GetModuleHandleW(nullptr));
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // Runs `action` on this (the window's) thread while another thread answers the program's
  // message box; returns its text, empty when none came. A box comes while the action runs, so
  // once it has returned without one, none will.
  std::wstring MessageDuring(const std::function<void()>& action) {
    std::atomic<bool> done{false};
    auto answered = std::async(std::launch::async, [&] { return AnswerProgramMessage(IDOK, 10000, [&] { return done.load(); }); });
    action();
    done = true;
    return answered.get();
  }

  void Drop(const std::vector<std::wstring>& paths) {
    ::SendMessageW(window_.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(ShellDrop(paths)), 0);
  }

  bool FlightShown() const { return !device_.currentSet.adc.empty(); }

  VirtualBus bus_;
  AltimeterDevice device_{bus_};
  MainWindow window_{device_};
  fs::path folder_, good_, bad_, other_;
};

TEST_F(LaunchFileTest, TheWindowAcceptsDrops) {
  EXPECT_TRUE(::GetWindowLongPtrW(window_.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST_F(LaunchFileTest, ADroppedFlightIsShownWithoutAMessage) {
  EXPECT_EQ(MessageDuring([&] { Drop({good_.wstring()}); }), L"");
  EXPECT_TRUE(FlightShown());
  EXPECT_FALSE(device_.packets.empty());
}

TEST_F(LaunchFileTest, OfSeveralDroppedFilesTheFirstIsOpened) {
  EXPECT_EQ(MessageDuring([&] { Drop({good_.wstring(), other_.wstring(), bad_.wstring()}); }), L"");
  EXPECT_TRUE(FlightShown());

  // The first one bad: its load error, although a good flight follows it.
  device_.currentSet = {};
  EXPECT_EQ(MessageDuring([&] { Drop({bad_.wstring(), good_.wstring()}); }), kLoadError);
  EXPECT_FALSE(FlightShown());
}

TEST_F(LaunchFileTest, WhatIsNotAFlightIsRefusedAndTheFlightOnDisplayStays) {
  MessageDuring([&] { Drop({good_.wstring()}); });
  ASSERT_TRUE(FlightShown());
  const auto shown = device_.currentSet.adc;

  const struct {
    std::wstring path;
    const std::wstring& message;
  } cases[] = {
      {other_.wstring(), kNotDataFile},                            // another kind of file
      {folder_.wstring(), kNotDataFile},                           // a folder
      {bad_.wstring(), kLoadError},                                // named .tev, but not a flight
      {(folder_ / L"gone.tev").wstring(), kLoadError},             // no longer there
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(MessageDuring([&] { Drop({cases[i].path}); }), cases[i].message) << "case " << i;
    EXPECT_EQ(device_.currentSet.adc, shown) << "case " << i;
  }
  // An empty drop tells nothing to open.
  EXPECT_EQ(MessageDuring([&] { Drop({}); }), kNotDataFile);
}

TEST_F(LaunchFileTest, TheCommandLineNamesTheFileAsTheShellQuotesIt) {
  const std::wstring path = good_.wstring();
  const struct {
    std::wstring commandLine;
    std::optional<std::wstring> file;
  } cases[] = {
      {L"\"C:\\Program Files\\TEV USB\\TevUsb.exe\" \"" + path + L"\"", path},
      {L"TevUsb.exe \"" + path + L"\"", path},
      {L"TevUsb.exe C:\\Flights\\sport.tev", L"C:\\Flights\\sport.tev"},
      {L"\"C:\\Program Files\\TEV USB\\TevUsb.exe\"", std::nullopt},
      {L"TevUsb.exe   ", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FileFromCommandLine(c.commandLine.c_str()), c.file);

  // What it names is opened as File > Open opens a file, with the same message when it cannot be.
  EXPECT_EQ(MessageDuring([&] { window_.OpenDataFile(*FileFromCommandLine(cases[0].commandLine.c_str())); }), L"");
  EXPECT_TRUE(FlightShown());
  device_.currentSet = {};
  EXPECT_EQ(MessageDuring([&] { window_.OpenDataFile((folder_ / L"gone.tev").wstring()); }), kLoadError);
  EXPECT_FALSE(FlightShown());
}

}  // namespace
}  // namespace tev
