// The dialog helpers tried on the practice dialog, in a process of its own as the program's
// dialogs will be: what they read, what they refuse, and that a hung dialog costs a bounded wait.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/wine/shell/DemoProcess.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/DriverEnvironment.h"
#include "tests/wine/shell/PracticeDialogIds.h"
#include "tests/wine/shell/SettledScreen.h"
#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {
namespace {

constexpr DWORD kTimeoutMs = 10000;
constexpr int kNoSuchControl = 4242;

class DialogDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring name = std::filesystem::path(::testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_TRUE(practice_.Start(self, NextPort(), Environment().workDir + L"\\" + name + L".log", L"--practice-dialog"));
    dialog_ = Dialog::Find(practice_.Id(), L"Practice Dialog", kTimeoutMs);
    ASSERT_TRUE(dialog_) << "no practice dialog; it said:\n" << practice_.Log();
  }

  // Elapsed milliseconds of one call.
  template <typename F>
  static ULONGLONG Timed(F call) {
    const ULONGLONG start = ::GetTickCount64();
    call();
    return ::GetTickCount64() - start;
  }

  DemoProcess practice_;
  Dialog dialog_;
};

TEST_F(DialogDriverTest, ReadsControlsAndClicksOnlyWhatIsEnabled) {
  EXPECT_EQ(dialog_.Title(), L"Practice Dialog");
  EXPECT_EQ(dialog_.Text(IDC_PRACTICE_START), L"Start");
  EXPECT_EQ(dialog_.Text(kNoSuchControl), L"");
  EXPECT_TRUE(dialog_.Enabled(IDC_PRACTICE_START));
  EXPECT_FALSE(dialog_.Enabled(IDC_PRACTICE_NEVER));
  EXPECT_TRUE(dialog_.Visible(IDC_PRACTICE_NEVER));
  EXPECT_FALSE(dialog_.Visible(kNoSuchControl));

  // Controls are placed in the dialog's client coordinates: two at the same template x line up,
  // however far the dialog stands from the screen's corner.
  const RECT start = dialog_.ItemRect(IDC_PRACTICE_START);
  const RECT never = dialog_.ItemRect(IDC_PRACTICE_NEVER);
  const RECT status = dialog_.ItemRect(IDC_PRACTICE_STATUS);
  const RECT client = dialog_.ClientRect();
  EXPECT_GT(dialog_.WindowRect().left, 100) << "centred on the desktop";
  EXPECT_GT(start.left, 0);
  EXPECT_LT(start.left, 30);
  EXPECT_EQ(status.left, start.left);
  EXPECT_EQ(never.top, start.top);
  EXPECT_LT(start.right, never.left);
  EXPECT_GT(status.top, start.bottom);
  EXPECT_LE(status.right, client.right);
  EXPECT_LE(status.bottom, client.bottom);

  // A check box ticks as under the mouse.
  EXPECT_EQ(dialog_.Checked(IDC_PRACTICE_OPTION), BST_UNCHECKED);
  ASSERT_TRUE(dialog_.Click(IDC_PRACTICE_OPTION));
  EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return dialog_.Checked(IDC_PRACTICE_OPTION) == BST_CHECKED; }));
  EXPECT_EQ(dialog_.Checked(kNoSuchControl), -1);

  // A disabled button is refused with a reason and never reaches the dialog.
  const ::testing::AssertionResult refused = dialog_.Click(IDC_PRACTICE_NEVER);
  EXPECT_FALSE(refused);
  EXPECT_NE(std::string(refused.message()).find("\"Never\"): it is disabled"), std::string::npos) << refused.message();
  EXPECT_FALSE(dialog_.Click(kNoSuchControl));
  ASSERT_TRUE(dialog_.Click(IDC_PRACTICE_START));
  EXPECT_TRUE(practice_.WaitForLine("clicked 1001", kTimeoutMs)) << practice_.Log();
  ASSERT_TRUE(Drain(dialog_.Window()));
  EXPECT_EQ(practice_.CountLinesContaining("clicked 1002"), 0);

  ASSERT_TRUE(dialog_.Close(kTimeoutMs));
  DWORD code = 1;
  EXPECT_TRUE(practice_.WaitForExit(kTimeoutMs, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(dialog_.Close(100)) << "closing a dialog that has gone";
}

TEST_F(DialogDriverTest, TypesIntoEditsAndSendsKeys) {
  ASSERT_TRUE(dialog_.Type(IDC_PRACTICE_NUMBER, L"123"));
  EXPECT_EQ(dialog_.Text(IDC_PRACTICE_NUMBER), L"123");
  // WM_SETTEXT passes a digits-only box's filter; typed keys do not.
  ASSERT_TRUE(dialog_.Type(IDC_PRACTICE_NUMBER, L"12ab"));
  EXPECT_EQ(dialog_.Text(IDC_PRACTICE_NUMBER), L"12ab");
  ASSERT_TRUE(dialog_.Type(IDC_PRACTICE_NUMBER, L""));
  ASSERT_TRUE(dialog_.TypeKeys(IDC_PRACTICE_NUMBER, L"4x5"));
  EXPECT_EQ(dialog_.Text(IDC_PRACTICE_NUMBER), L"45");

  const ::testing::AssertionResult refused = dialog_.Type(IDC_PRACTICE_LOCKED, L"7");
  EXPECT_FALSE(refused);
  EXPECT_NE(std::string(refused.message()).find("disabled"), std::string::npos) << refused.message();
  EXPECT_EQ(dialog_.Text(IDC_PRACTICE_LOCKED), L"");

  // Keys reach the dialog through its modal loop: Escape becomes IDCANCEL, others its own.
  const size_t mark = practice_.LineCount();
  dialog_.Key(VK_F5);
  EXPECT_TRUE(practice_.WaitForLineAfter(mark, "key 116", kTimeoutMs)) << practice_.Log();
  dialog_.Key(VK_ESCAPE);
  EXPECT_TRUE(practice_.WaitForLineAfter(mark, "command 2", kTimeoutMs)) << practice_.Log();
  EXPECT_EQ(practice_.CountLines("key 27"), 0);
  // Sent, Escape is a key like any other.
  ASSERT_TRUE(dialog_.SendKey(VK_ESCAPE));
  EXPECT_EQ(practice_.CountLines("key 27"), 1) << practice_.Log();
}

TEST_F(DialogDriverTest, WaitsForWholeStatusLinesAndReadsAFullStatusBox) {
  const ::testing::AssertionResult early = dialog_.WaitForStatusLine(L"Started.", 200);
  EXPECT_FALSE(early);
  EXPECT_NE(std::string(early.message()).find("no status line \"Started.\""), std::string::npos) << early.message();

  ASSERT_TRUE(dialog_.Click(IDC_PRACTICE_START));
  ASSERT_TRUE(dialog_.WaitForStatusLine(L"Done.", kTimeoutMs));
  EXPECT_EQ(dialog_.StatusLines(), (std::vector<std::wstring>{L"Started.", L"Done."}));
  EXPECT_EQ(dialog_.CountStatusLines(L"Start"), 0) << "part of a line is not the line";
  EXPECT_EQ(dialog_.CountStatusLines(L"tarted."), 0);
  ASSERT_TRUE(dialog_.Click(IDC_PRACTICE_START));
  EXPECT_TRUE(dialog_.WaitForStatusLine(L"Done.", kTimeoutMs, 2));
  EXPECT_EQ(dialog_.CountStatusLines(L"Started."), 2);

  // The status box's whole capacity comes across in one read.
  ASSERT_TRUE(dialog_.Click(IDC_PRACTICE_FILL));
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return dialog_.StatusText().size() == 131071; }))
      << dialog_.StatusText().size() << " characters read";
  const std::vector<std::wstring> lines = dialog_.StatusLines();
  ASSERT_EQ(lines.size(), 4096u);
  EXPECT_EQ(lines.front(), L"Filler line 000001 ...........");
  EXPECT_EQ(lines[4094], L"Filler line 004095 ...........");
  EXPECT_EQ(lines.back(), std::wstring(25, L'x') + L" end");
}

