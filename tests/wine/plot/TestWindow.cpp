#include "tests/wine/plot/TestWindow.h"

#include <gtest/gtest.h>

#include "plot/win32/GdiplusObjects.h"

namespace tev::win32::testing {
namespace {

constexpr const wchar_t* kClassName = L"TevPlotTestWindow";

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    ASSERT_NE(RegisterClassExW(&wc), 0);
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// {557CF406-1A04-11D3-9A73-0000F81EF32E}: the PNG encoder.
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

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
  const std::wstring dir = TEV_SCREENSHOT_DIR;
  CreateDirectoryW(dir.c_str(), nullptr);
  GdiImage image = NewBitmap(width, height);
  if (!image.Valid()) return false;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      gdip::GdipBitmapSetPixel(BitmapOf(image), x, y, 0xFF000000u | pixels[static_cast<std::size_t>(y) * width + x]);
  const std::wstring path = dir + L"/" + name + L".png";
  return gdip::GdipSaveImageToFile(image.Get(), path.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
}

}  // namespace tev::win32::testing
