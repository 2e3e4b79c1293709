#pragma once
// One tool dialog of the running program, driven from outside as a user would: opened from the
// main window's menu, found by its title (its class is "DialogClass"), its controls by their ids.
// Every read is a time-limited send and every action a posted message, so a hung program fails a
// check instead of hanging the driver. Actions answer with an AssertionResult that says what went
// wrong: wrap them in ASSERT_TRUE / EXPECT_TRUE.
//
// A dialog test, in a fixture derived from DemoTest (DemoTest.h), with the ids of
// "resources/ResourceIds.h":
//
//   TEST_F(CaptureTest, ReadDataListsTheFlights) {
//     SimulatedAltimeter& sim = StartSim({});                // serial 0001, the four sample flights
//     ASSERT_TRUE(sim.WaitUntilAttached(kTimeoutMs));
//     Dialog capture = Dialog::OpenFromMenu(main_, IDM_TOOLS_CAPTURE, L"Capture Data", kTimeoutMs);
//     ASSERT_TRUE(capture) << "no Capture Data dialog";
//     ASSERT_TRUE(capture.WaitForStatusLine(L"Device Connected.", kTimeoutMs));
//     EXPECT_FALSE(capture.Enabled(IDC_CAPTURE_SAVE_ALL));
//     ASSERT_TRUE(capture.Click(IDC_CAPTURE_READ));      // refuses, and says so, if it is disabled
//     ASSERT_TRUE(capture.WaitForStatusLine(L"Data read successfully.", 30000));
//     Shot(L"read");                                      // the whole desktop, once painted
//     ShotOf(capture.Window(), L"dialog");                // the dialog alone
//     ASSERT_TRUE(capture.Close(kTimeoutMs));             // WM_CLOSE, then waits for it to go
//     EXPECT_TRUE(demo_.WaitForLine("Thread has exited.", kTimeoutMs));
//   }
//
// Status lines are compared without their "\r\n". Rectangles of controls are in the dialog's
// client coordinates; the dialog's own rectangle (WindowRect) in screen coordinates, frame
// included. Type() sets an edit's text with WM_SETTEXT, which the edit takes as it is (an
// ES_NUMBER edit refuses letters only when they are typed: TypeKeys posts WM_CHAR for each).
// Posted keys go through the modal loop, which turns Escape into IDCANCEL: to reach the dialog
// procedure's own WM_KEYDOWN handling, SendKey. Message boxes and file dialogs the dialog opens
// are answered with CommonDialogs.h; the simulated altimeters come from SimulatedAltimeter.h.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tev::driver {

constexpr const wchar_t* kDialogClass = L"DialogClass";
constexpr int kStatusBox = 1003;

class Dialog {
 public:
  Dialog() = default;
  explicit Dialog(HWND window) : window_(window) {}

  // Posts the menu command to the main window and waits for the dialog titled `title`.
  static Dialog OpenFromMenu(HWND mainWindow, WORD commandId, const wchar_t* title, DWORD timeoutMs);
  // A visible dialog of the process with that title, once it shows.
  static Dialog Find(DWORD processId, const wchar_t* title, DWORD timeoutMs);

  HWND Window() const { return window_; }
  HWND Item(int id) const { return ::GetDlgItem(window_, id); }
  explicit operator bool() const { return window_ != nullptr && ::IsWindow(window_); }

  // Reading. A control that is missing or does not answer reads as empty, false, -1 or an empty rect.
  std::wstring Title() const;
  std::wstring Text(int id) const;
  bool Enabled(int id) const;
  bool Visible(int id) const;               // the control's own visible style, and the dialog's
  int Checked(int id) const;                // BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE; -1: no answer
  RECT ItemRect(int id) const;              // in the dialog's client coordinates
  RECT ClientRect() const;
  RECT WindowRect() const;                  // screen coordinates, frame included
  std::wstring StatusText() const;          // control 1003, the whole text
  std::vector<std::wstring> StatusLines() const;  // its lines, without "\r\n"; a line not yet ended is left out

  // Acting. Click posts BM_CLICK, so a check box or radio button changes as under the mouse;
  // a disabled or hidden control is refused, never clicked.
  ::testing::AssertionResult Click(int id) const;
  ::testing::AssertionResult Type(int id, const std::wstring& text) const;
  ::testing::AssertionResult TypeKeys(int id, const std::wstring& text) const;
  // WM_KEYDOWN and WM_KEYUP posted straight to the dialog window, as a key press arrives: the
  // modal loop sees them first and makes Escape a WM_COMMAND IDCANCEL, Enter the default button's
  // command, Tab a move of the focus; other keys reach the dialog procedure.
  void Key(UINT virtualKey) const;
  // The same two messages sent, past the modal loop, to the dialog procedure itself.
  ::testing::AssertionResult SendKey(UINT virtualKey) const;
  // Moves and sizes the dialog (outer size, frame included), posted so a hung program cannot
  // stall it; succeeds once the program has handled it.
  ::testing::AssertionResult MoveTo(int x, int y) const;
  ::testing::AssertionResult Resize(int width, int height) const;
  // WM_CLOSE, as the close box sends it; true once the dialog has gone.
  ::testing::AssertionResult Close(DWORD timeoutMs) const;
  ::testing::AssertionResult WaitUntilGone(DWORD timeoutMs) const;

  // Waits until the status box holds the line (whole, ended by "\r\n") `count` times.
  ::testing::AssertionResult WaitForStatusLine(const std::wstring& line, DWORD timeoutMs, int count = 1) const;
  int CountStatusLines(const std::wstring& line) const;

 private:
  ::testing::AssertionResult Usable(int id, const char* action) const;
  ::testing::AssertionResult SetPosition(int x, int y, int width, int height, UINT flags) const;

  HWND window_ = nullptr;
};

// The same two for a dialog known by its window, as an in-process test has it.
inline bool Enabled(HWND dialog, int id) { return Dialog(dialog).Enabled(id); }
inline ::testing::AssertionResult Click(HWND dialog, int id) { return Dialog(dialog).Click(id); }

}  // namespace tev::driver
