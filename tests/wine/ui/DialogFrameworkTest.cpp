// The dialog framework in-process under Wine: a small dialog of its own on the Capture Data
// template, run modally as the program runs its dialogs and worked from another thread.
#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <stdexcept>

#include "device/win32/DeviceChange.h"
#include "resources/ResourceIds.h"
#include "sim/VirtualBus.h"
#include "tests/support/LogCapture.h"
#include "tests/device/SimDevices.h"
#include "tests/wine/plot/TestWindow.h"
#include "tests/wine/ui/ModalDialog.h"
#include "tests/wine/ui/ProgramMessageBox.h"
#include "ui/framework/DeviceWindow.h"
#include "ui/framework/DialogClass.h"
#include "ui/framework/ShowMessage.h"
#include "ui/logic/WorkerHost.h"
#include "win32/Guards.h"

namespace tev {
namespace {

using testing::AnswerProgramMessage;
using testing::CaptureWindow;
using testing::ControlRect;
using testing::ControlText;
using testing::RunModal;
using testing::WaitUntil;

// The controls of the Capture Data template and how each follows a resize.
struct Anchoring {
  int id;
  bool topFixed, leftFixed, bottomFollows, rightFollows;
};
constexpr Anchoring kAnchors[] = {
    {1003, true, true, true, true},    {1007, false, false, true, true}, {1004, false, false, true, true},
    {1006, false, false, true, true},  {1030, false, true, true, false}, {1032, false, true, true, false},
    {1002, true, true, false, false},  {1011, true, false, false, true}, {1031, true, true, false, true},
    {1033, true, true, false, false},
};
constexpr int kIcon = 1033;
constexpr WPARAM kStartWork = 4001;
constexpr WPARAM kThrow = 4002;

class CTestDeviceWindow : public CDeviceWindow {
 public:
  explicit CTestDeviceWindow(AltimeterDevice& altimeter) : CDeviceWindow(101, altimeter, kIcon) {}

  std::function<void()> work;
  std::atomic<int> refreshes{0};
  std::atomic<bool> lastBusy{false};
  HWND deviceFrame = nullptr;
  HWND statusFrame = nullptr;

  // What a worker does as its last step.
  void GiveControlsBack() { host_.RefreshControls(false); }
  void RefuseNextStart() { workerThread.RefuseNextStart(); }

 private:
  MessageResult HandleDialogMessage(UINT message, WPARAM wParam, LPARAM) override {
    if (message == WM_INITDIALOG) {
      CreateLayout();
      for (const Anchoring& a : kAnchors) Anchor(a.id, a.topFixed, a.leftFixed, a.bottomFollows, a.rightFollows);
      AnchorGroupFrame(1009, true, true, false, true);
      AnchorGroupFrame(1005, true, true, true, true);
      StartDeviceUse();
      return TRUE;
    }
    if (message == WM_COMMAND && wParam == kStartWork) {
      RunOperation({IDC_CAPTURE_READ}, work);
      return TRUE;
    }
    if (message == WM_COMMAND && wParam == kThrow) throw std::runtime_error("a handler failed");
    return std::nullopt;
  }
  void EnableControls(bool busy) override {
    ++refreshes;
    lastBusy = busy;
    EnableItem(IDC_CAPTURE_READ, !busy);
  }

  DialogWorkerHost<WorkerHost> host_{*this};
};

class DialogFramework : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterDialogClass()); }

  std::shared_ptr<SimAltimeter> sim = MakeSim();
  VirtualBus bus;
  AltimeterDevice device{bus};
  LogCapture log;

  int Count(const std::string& line) const {
    const auto lines = log.Lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
  }
};

std::map<HWND, RECT> ChildRects(HWND dialog) {
  std::map<HWND, RECT> rects;
  for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    RECT r = {};
    ::GetWindowRect(c, &r);
    ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    rects[c] = r;
  }
  return rects;
}

