#include "plot/win32/DrawingBuffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "model/DebugLog.h"
#include "plot/PlotMapping.h"
#include "plot/PlotView.h"
#include "sim/FlightModel.h"
#include "tests/wine/plot/TestWindow.h"
#include "tests/support/LogCapture.h"
#include "win32/Guards.h"

namespace tev::win32 {
namespace {

using testing::TestWindow;

constexpr std::uint32_t kGrey = 0x808080, kRed = 0xFF0000, kGreen = 0x008000, kBlue = 0x0000FF,
                        kDimGrey = 0x696969;

struct Pixels {
  std::vector<std::uint32_t> data;
  int width = 0, height = 0;
  std::uint32_t At(int x, int y) const { return data[static_cast<std::size_t>(y) * width + x]; }
  // Whether the colour appears within `radius` pixels of (x, y): lines of width 3 and dots cover
  // their point, but GDI+ may round a pixel either way.
  bool Near(int x, int y, std::uint32_t colour, int radius = 1) const {
    for (int dy = -radius; dy <= radius; ++dy)
      for (int dx = -radius; dx <= radius; ++dx) {
        const int px = x + dx, py = y + dy;
        if (px >= 0 && py >= 0 && px < width && py < height && At(px, py) == colour) return true;
      }
    return false;
  }
  int Count(int x0, int y0, int x1, int y1, std::uint32_t colour) const {
    int n = 0;
    for (int y = y0; y < y1 && y < height; ++y)
      for (int x = x0; x < x1 && x < width; ++x) n += At(x, y) == colour;
    return n;
  }
};

Pixels Copy(DrawingBuffer& buffer) {
  Pixels p;
  EXPECT_TRUE(buffer.CopyPixels(p.data, p.width, p.height));
  return p;
}

// The first sample flight, as the main window shows it after File > Open.
struct KnownFlight {
  DataSet set;
  PlotScale scale;
  KnownFlight(int width, int height) {
    QuietLog quiet;
    const PacketList packets = sim::RecordMemory({sim::SampleFlightProfiles().front()}, sim::FlightSettings{});
    scale.width = width;
    scale.height = height;
    PreparePlot(packets, DeviceSettings{}, set, scale, 0);
  }
};

TEST(DrawingBuffer, RendersAKnownFlight) {
  QuietLog quiet;
  TestWindow window(1000, 720);
  DrawingBuffer buffer;
  buffer.SetBufferSize(window.ClientWidth(), window.ClientHeight());
  ASSERT_TRUE(buffer.InitDirectDraw(window.Handle(), true));

  const Pixels black = Copy(buffer);
  ASSERT_EQ(black.width, window.ClientWidth());
  ASSERT_EQ(black.height, window.ClientHeight());
  EXPECT_EQ(black.At(0, 0), 0u);
  EXPECT_EQ(black.At(black.width / 2, black.height / 2), 0u);

  KnownFlight flight(black.width, black.height);
  ASSERT_GT(flight.set.adc.size(), 50u);
  buffer.RenderPlot(flight.set, flight.scale);
  const Pixels p = Copy(buffer);
  EXPECT_TRUE(testing::SaveScreenshot(L"plot-known-flight", p.data, p.width, p.height));

  const PlotScale& s = flight.scale;
  EXPECT_EQ(p.At(p.width - 3, p.height - 3), kGrey);
  const int ground = *MapY(s, 0.0);
  EXPECT_EQ(p.At(3, ground), kBlue);
  EXPECT_EQ(p.At(p.width - 5, ground), kBlue);

  const int apogee = IndexOfMaximum(flight.set, flight.set.altitudeAgl);
  ASSERT_GT(apogee, 0);
  EXPECT_TRUE(p.Near(*MapX(s, apogee / 10.0), *MapY(s, flight.set.altitudeAgl[apogee]), kRed));
  const int fastest = IndexOfMaximum(flight.set, flight.set.velocityKmh);
  EXPECT_TRUE(p.Near(*MapX(s, fastest / 10.0), *MapY(s, flight.set.velocityKmh[fastest]), kGreen));

  // The texts are there: fonts were found. "Data set: 1" in blue, the legend in red and green.
  EXPECT_GT(p.Count(10, 90, 200, 115, kBlue), 20);
  EXPECT_GT(p.Count(10, 10, 200, 35, kRed), 20);
  EXPECT_GT(p.Count(10, 50, 250, 75, kGreen), 20);
  EXPECT_GT(p.Count(0, p.height / 2, p.width, p.height, kDimGrey), 500);  // the title
}

TEST(DrawingBuffer, PresentsWhileThereIsABuffer) {
  QuietLog quiet;
  TestWindow window(640, 480);
  DrawingBuffer buffer;
  buffer.SetBufferSize(window.ClientWidth(), window.ClientHeight());
  ASSERT_TRUE(buffer.InitDirectDraw(window.Handle(), true));
  ASSERT_TRUE(buffer.FillBuffer(kGrey));
  EXPECT_TRUE(buffer.PresentBuffer(window.ClientWidth(), window.ClientHeight()));
  EXPECT_TRUE(buffer.PresentBuffer(320, 240));  // stretched into part of the client area
  EXPECT_TRUE(buffer.PresentBuffer(0, 0));      // nothing to cover: a skipped frame, not a lost surface
  EXPECT_EQ(Copy(buffer).At(5, 5), kGrey);      // presenting leaves the buffer as it was

  // What reached the window.
  const COLORREF shown = GetPixel(WindowDc(window.Handle()).Dc(), 100, 100);
  EXPECT_EQ(shown, RGB(0x80, 0x80, 0x80));
}

TEST(DrawingBuffer, WithoutABufferNothingIsDrawnOrPresented) {
  QuietLog quiet;
  TestWindow window(320, 240);
  DrawingBuffer buffer;
  KnownFlight flight(320, 240);
  LiveTrace trace;

  for (int round = 0; round < 2; ++round) {
    EXPECT_FALSE(buffer.HasBuffer());
    EXPECT_FALSE(buffer.FillBuffer(0));
    EXPECT_FALSE(buffer.PresentBuffer(320, 240));
    buffer.RenderPlot(flight.set, flight.scale);
    buffer.RenderLiveTrace(trace, flight.scale);
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    EXPECT_FALSE(buffer.CopyPixels(pixels, w, h));
    // Second round: made and released again, as a minimised window leaves it.
    buffer.SetWindow(window.Handle());
    ASSERT_TRUE(buffer.CreateSurfaces());
    buffer.ReleaseSurfaces();
  }
}

TEST(DrawingBuffer, RecreatesAtANewSize) {
  TestWindow window(640, 480);
  DrawingBuffer buffer;
  ASSERT_TRUE(buffer.InitDirectDraw(window.Handle(), true));
  EXPECT_EQ(Copy(buffer).width, 640);  // the initial size

  buffer.SetBufferSize(320, 200);
  ASSERT_TRUE(buffer.CreateSurfaces());
  const Pixels p = Copy(buffer);
  EXPECT_EQ(p.width, 320);
  EXPECT_EQ(p.height, 200);

  // A size no surface can have fails cleanly and leaves no buffer behind.
  buffer.SetBufferSize(0, 200);
  EXPECT_FALSE(buffer.CreateSurfaces());
  EXPECT_FALSE(buffer.HasBuffer());
  EXPECT_FALSE(buffer.FillBuffer(0));
}

COLORREF ShownAt(HWND window, int x, int y) {
  return GetPixel(WindowDc(window).Dc(), x, y);
}

TEST(DrawingBuffer, ARecreatedBufferReachesItsWindowAndOnlyIt) {
  // A resize keeps the DirectDraw object and the primary surface clipped to the window; a
  // buffer for another window must not be clipped to the first one.
  TestWindow first(320, 240);
  TestWindow second(320, 240);
  SetWindowPos(second.Handle(), nullptr, 500, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  second.PumpMessages();
  DrawingBuffer buffer;
  buffer.SetBufferSize(first.ClientWidth(), first.ClientHeight());
  ASSERT_TRUE(buffer.InitDirectDraw(first.Handle(), true));

  const struct {
    const TestWindow& window;
    std::uint32_t pixel;
    COLORREF shown;
  } rounds[] = {{first, kGrey, RGB(0x80, 0x80, 0x80)},
                {first, 0x0000FF, RGB(0, 0, 0xFF)},
                {second, kGrey, RGB(0x80, 0x80, 0x80)}};
  for (const auto& r : rounds) {
    buffer.ReleaseSurfaces();
    EXPECT_FALSE(buffer.HasBuffer());
    EXPECT_FALSE(buffer.PresentBuffer(100, 100));
    buffer.SetWindow(r.window.Handle());
    buffer.SetBufferSize(r.window.ClientWidth() - 20, r.window.ClientHeight());
    ASSERT_TRUE(buffer.CreateSurfaces());
    EXPECT_EQ(Copy(buffer).width, r.window.ClientWidth() - 20);
    ASSERT_TRUE(buffer.FillBuffer(r.pixel));
    EXPECT_TRUE(buffer.PresentBuffer(r.window.ClientWidth(), r.window.ClientHeight()));
    EXPECT_EQ(ShownAt(r.window.Handle(), 100, 100), r.shown);
  }
}

TEST(DrawingBuffer, FailedInitialisationReleasesEverythingAndQuits) {
  TestWindow window(320, 240);
  DrawingBuffer buffer;
  buffer.SetBufferSize(0, 0);  // no off-screen surface can be made
  EXPECT_FALSE(buffer.InitDirectDraw(window.Handle(), true));
  EXPECT_FALSE(buffer.HasBuffer());
  EXPECT_FALSE(buffer.PresentBuffer(320, 240));  // the primary surface went too

  MSG msg{};
  bool quit = false;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    if (msg.message == WM_QUIT) {
      quit = true;
      EXPECT_EQ(msg.wParam, 0u);
    }
  EXPECT_TRUE(quit);
}

TEST(DrawingBuffer, LiveTraceFromAWorkerWhileTheWindowRecreatesTheBuffer) {
  // The download thread paints and presents while the window's thread releases and re-creates
  // the surfaces: no frame may meet a released surface.
  QuietLog quiet;
  TestWindow window(640, 480);
  DrawingBuffer buffer;
  ASSERT_TRUE(buffer.InitDirectDraw(window.Handle(), true));

  std::atomic<bool> done{false};
  std::atomic<int> frames{0};
  std::thread worker([&] {
    LiveTrace trace;
    PlotScale scale;
    while (!done) {
      AppendLiveSample(trace, static_cast<std::uint16_t>((800 - frames % 60) << 4), 0);
      buffer.RenderLiveTrace(trace, scale);
      buffer.PresentBuffer(640, 480);
      ++frames;
      Sleep(1);  // a download paints between transfers, never back to back
    }
  });
  for (int i = 0; i < 12; ++i) {
    buffer.ReleaseSurfaces();
    window.PumpMessages();
    buffer.SetBufferSize(i % 2 ? 640 : 400, 300 + i);
    EXPECT_TRUE(buffer.CreateSurfaces());
    Sleep(2);
  }
  const int before = frames;
  while (frames < before + 3) Sleep(1);
  done = true;
  worker.join();

  const Pixels p = Copy(buffer);
  EXPECT_EQ(p.At(2, 2), kGrey);  // the last frame painted whole
}

}  // namespace
}  // namespace tev::win32
