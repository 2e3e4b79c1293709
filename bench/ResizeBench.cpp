// Re-creating the drawing buffer under Wine, as the main window does after every resize or
// maximise: release, create at the new size, clear, paint the flight and present it. Medians of
// many resizes between two sizes near 1920 × 1080, of resizes each larger than any before, and
// the cost of each step of a whole DirectDraw set-up, the plot drawn at the screen's DPI (bench/run.sh
// runs it at 96 and at 192). Figures from one run.
#include <windows.h>

#include <ddraw.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "model/DebugLog.h"
#include "plot/PlotView.h"
#include "plot/win32/DrawingBuffer.h"
#include "plot/win32/GdiplusSession.h"
#include "sim/FlightModel.h"
#include "win32/Dpi.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kResizes = 40;

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

tev::PacketList SampleFlight() {
  const std::vector<int> readings = tev::sim::FlyFlight(tev::sim::SampleFlightProfiles().back());
  tev::PacketList packets;
  for (std::size_t k = 0; k < readings.size(); k += tev::kSamplesPerPacket) {
    tev::FlightPacket p = tev::FlightPacket::Erased();
    p.bytes[0] = packets.empty() ? tev::kPacketTypeFlightStart : 1;
    for (int j = 1; j <= tev::kSamplesPerPacket && k + j - 1 < readings.size(); ++j)
      p.SetWord(j, static_cast<std::uint16_t>(readings[k + j - 1] << 4));
    packets.push_back(p);
  }
  return packets;
}

// The DirectDraw steps of a buffer's creation, each timed on its own, as the buffer once did
// them all on every resize.
void TimeTheSteps(HWND window, std::vector<double>& create, std::vector<double>& primary,
                  std::vector<double>& offscreen, std::vector<double>& clipper, std::vector<double>& release) {
  double t = NowMs();
  Microsoft::WRL::ComPtr<IDirectDraw7> dd;
  if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(dd.GetAddressOf()), IID_IDirectDraw7, nullptr))) {
    dd.Detach();
    return;
  }
  dd->SetCooperativeLevel(window, DDSCL_NORMAL);
  create.push_back(NowMs() - t);

  t = NowMs();
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  Microsoft::WRL::ComPtr<IDirectDrawSurface7> front;
  if (FAILED(dd->CreateSurface(&desc, front.GetAddressOf(), nullptr))) front.Detach();
  primary.push_back(NowMs() - t);

  t = NowMs();
  DDSURFACEDESC2 off{};
  off.dwSize = sizeof off;
  off.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  off.dwWidth = kWidth;
  off.dwHeight = kHeight;
  off.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
  Microsoft::WRL::ComPtr<IDirectDrawSurface7> back;
  if (FAILED(dd->CreateSurface(&off, back.GetAddressOf(), nullptr))) back.Detach();
  offscreen.push_back(NowMs() - t);

  t = NowMs();
  Microsoft::WRL::ComPtr<IDirectDrawClipper> clip;
  if (SUCCEEDED(dd->CreateClipper(0, clip.GetAddressOf(), nullptr))) {
    clip->SetHWnd(0, window);
    if (front) front->SetClipper(clip.Get());
    clip.Reset();
  }
  clipper.push_back(NowMs() - t);

  t = NowMs();
  back.Reset();
  front.Reset();
  dd->SetCooperativeLevel(window, DDSCL_NORMAL);
  dd.Reset();
  release.push_back(NowMs() - t);
}

}  // namespace

