#include "plot/PlotView.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/DebugLog.h"
#include "model/NumberFormat.h"
#include "plot/PlotMapping.h"
#include "plot/PlotStyle.h"

namespace tev {

using namespace plotstyle;

namespace {

// "(" t " s  " value unit ")": the moment and value of a peak.
std::wstring PeakText(float seconds, float value, std::wstring_view unit) {
  std::wstring text = L"(";
  text += FormatRealW(seconds);
  text += L" s  ";
  text += FormatRealW(value);
  text += L' ';
  text += unit;
  text += L')';
  return text;
}

// A label standing above the point (seconds, value), left out when the point cannot be placed.
// A label that would run over the right or top edge is moved left or down until it fits, so that
// a peak near an edge still shows its whole figure.
void DrawLabelAbove(Canvas& canvas, const PlotScale& scale, std::wstring_view text, Argb color, double seconds,
                    double value) {
  const auto px = MapX(scale, seconds);
  const auto py = MapY(scale, value);
  if (!px || !py) return;
  const PlotSizes sizes = PlotSizesAt(scale.dpi);
  const TextExtent extent = canvas.MeasureText(text, sizes.labelPoints, true);
  const int width = static_cast<int>(std::ceil(extent.width)), height = static_cast<int>(std::ceil(extent.height));
  int x = *px, y = *py - sizes.labelRise;
  if (x + width > canvas.Width()) x = canvas.Width() - width;
  if (y + height > canvas.Height()) y = canvas.Height() - height;
  // The left and top edges win over the right and bottom ones on a surface too small for the label.
  x = std::max(x, 0);
  y = std::max(y, 0);
  DrawLabel(canvas, scale, text, color, x, y);
}

void DrawGroundLine(Canvas& canvas, const PlotScale& scale) {
  if (const auto ground = MapY(scale, 0.0))
    canvas.Line(kBlue, PlotSizesAt(scale.dpi).seriesPen, 0, *ground, canvas.Width(), *ground);
}

void DrawGroundLabel(Canvas& canvas, const PlotScale& scale) {
  const PlotSizes sizes = PlotSizesAt(scale.dpi);
  if (const auto ground = MapY(scale, 0.0))
    DrawLabel(canvas, scale, L"Ground", kBlue, sizes.groundLabelX, *ground - sizes.labelRise);
}

// The big title behind everything, left out when the buffer is too small for it.
void DrawTitle(Canvas& canvas, float points) {
  static constexpr std::wstring_view kTitleText = L"TEV USB";
  const TextExtent extent = canvas.MeasureText(kTitleText, points, true);
  const float width = static_cast<float>(canvas.Width());
  const float height = static_cast<float>(canvas.Height());
  if (!(width > extent.width && height > extent.height)) return;
  canvas.Text(kTitleText, points, true, kTitle, (width - extent.width) * 0.5f,
              static_cast<float>(canvas.Height() / 2));
}

float SampleSeconds(int index) { return static_cast<float>(index / 10.0); }

}  // namespace

void PaintPlot(Canvas& canvas, const DataSet& set, PlotScale& scale, const PeakUnits& units) {
  if (!canvas.Clear(kBackgroundPixel)) return;
  DebugLog("Updating buffer.");
  const PlotSizes sizes = PlotSizesAt(scale.dpi);
  DrawTitle(canvas, sizes.titlePoints);

  const bool hasSamples = !set.adc.empty();
  if (hasSamples) DrawGroundLine(canvas, scale);

  DrawSeries(canvas, scale, set.altitudeAgl, PlotPen{kRed, sizes.seriesPen}, kRed);
  DrawSeries(canvas, scale, set.smoothedAltitude, PlotPen{kRed, sizes.seriesPen}, std::nullopt);
  DrawSeries(canvas, scale, set.velocityKmh, PlotPen{kGreen, sizes.seriesPen}, std::nullopt);
  DrawLineMarks(canvas, scale, set);

  // A hand-built set may have series of other lengths than adc: an index past a series is no peak.
  const int apogee = IndexOfMaximum(set, set.altitudeAgl);
  if (apogee >= 0 && static_cast<std::size_t>(apogee) < set.altitudeAgl.size()) {
    const float t = SampleSeconds(apogee);
    const float a = static_cast<float>(set.altitudeAgl[apogee]);
    DrawLabelAbove(canvas, scale, PeakText(t, static_cast<float>(a * units.altitudePerMetre), units.altitude), kBlue, t,
                   a);

    const int peak = IndexOfMaximum(set, set.velocity);
    if (peak >= 0 && static_cast<std::size_t>(peak) < set.velocity.size()) {
      const float tv = SampleSeconds(peak);
      const float v = static_cast<float>(set.velocity[peak]) * 3.6f;
      DrawLabelAbove(canvas, scale, PeakText(tv, static_cast<float>(v * units.speedPerKmh), units.speed), kBlue, tv, v);
    }
  }

  if (hasSamples) {
    DrawGroundLabel(canvas, scale);
    const auto legendY = [&](int line) { return sizes.legendTop + line * sizes.legendStep; };
    DrawLabel(canvas, scale, L"Smoothed altitude", kRed, sizes.legendX, legendY(0));
    DrawLabel(canvas, scale, L"<Velocity> over 1 second", kGreen, sizes.legendX, legendY(1));
    DrawLabel(canvas, scale, L"Data set: " + std::to_wstring(static_cast<long long>(set.setNumber) + 1), kBlue,
              sizes.legendX, legendY(2));
  }
}

void PaintLiveTrace(Canvas& canvas, const LiveTrace& trace, PlotScale& scale) {
  if (!canvas.Clear(kBackgroundPixel)) return;
  scale.xMin = trace.xMin;
  scale.yMin = trace.yMin;
  scale.xRange = trace.xMax;
  scale.yRange = trace.yMax;

  DrawGroundLine(canvas, scale);
  DrawSeries(canvas, scale, trace.points, PlotPen{kRed, PlotSizesAt(scale.dpi).seriesPen}, std::nullopt);
  DrawLabelAbove(canvas, scale, PeakText(trace.apogeeTime, trace.maxAltitude, L"m"), kBlue, trace.apogeeTime,
                 trace.maxAltitude);
  DrawGroundLabel(canvas, scale);
}

}  // namespace tev
