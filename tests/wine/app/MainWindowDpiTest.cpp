// The main window at the screen's DPI (the prefix's LogPixels: this program runs at 96, 144 and
// 192). The program declares itself per-monitor aware, so Wine and Windows draw it at that DPI
// instead of stretching a 96-DPI picture, and the plot's fonts, pens and distances grow with it.
// A move to a monitor of another DPI is the system's WM_DPICHANGED with the new DPI and the
// suggested rectangle: the window takes the rectangle and draws the plot again at the new scale.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <future>
#include <iterator>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "plot/PlotView.h"
#include "plot/RecordingCanvas.h"
#include "plot/win32/DrawingBuffer.h"
#include "sim/VirtualBus.h"
#include "tests/wine/plot/TestWindow.h"
#include "tests/wine/shell/SettledScreen.h"
#include "tests/wine/ui/ProgramMessageBox.h"
#include "win32/Dpi.h"

namespace tev {
namespace {

constexpr Argb kBlue = 0xFF0000FF;
constexpr std::uint32_t kBluePixel = 0x0000FF;
constexpr std::uint32_t kGreyPixel = 0x808080;

// What the window shows at a DPI: the ground line's thickness in pixels (a 3-pixel pen at 96,
// drawn by GDI at the nearest whole width) and the smallest outer size (420 × 320 at 96).
struct AtDpi {
  UINT dpi;
  int groundPixels;
  SIZE minimum;
};
constexpr AtDpi kAtDpi[] = {
    {96, 3, {420, 320}},
    {120, 4, {525, 400}},
    {144, 5, {630, 480}},
    {192, 6, {840, 640}},
};

const AtDpi* Expected(UINT dpi) {
  for (const AtDpi& e : kAtDpi)
    if (e.dpi == dpi) return &e;
  return nullptr;
}

// The DPI the test runs at, as tests/support/wine-test.sh set it for the prefix.
UINT ScreenLogPixels() {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS)
    return win32::kBaseDpi;
  return value;
}

struct BufferPixels {
  std::vector<std::uint32_t> pixels;
  int width = 0, height = 0;
  bool Blue(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height &&
           (pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF) == kBluePixel;
  }
};

BufferPixels Buffer() {
  BufferPixels b;
  win32::TheDrawingBuffer().CopyPixels(b.pixels, b.width, b.height);
  return b;
}

// The longest run of blue down one column.
int BlueRunDownColumn(const BufferPixels& b, int x) {
  int longest = 0, run = 0;
  for (int y = 0; y < b.height; ++y) {
    run = b.Blue(x, y) ? run + 1 : 0;
    if (run > longest) longest = run;
  }
  return longest;
}

// From the first to the last row with blue in the box [left, right) × [top, bottom).
int BlueInkHeight(const BufferPixels& b, int left, int right, int top, int bottom) {
  int first = -1, last = -1;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      if (!b.Blue(x, y)) continue;
      if (first < 0) first = y;
      last = y;
      break;
    }
  }
  return first < 0 ? 0 : last - first + 1;
}

class MainWindowDpiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dpi_ = ScreenLogPixels();
    ASSERT_NE(Expected(dpi_), nullptr) << "no expectations for " << dpi_ << " DPI";
    ASSERT_TRUE(window_.Create(::GetModuleHandleW(nullptr)));
    // A good flight opens without a message; should one come all the same, it is answered and shown.
    // It would come while the file is opened: once that has returned, none will.
    std::atomic<bool> opened{false};
    auto message = std::async(std::launch::async, [&] {
      return testing::AnswerProgramMessage(IDOK, 10000, [&] { return opened.load(); });
    });
    window_.OpenDataFile(TEV_SAMPLE_FLIGHT);
    opened = true;
    ASSERT_EQ(message.get(), L"");
    ASSERT_FALSE(device_.currentSet.adc.empty());
    Pump();
  }

  void TearDown() override {
    ::DestroyWindow(window_.Handle());
    Pump();
    ::UnregisterClassW(kMainWindowClass, ::GetModuleHandleW(nullptr));
  }

  static void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }

  HWND Handle() const { return window_.Handle(); }

  // The flight on display painted by the program's own painter onto a recording canvas.
  RecordingCanvas RecordPlot() const {
    PlotScale scale = device_.plotScale;
    RecordingCanvas canvas(scale.width, scale.height);
    PaintPlot(canvas, device_.currentSet, scale);
    return canvas;
  }

  // The plot as drawn at `dpi`: the label font, the pens, the ground line's pixels and the buffer's size.
  void ExpectPlotAt(UINT dpi) {
    const AtDpi& at = *Expected(dpi);
    const float factor = static_cast<float>(dpi) / 96.0f;
    EXPECT_EQ(device_.plotScale.dpi, static_cast<std::int32_t>(dpi));

    const RecordingCanvas canvas = RecordPlot();
    const CanvasOp* label = canvas.FindText(L"Smoothed altitude");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->points, 12.0f * factor);
    const auto lines = canvas.OpsOf(CanvasOp::Kind::Line);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].color, kBlue);  // the ground line
    EXPECT_EQ(lines[0].penWidth, 3.0f * factor);

    RECT client = {};
    ::GetClientRect(Handle(), &client);
    EXPECT_EQ(win32::TheDrawingBuffer().BufferWidth(), client.right);
    EXPECT_EQ(win32::TheDrawingBuffer().BufferHeight(), client.bottom);
    const BufferPixels buffer = Buffer();
    // Left of the margin, the ground line is the only blue in its column.
    EXPECT_EQ(BlueRunDownColumn(buffer, 2), at.groundPixels);
    // "Ground" above it, as high as capitals (no descender) of the label font at this DPI, whatever
    // DPI the buffer's own device context reports.
    const CanvasOp* ground = canvas.FindText(L"Ground");
    ASSERT_NE(ground, nullptr);
    const int left = static_cast<int>(ground->textX);
    const int ink = BlueInkHeight(buffer, left, left + static_cast<int>(40 * factor), static_cast<int>(ground->textY),
                                  lines[0].y1 - at.groundPixels);
    EXPECT_NEAR(ink, 10 * factor, 1.5);  // 10 pixels at 96
  }

  void ExpectMinimum(UINT dpi) {
    MINMAXINFO info = {};
    ::SendMessageW(Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, Expected(dpi)->minimum.cx);
    EXPECT_EQ(info.ptMinTrackSize.y, Expected(dpi)->minimum.cy);
  }

  UINT dpi_ = 0;
  VirtualBus bus_;
  AltimeterDevice device_{bus_};
  MainWindow window_{device_};
};

