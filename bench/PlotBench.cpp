// Painting cost under Wine: the flight plot of a full memory (3,968 samples) into a 1920 × 1080
// buffer, and the live trace frame (paint and present) at the same size. Figures from one run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "model/DebugLog.h"
#include "model/LiveTrace.h"
#include "plot/PlotView.h"
#include "plot/win32/DrawingBuffer.h"
#include "plot/win32/GdiplusSession.h"
#include "sim/FlightModel.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kSamples = 128 * tev::kSamplesPerPacket;  // 3,968: a full memory
constexpr double kPacketMs = 35.0;                       // 35 reports at 1 ms each
constexpr int kLiveFramesPerPacket = 7;

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

// A long, slow descent so that one flight fills the whole memory.
std::vector<int> FullMemoryReadings() {
  tev::sim::FlightProfile profile = tev::sim::SampleFlightProfiles().back();
  profile.descentRate = 1.0;
  std::vector<int> readings = tev::sim::FlyFlight(profile);
  if (readings.empty()) readings.push_back(836);
  readings.resize(kSamples, readings.back());
  return readings;
}

tev::PacketList OneFlight(const std::vector<int>& readings) {
  tev::PacketList packets;
  for (std::size_t k = 0; k < readings.size(); k += tev::kSamplesPerPacket) {
    tev::FlightPacket p = tev::FlightPacket::Erased();
    p.bytes[0] = packets.empty() ? tev::kPacketTypeFlightStart : 1;
    for (int j = 1; j <= tev::kSamplesPerPacket; ++j)
      p.SetWord(j, static_cast<std::uint16_t>(readings[k + j - 1] << 4));
    packets.push_back(p);
  }
  return packets;
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
  wc.lpszClassName = L"TevPlotBench";
  RegisterClassExW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Plot benchmark", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);

  auto& buffer = tev::win32::TheDrawingBuffer();
  buffer.SetBufferSize(kWidth, kHeight);
  if (!buffer.InitDirectDraw(window, true)) {
    std::puts("no DirectDraw buffer");
    return 1;
  }

  const std::vector<int> readings = FullMemoryReadings();
  tev::DataSet set;
  tev::PlotScale scale;
  scale.width = kWidth;
  scale.height = kHeight;
  tev::PreparePlot(OneFlight(readings), tev::DeviceSettings{}, set, scale, 0);

  std::vector<double> plotMs;
  for (int frame = 0; frame < 40; ++frame) {
    const double start = NowMs();
    buffer.RenderPlot(set, scale);
    plotMs.push_back(NowMs() - start);
  }

  tev::LiveTrace trace;
  for (int reading : readings) tev::AppendLiveSample(trace, static_cast<std::uint16_t>(reading << 4), 0);
  tev::PlotScale liveScale = scale;
  std::vector<double> liveMs;
  for (int frame = 0; frame < 150; ++frame) {
    const double start = NowMs();
    buffer.RenderLiveTrace(trace, liveScale);
    buffer.PresentBuffer(kWidth, kHeight);
    liveMs.push_back(NowMs() - start);
  }

  // Where a live frame's time goes.
  std::vector<double> fillMs, paintMs, presentMs;
  for (int frame = 0; frame < 60; ++frame) {
    double start = NowMs();
    buffer.FillBuffer(0x808080);
    fillMs.push_back(NowMs() - start);
    start = NowMs();
    buffer.RenderLiveTrace(trace, liveScale);
    paintMs.push_back(NowMs() - start);
    start = NowMs();
    buffer.PresentBuffer(kWidth, kHeight);
    presentMs.push_back(NowMs() - start);
  }

  // The fixed part of a frame: fill, context, fonts and the two labels, no trace.
  tev::LiveTrace empty;
  empty.xMax = trace.xMax;
  empty.yMax = trace.yMax;
  std::vector<double> emptyMs;
  for (int frame = 0; frame < 60; ++frame) {
    const double start = NowMs();
    buffer.RenderLiveTrace(empty, liveScale);
    buffer.PresentBuffer(kWidth, kHeight);
    emptyMs.push_back(NowMs() - start);
  }

  const double plot = Median(plotMs);
  const double live = Median(liveMs);
  std::printf("samples in the flight:                    %zu\n", set.adc.size());
  std::printf("PaintPlot, %d x %d:                    %8.2f ms per frame (median of %zu)\n", kWidth, kHeight, plot,
              plotMs.size());
  std::printf("PaintLiveTrace + PresentBuffer, full trace: %8.2f ms per frame (median of %zu)\n", live,
              liveMs.size());
  std::printf("  of which painting (fill included):        %8.2f ms; presenting %.2f ms; a fill alone %.2f ms\n",
              Median(paintMs), Median(presentMs), Median(fillMs));
  std::printf("  the same frame with an empty trace:       %8.2f ms\n", Median(emptyMs));
  std::printf("live frames per packet (%d) / packet time (%.0f ms): %.2f\n", kLiveFramesPerPacket, kPacketMs,
              kLiveFramesPerPacket * live / kPacketMs);

  buffer.ReleaseSurfaces();
  DestroyWindow(window);
  return 0;
}