RECT WindowRect(HWND window) {
  RECT r = {};
  ::GetWindowRect(window, &r);
  return r;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void Resize(HWND dialog, int width, int height) {
  ::SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST_F(DialogFramework, AResizedDialogPutsEveryControlBackAndCannotShrinkBelowItsFirstSize) {
  CTestDeviceWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Capture Data", [&](HWND window) {
    const RECT first = WindowRect(window);
    const int width = first.right - first.left, height = first.bottom - first.top;
    const std::map<HWND, RECT> before = ChildRects(window);
    const RECT status = ControlRect(window, 1003), read = ControlRect(window, 1006), live = ControlRect(window, 1032),
               clear = ControlRect(window, 1011), save = ControlRect(window, 1002);

    Resize(window, width + 200, height + 120);
    EXPECT_EQ(ControlRect(window, 1003).right - status.right, 200) << "the status box stretches";
    EXPECT_EQ(ControlRect(window, 1003).bottom - status.bottom, 120);
    EXPECT_EQ(ControlRect(window, 1006).left - read.left, 200) << "Read Data follows the corner";
    EXPECT_EQ(ControlRect(window, 1006).top - read.top, 120);
    EXPECT_EQ(ControlRect(window, 1032).top - live.top, 120) << "Live Update moves down";
    EXPECT_EQ(ControlRect(window, 1032).left, live.left);
    EXPECT_EQ(ControlRect(window, 1011).left - clear.left, 200) << "Clear Device moves right";
    EXPECT_TRUE(SameRect(ControlRect(window, 1002), save)) << "Save Selected stays";
    CaptureWindow(window);  // painted at the larger size, for the shot below
    const testing::Pixels large = CaptureWindow(window);
    win32::testing::SaveScreenshot(L"dialog-framework-resized", large.data, large.width, large.height);

    Resize(window, width + 37, height + 11);  // in steps, as a drag does
    Resize(window, width, height);
    for (const auto& [child, rect] : ChildRects(window)) {
      EXPECT_TRUE(SameRect(rect, before.at(child))) << "control " << ::GetDlgCtrlID(child) << " moved";
    }

    Resize(window, width - 100, height - 80);
    const RECT shrunk = WindowRect(window);
    EXPECT_EQ(shrunk.right - shrunk.left, width) << "narrower than it opened";
    EXPECT_EQ(shrunk.bottom - shrunk.top, height) << "lower than it opened";
  }));
}

// Colours of the drawn frames.
constexpr std::uint32_t kTan = 0xD2B48C;
constexpr std::uint32_t kBackground = 0xC4DFFF;

TEST_F(DialogFramework, AGroupFrameDrawsItsCaptionNinePixelsInAndItsTopLineThroughTheCaptionsMiddle) {
  CTestDeviceWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Capture Data", [&](HWND window) {
    const testing::Pixels shot = CaptureWindow(window);
    win32::testing::SaveScreenshot(L"dialog-framework-frames", shot.data, shot.width, shot.height);

    // The "Status" frame: its window is a child without id in the status box's place.
    HWND frame = nullptr;
    for (HWND c = ::GetWindow(window, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
      wchar_t text[64] = {};
      ::GetWindowTextW(c, text, 64);
      if (::GetDlgCtrlID(c) == 0 && std::wstring(text) == L"Status") frame = c;
    }
    ASSERT_NE(frame, nullptr) << "no frame took the group box's place";
    EXPECT_EQ(::GetDlgItem(window, 1005), nullptr) << "the group box is still there";
    RECT r = WindowRect(frame);
    const RECT outer = WindowRect(window);
    const int left = r.left - outer.left, top = r.top - outer.top;

    // The caption's ink (anti-aliased, so any colour but the background's and the line's).
    int firstColumn = 1 << 20, firstRow = 1 << 20, lastRow = -1;
    for (int y = 0; y < 22; ++y) {  // above the connection icon
      for (int x = 8; x < 80; ++x) {
        const std::uint32_t c = shot.At(left + x, top + y);
        if (c == kBackground || c == kTan) continue;
        firstColumn = std::min(firstColumn, x);
        firstRow = std::min(firstRow, y);
        lastRow = std::max(lastRow, y);
      }
    }
    ASSERT_GE(lastRow, 0) << "no caption drawn";
    // GDI+ leaves a little room before the first letter.
    EXPECT_GE(firstColumn, 9) << "the caption starts left of its place";
    EXPECT_LE(firstColumn, 13) << "the caption starts far right of its place";

    int lineRow = -1;
    for (int y = 0; y < 30 && lineRow < 0; ++y) {
      if (shot.At(left + 5, top + y) == kTan && shot.At(left + 6, top + y) == kTan) lineRow = y;
    }
    ASSERT_GE(lineRow, 0) << "no top line left of the caption";
    EXPECT_NEAR(lineRow, (firstRow + lastRow) / 2.0, 2.0) << "the top line misses the caption's middle";
    EXPECT_EQ(shot.At(left + 8, top + lineRow), kBackground) << "the line runs into the caption";
    EXPECT_EQ(shot.At(left + 1, top + lineRow + 10), kTan) << "no left edge";
    EXPECT_EQ(shot.At(left + 20, top + 40), kBackground) << "the inside is not the dialog's colour";
  }));
}