// The setting as the system's loader reads it from the program's manifest (this test program
// carries the same one): a misspelt name or a wrong namespace reads as nothing, and the program
// would be drawn at 96 DPI and stretched. (Wine draws every program at the screen's DPI, so the
// window's awareness alone could not tell.)
std::wstring ManifestSetting(const wchar_t* ns, const wchar_t* name) {
  wchar_t value[128] = {};
  SIZE_T written = 0;
  if (!::QueryActCtxSettingsW(0, nullptr, ns, name, value, std::size(value), &written)) return L"(none)";
  return value;
}

TEST(ProgramManifest, AsksForPerMonitorDpiAwareness) {
  EXPECT_EQ(ManifestSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
            L"PerMonitorV2, PerMonitor");
  // For systems before Windows 10 1607.
  EXPECT_EQ(ManifestSetting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true/pm");
}

TEST_F(MainWindowDpiTest, TheWindowAndItsPlotAreDrawnAtTheScreensDpi) {
  EXPECT_EQ(::GetAwarenessFromDpiAwarenessContext(::GetWindowDpiAwarenessContext(Handle())),
            DPI_AWARENESS_PER_MONITOR_AWARE);
  EXPECT_EQ(win32::WindowDpi(Handle()), dpi_);
  ExpectMinimum(dpi_);
  ExpectPlotAt(dpi_);

  // For people: the window with the flight, once painted.
  const driver::Picture screen = driver::CaptureSettledScreen(::GetCurrentProcessId());
  const driver::Picture client = screen.Crop(driver::ClientRectOnScreen(Handle()));
  EXPECT_GT(client.Count({0, 0, client.Width(), client.Height()}, driver::Rgb{0x80, 0x80, 0x80}),
            client.Width() * client.Height() / 2);
  const std::wstring folder = L"dpi-" + std::to_wstring(dpi_);
  ::CreateDirectoryW((std::wstring(TEV_SCREENSHOT_DIR) + L"/" + folder).c_str(), nullptr);
  EXPECT_TRUE(win32::testing::SaveScreenshot(folder + L"/main-window-flight", screen.Pixels(), screen.Width(),
                                             screen.Height()));
}

TEST_F(MainWindowDpiTest, OnAMonitorOfAnotherDpiTheWindowTakesTheSuggestedRectangleAndRedraws) {
  // Moved as a window that is not maximised (Wine runs this program in a desktop of its own,
  // where it manages the windows itself: see tools/scripts/wine-env.sh).
  ::ShowWindow(Handle(), SW_RESTORE);
  Pump();
  ASSERT_FALSE(::IsZoomed(Handle()));
  const struct {
    UINT dpi;
    RECT suggested;
    RECT taken;
  } moves[] = {
      {192, {40, 30, 940, 730}, {40, 30, 940, 730}},
      {120, {60, 50, 900, 650}, {60, 50, 900, 650}},
      {dpi_, {20, 10, 1000, 800}, {20, 10, 1000, 800}},  // and back
      // Smaller than the window may be at the new DPI: its minimum there, from the same corner.
      {192, {100, 80, 300, 180}, {100, 80, 940, 720}},
      {120, {100, 80, 300, 180}, {100, 80, 625, 480}},
  };
  for (const auto& move : moves) {
    SCOPED_TRACE(move.dpi);
    RECT suggested = move.suggested;
    ::SendMessageW(Handle(), WM_DPICHANGED, MAKEWPARAM(move.dpi, move.dpi), reinterpret_cast<LPARAM>(&suggested));
    Pump();
    RECT window = {};
    ::GetWindowRect(Handle(), &window);
    EXPECT_TRUE(::EqualRect(&window, &move.taken))
        << window.left << "," << window.top << " - " << window.right << "," << window.bottom;
    ExpectMinimum(move.dpi);
    ExpectPlotAt(move.dpi);
  }
}

}  // namespace
}  // namespace tev