TEST_F(DialogDriverTest, MovesAndResizesTheDialogAndTakesItsPicture) {
  const RECT before = dialog_.WindowRect();
  const RECT statusBefore = dialog_.ItemRect(IDC_PRACTICE_STATUS);
  const int width = before.right - before.left, height = before.bottom - before.top;

  ASSERT_TRUE(dialog_.MoveTo(40, 30));
  RECT now = dialog_.WindowRect();
  EXPECT_EQ(now.left, 40);
  EXPECT_EQ(now.top, 30);
  EXPECT_EQ(now.right - now.left, width);
  EXPECT_EQ(now.bottom - now.top, height);

  ASSERT_TRUE(dialog_.Resize(width + 100, height + 60));
  now = dialog_.WindowRect();
  EXPECT_EQ(now.left, 40);
  EXPECT_EQ(now.right - now.left, width + 100);
  EXPECT_EQ(now.bottom - now.top, height + 60);
  // The dialog's own layout has run by the time Resize returns.
  const RECT status = dialog_.ItemRect(IDC_PRACTICE_STATUS);
  EXPECT_EQ(status.left, statusBefore.left);
  EXPECT_EQ(status.right, statusBefore.right + 100);
  EXPECT_EQ(status.bottom, statusBefore.bottom + 60);

  // The window's picture lines up with the places read: the status box is white inside its border.
  bool settled = false;
  const Picture picture = CaptureSettledWindow(dialog_.Window(), kSettleTimeoutMs, &settled);
  EXPECT_TRUE(settled);
  ASSERT_EQ(picture.Width(), width + 100);
  ASSERT_EQ(picture.Height(), height + 60);
  EXPECT_TRUE(picture.SavePng(Environment().shotDir + L"\\PracticeDialog-resized.png"));
  POINT origin = {0, 0};
  ::ClientToScreen(dialog_.Window(), &origin);
  const int dx = origin.x - now.left, dy = origin.y - now.top;
  const RECT inside = {status.left + dx + 3, status.top + dy + 3, status.right + dx - 20, status.bottom + dy - 3};
  const int area = (inside.right - inside.left) * (inside.bottom - inside.top);
  EXPECT_GT(picture.Count(inside, Rgb{255, 255, 255}), area * 9 / 10);
}

