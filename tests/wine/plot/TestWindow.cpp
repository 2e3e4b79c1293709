#include "tests/wine/plot/TestWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "plot/win32/GdiplusSession.h"
#include "tests/wine/shell/Screenshot.h"

namespace tev::win32::testing {
namespace {

constexpr const wchar_t* kClassName = L"TevPlotTestWindow";

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    gdiplus_ = std::make_unique<GdiplusSession>();
    ASSERT_TRUE(gdiplus_->Started());
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    ASSERT_NE(RegisterClassExW(&wc), 0);
  }
  void TearDown() override { gdiplus_.reset(); }

 private:
  std::unique_ptr<GdiplusSession> gdiplus_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace

TestWindow::TestWindow(int width, int height) {
  window_ = CreateWindowExW(0, kClassName, L"Plot test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width, height,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  PumpMessages();
}

TestWindow::~TestWindow() {
  if (window_) DestroyWindow(window_);
  PumpMessages();
}

int TestWindow::ClientWidth() const {
  RECT r{};
  GetClientRect(window_, &r);
  return r.right;
}

int TestWindow::ClientHeight() const {
  RECT r{};
  GetClientRect(window_, &r);
  return r.bottom;
}

void TestWindow::PumpMessages() const {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool SaveScreenshot(const std::wstring& name, const std::vector<std::uint32_t>& pixels, int width, int height) {
  const std::filesystem::path path = std::filesystem::path(TEV_SCREENSHOT_DIR) / (name + L".png");
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  return driver::SavePng(path.wstring(), pixels, width, height);
}

}  // namespace tev::win32::testing
