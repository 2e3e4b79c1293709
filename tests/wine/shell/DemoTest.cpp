#include "tests/wine/shell/DemoTest.h"

#include <filesystem>

#include "tests/wine/shell/DriverEnvironment.h"
#include "tests/wine/shell/SettledScreen.h"
#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {

namespace {

std::string Narrow(const std::wstring& text) { return std::filesystem::path(text).string(); }

}  // namespace

void DemoTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  name_ = std::filesystem::path(info->name()).wstring();
  if (Environment().OverHidStack()) {
    const int port = NextPort();
    ASSERT_TRUE(bridge_.Start(Environment().hidBridgeExe, port, WorkPath(L"-bridge.log"),
                              L"--no-input --inf \"" + Environment().hidInf + L"\""))
        << "cannot start " << Narrow(Environment().hidBridgeExe) << ", error " << ::GetLastError();
    ASSERT_TRUE(bridge_.WaitForLine("hid-bridge: listening on 127.0.0.1:" + std::to_string(port), kStartTimeoutMs))
        << "the bridge does not listen; it said:\n" << bridge_.Log();
  }
  ASSERT_TRUE(demo_.Start(Environment().demoExe, NextPort(), WorkPath(L".log")))
      << "cannot start " << Narrow(Environment().demoExe) << ", error " << ::GetLastError();
  main_ = demo_.WaitForMainWindow(kStartTimeoutMs);
  ASSERT_NE(main_, nullptr) << "no main window; log:\n" << demo_.Log();
}

void DemoTest::TearDown() {
  // Left-over boxes would keep the program from being asked anything else.
  if (HWND box = AnyDialogOf(demo_.Id())) PressButton(box, IDCANCEL);
  sims_.clear();
  if (Environment().OverHidStack()) {
    // Ended only once it has unplugged every device: one left plugged would come back at the next
    // Wine session without anything behind it.
    EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] {
      return bridge_.CountLinesContaining("Sim link: removal of ") >= bridge_.CountLinesContaining("Sim link: arrival of ");
    })) << "the bridge still has devices plugged; it said:\n" << bridge_.Log();
  }
}

std::wstring DemoTest::WorkPath(const std::wstring& suffix) const {
  return Environment().workDir + L"\\" + name_ + suffix;
}

Picture DemoTest::Shot(const std::wstring& step) {
  const Picture screen = CaptureSettledScreen(demo_.Id());
  EXPECT_TRUE(screen.SavePng(Environment().shotDir + L"\\" + name_ + L"-" + step + L".png"));
  return screen;
}

Picture DemoTest::ShotOf(HWND window, const std::wstring& step) {
  const Picture picture = CaptureSettledWindow(window);
  EXPECT_FALSE(picture.Empty()) << "no window to take a picture of";
  if (!picture.Empty()) {
    EXPECT_TRUE(picture.SavePng(Environment().shotDir + L"\\" + name_ + L"-" + step + L".png"));
  }
  return picture;
}

SimulatedAltimeter& DemoTest::StartSim(SimOptions options) {
  const std::wstring log = WorkPath(L"-sim-" + options.serial + L".log");
  sims_.push_back(std::make_unique<SimulatedAltimeter>(Link(), std::move(options)));
  EXPECT_TRUE(sims_.back()->Start(Environment().simExe, log));
  return *sims_.back();
}

MessageBoxSeen DemoTest::ExpectMessageBox(const std::wstring& text) {
  // Every message box of the program has the program's caption.
  MessageBoxSeen box = WaitForMessageBox(demo_.Id(), L"TEV USB 1.40", kTimeoutMs);
  EXPECT_NE(box.window, nullptr) << "no message box captioned \"TEV USB 1.40\"";
  EXPECT_EQ(box.text, text);
  return box;
}

void DemoTest::Answer(const MessageBoxSeen& box, int button) {
  ASSERT_NE(box.window, nullptr);
  PressButton(box.window, button);
  ASSERT_TRUE(WaitUntilGone(box.window, kTimeoutMs)) << "the box stayed";
}

}  // namespace tev::driver