TEST_F(DialogDriverTest, AHungDialogFailsChecksInBoundedTime) {
  ASSERT_TRUE(dialog_.Click(IDC_PRACTICE_HANG));
  ASSERT_TRUE(practice_.WaitForLine("hanging", kTimeoutMs));
  const ULONGLONG bound = kSendTimeoutMs + 1000;

  // A window that owes a paint is not settled, and the wait for it ends all the same.
  ::InvalidateRect(dialog_.Window(), nullptr, TRUE);
  EXPECT_FALSE(NothingLeftToPaint(practice_.Id()));
  bool settled = true;
  EXPECT_LE(Timed([&] { CaptureSettledWindow(dialog_.Window(), 1000, &settled); }), 1000 + bound);
  EXPECT_FALSE(settled);

  std::wstring text = L"?";
  EXPECT_LE(Timed([&] { text = dialog_.Text(IDC_PRACTICE_START); }), bound);
  EXPECT_EQ(text, L"");
  int checked = 0;
  EXPECT_LE(Timed([&] { checked = dialog_.Checked(IDC_PRACTICE_OPTION); }), bound);
  EXPECT_EQ(checked, -1);
  EXPECT_LE(Timed([&] { EXPECT_FALSE(dialog_.Resize(500, 400)); }), bound);
  EXPECT_LE(Timed([&] { EXPECT_FALSE(dialog_.WaitForStatusLine(L"Done.", 500)); }), bound);

  // Once it answers again, so does everything.
  ASSERT_TRUE(practice_.WaitForLine("awake", kTimeoutMs));
  EXPECT_EQ(dialog_.Text(IDC_PRACTICE_START), L"Start");
  EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return NothingLeftToPaint(practice_.Id()); }));
}

}  // namespace
}  // namespace tev::driver