TEST_F(DialogFramework, ClosingWhileTheWorkerRunsWaitsForItAndThenCloses) {
  win32::UniqueKernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  auto dialog = std::make_unique<CTestDeviceWindow>(device);
  dialog->work = [&] { ::WaitForSingleObject(release.Get(), 20000); };
  ASSERT_TRUE(RunModal(*dialog, L"Capture Data", [&](HWND window) {
    ::SendMessageW(window, WM_COMMAND, kStartWork, 0);
    // A second start while the first runs is refused at once, never waited for.
    DWORD_PTR ignored = 0;
    EXPECT_NE(::SendMessageTimeoutW(window, WM_COMMAND, kStartWork, 0, SMTO_NORMAL, 3000, &ignored), 0)
        << "a second start hung the dialog";
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil(5000, [&] { return Count("reposting close message...") >= 2; }));
    EXPECT_TRUE(::IsWindow(window)) << "closed under a running worker";
    EXPECT_EQ(Count("Thread has exited."), 0);
    ::SetEvent(release.Get());
    EXPECT_TRUE(WaitUntil(5000, [&] { return !::IsWindow(window); })) << "did not close once the worker ended";
  }));
  EXPECT_EQ(Count("Thread has exited."), 1);
  dialog.reset();
  ASSERT_FALSE(log.Lines().empty());
  EXPECT_EQ(log.Lines().back(), "DESTRUCT");
}

TEST_F(DialogFramework, AButtonComesBackOnlyOnceItsWorkerHasEndedOrAtOnceWhenNoneCouldStart) {
  win32::UniqueKernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  CTestDeviceWindow dialog(device);
  std::atomic<bool> gaveBack{false};
  dialog.work = [&] {
    dialog.GiveControlsBack();  // from the worker, before its end
    gaveBack = true;
    ::WaitForSingleObject(release.Get(), 20000);
  };
  const auto readEnabled = [](HWND window) { return ::IsWindowEnabled(::GetDlgItem(window, IDC_CAPTURE_READ)) != FALSE; };
  ASSERT_TRUE(RunModal(dialog, L"Capture Data", [&](HWND window) {
    ASSERT_TRUE(WaitUntil(5000, [&] { return readEnabled(window); }));
    ::SendMessageW(window, WM_COMMAND, kStartWork, 0);
    EXPECT_TRUE(WaitUntil(5000, [&] { return gaveBack.load(); }));
    ::SendMessageW(window, WM_NULL, 0, 0);  // whatever the dialog thread had queued is handled
    EXPECT_FALSE(readEnabled(window)) << "usable while its worker still runs";
    // A device change meanwhile does not give it back either.
    win32::SendDeviceChange(window, false, L"some other device");
    EXPECT_FALSE(readEnabled(window)) << "usable after a device change under the worker";
    ::SetEvent(release.Get());
    EXPECT_TRUE(WaitUntil(5000, [&] { return readEnabled(window); })) << "not given back once the worker ended";

    // No thread to be had: the button comes back at once, and the status says so.
    dialog.RefuseNextStart();
    ::SendMessageW(window, WM_COMMAND, kStartWork, 0);
    EXPECT_TRUE(readEnabled(window)) << "left disabled by a start that failed";
    EXPECT_TRUE(WaitUntil(5000, [&] {
      return ControlText(window, IDC_STATUS).ends_with(L"The operation did not start: no worker thread could be made.\r\n");
    }));
  }));
}