int main() {
  tev::SetDebugLogSink({});
  const tev::win32::GdiplusSession gdiplus;
  if (!gdiplus.Started()) {
    std::puts("GDI+ did not start");
    return 1;
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TevResizeBench";
  RegisterClassExW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Resize benchmark", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);

  auto& buffer = tev::win32::TheDrawingBuffer();
  buffer.SetBufferSize(kWidth, kHeight);
  double start = NowMs();
  if (!buffer.InitDirectDraw(window, true)) {
    std::puts("no DirectDraw buffer");
    return 1;
  }
  const double init = NowMs() - start;

  tev::DataSet set;
  tev::PlotScale scale;
  scale.width = kWidth;
  scale.height = kHeight;
  scale.dpi = static_cast<std::int32_t>(tev::win32::WindowDpi(window));
  tev::PreparePlot(SampleFlight(), tev::DeviceSettings{}, set, scale, 0);

  // What the main window does when the user lets go of the frame: release, create at the new
  // size, clear, and the first repaint (paint the flight, present it).
  std::vector<double> recreate, repaint, total, releaseMs, createMs, fillMs;
  for (int i = 0; i < kResizes; ++i) {
    const int width = i % 2 ? kWidth : kWidth - 40;
    const int height = i % 2 ? kHeight : kHeight - 30;
    start = NowMs();
    buffer.ReleaseSurfaces();
    const double released = NowMs();
    buffer.SetBufferSize(width, height);
    buffer.SetWindow(window);
    if (!buffer.CreateSurfaces()) {
      std::puts("re-creation failed");
      return 1;
    }
    const double made = NowMs();
    buffer.FillBuffer(0);
    const double created = NowMs();
    releaseMs.push_back(released - start);
    createMs.push_back(made - released);
    fillMs.push_back(created - made);
    scale.width = width;
    scale.height = height;
    buffer.RenderPlot(set, scale);
    buffer.PresentBuffer(width, height);
    const double end = NowMs();
    recreate.push_back(created - start);
    repaint.push_back(end - created);
    total.push_back(end - start);
  }

  // Resizes each larger than any before (a window dragged beyond the screen): every one needs a
  // surface never drawn into before.
  std::vector<double> growing;
  for (int i = 1; i <= 10; ++i) {
    const int width = kWidth + 16 * i;
    const int height = kHeight + 8 * i;
    start = NowMs();
    buffer.ReleaseSurfaces();
    buffer.SetBufferSize(width, height);
    if (!buffer.CreateSurfaces()) break;
    buffer.FillBuffer(0);
    scale.width = width;
    scale.height = height;
    buffer.RenderPlot(set, scale);
    buffer.PresentBuffer(width, height);
    growing.push_back(NowMs() - start);
  }

  std::vector<double> create, primary, offscreen, clipper, release;
  buffer.ReleaseSurfaces();
  for (int i = 0; i < 10; ++i) TimeTheSteps(window, create, primary, offscreen, clipper, release);

  std::printf("plot drawn at %d DPI\n", static_cast<int>(scale.dpi));
  std::printf("first buffer (InitDirectDraw), %d x %d:     %8.2f ms\n", kWidth, kHeight, init);
  std::printf("resize: re-creation + first repaint:      %8.2f ms (median of %d; worst %.2f ms)\n", Median(total),
              kResizes, *std::max_element(total.begin(), total.end()));
  std::printf("  of which re-creation (release, create, clear): %8.2f ms; repaint (paint, present) %.2f ms\n",
              Median(recreate), Median(repaint));
  std::printf("  re-creation: release %.2f ms, create %.2f ms, clear %.2f ms\n", Median(releaseMs), Median(createMs),
              Median(fillMs));
  if (!growing.empty())
    std::printf("resize beyond every earlier size (a new surface): %8.2f ms (median of %zu)\n", Median(growing),
                growing.size());
  if (!create.empty()) {
    std::printf("the DirectDraw steps of a whole creation (median of %zu):\n", create.size());
    std::printf("  DirectDrawCreateEx + cooperative level: %8.2f ms\n", Median(create));
    std::printf("  primary surface:                        %8.2f ms\n", Median(primary));
    std::printf("  off-screen surface %d x %d:          %8.2f ms\n", kWidth, kHeight, Median(offscreen));
    std::printf("  clipper:                                %8.2f ms\n", Median(clipper));
    std::printf("  release of all:                         %8.2f ms\n", Median(release));
  }
  DestroyWindow(window);
  return 0;
}