TEST_F(DialogFramework, AnArrivalDuringTheWorkerWaitsForItsEndAndTheAltimetersRemovalClosesAtOnce) {
  bus.Plug(sim);
  win32::UniqueKernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<int> readAfterArrival{-99};
  CTestDeviceWindow dialog(device);
  dialog.work = [&] {
    ::WaitForSingleObject(release.Get(), 20000);
    std::uint16_t count = 0;
    readAfterArrival = device.ReadAdc(count);
  };
  ASSERT_TRUE(RunModal(dialog, L"Capture Data", [&](HWND window) {
    ASSERT_TRUE(WaitUntil(5000, [&] { return dialog.StatusTextNow().find(L"Device Connected.") != std::wstring::npos; }));
    const HidHandle handleBefore = device.readHandle;

    ::SendMessageW(window, WM_COMMAND, kStartWork, 0);
    const std::wstring other = bus.Plug(MakeSim(Personality::Application, 0, "0002"));
    win32::SendDeviceChange(window, true, other);
    EXPECT_EQ(device.readHandle.load(), handleBefore) << "the arrival reconnected under the worker";
    EXPECT_TRUE(dialog.lastBusy) << "the buttons were refreshed as if idle";
    ::SetEvent(release.Get());
    EXPECT_TRUE(WaitUntil(5000, [&] { return readAfterArrival != -99; }));
    EXPECT_EQ(readAfterArrival, kOk) << "the worker's exchange was disturbed";
    // Once the worker has ended, the put-off arrival connects.
    EXPECT_TRUE(WaitUntil(5000, [&] { return Count("Device Change.") == 1 && !dialog.lastBusy; }));
    const std::wstring status = dialog.StatusTextNow();
    EXPECT_NE(status.rfind(L"Device Connected.\r\n"), status.find(L"Device Connected.\r\n"))
        << "no second connect sequence after the worker";

    // Another device leaving changes nothing; the altimeter leaving closes it at once.
    win32::SendDeviceChange(window, false, other);
    EXPECT_TRUE(device.IsOpen());
    const std::wstring path = device.devicePath;
    win32::SendDeviceChange(window, false, path);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_TRUE(WaitUntil(5000, [&] { return ControlText(window, IDC_STATUS).ends_with(L"Device disconnected.\r\n"); }));
  }));
}

TEST_F(DialogFramework, TheStatusBoxShowsTheNewestTextAndAFailingHandlerLeavesTheDialogWorking) {
  CTestDeviceWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Capture Data", [&](HWND window) {
    EXPECT_TRUE(WaitUntil(5000, [&] { return ControlText(window, IDC_STATUS) == L"Device not found.\r\n"; }));
    for (int i = 0; i < 40; ++i) dialog.AppendStatus(L"Packet Read: " + std::to_wstring(i) + L"\r\n");
    EXPECT_TRUE(WaitUntil(5000, [&] { return ControlText(window, IDC_STATUS).ends_with(L"Packet Read: 39\r\n"); }));
    HWND box = ::GetDlgItem(window, IDC_STATUS);
    EXPECT_GT(::SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 20) << "not scrolled to the end";

    EXPECT_EQ(::SendMessageW(window, WM_COMMAND, kThrow, 0), FALSE);
    dialog.AppendStatus(L"still here\r\n");
    EXPECT_TRUE(WaitUntil(5000, [&] { return ControlText(window, IDC_STATUS).ends_with(L"still here\r\n"); }));
  }));
}

TEST_F(DialogFramework, MessageBoxesCarryTheProgramsCaption) {
  std::atomic<int> answer{0};
  std::thread asking([&] { answer = ShowMessage(nullptr, IDS_ARE_YOU_SURE, MB_YESNO | MB_ICONEXCLAMATION); });
  EXPECT_EQ(AnswerProgramMessage(IDNO), L"Are you sure?");
  asking.join();
  EXPECT_EQ(answer, IDNO);
}

}  // namespace
}  // namespace tev
