#include "plot/PlotView.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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

struct LabelBox {
  int left, top, right, bottom;
  bool Overlaps(const LabelBox& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
};

// A label standing above the point (seconds, value), left out when the point cannot be placed.
// A label that would run over the right or top edge is moved left or down until it fits, so that
// a peak near an edge still shows its whole figure; one that would lie over what is already placed
// (the legend, another label) goes just below it, in its own column, so that neither hides the
// other. Its own place is added to `taken`.
void DrawLabelAbove(Canvas& canvas, const PlotScale& scale, std::wstring_view text, Argb color, double seconds,
                    double value, std::vector<LabelBox>& taken) {
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
  // Each move is downwards, past a box, so this ends after at most one move per box.
  for (bool moved = true; moved;) {
    moved = false;
    for (const LabelBox& box : taken) {
      if (box.Overlaps(LabelBox{x, y, x + width, y + height}) && box.bottom + height <= canvas.Height()) {
        y = box.bottom;
        moved = true;
      }
    }
  }
  taken.push_back(LabelBox{x, y, x + width, y + height});
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

  // The legend is drawn last, over everything, but its place is known first: the peak labels keep off it.
  const std::wstring legendTexts[] = {
      L"Smoothed altitude", L"<Velocity> over 1 second",
      L"Data set: " + std::to_wstring(static_cast<long long>(set.setNumber) + 1)};
  const auto legendY = [&](int line) { return sizes.legendTop + line * sizes.legendStep; };
  std::vector<LabelBox> taken;
  if (hasSamples) {
    LabelBox box{sizes.legendX, sizes.legendTop, sizes.legendX, sizes.legendTop};
    for (int line = 0; line < 3; ++line) {
      const TextExtent extent = canvas.MeasureText(legendTexts[line], sizes.labelPoints, true);
      box.right = std::max(box.right, sizes.legendX + static_cast<int>(std::ceil(extent.width)));
      box.bottom = std::max(box.bottom, legendY(line) + static_cast<int>(std::ceil(extent.height)));
    }
    taken.push_back(box);
  }

  // A hand-built set may have series of other lengths than adc: an index past a series is no peak.
  const int apogee = IndexOfMaximum(set, set.altitudeAgl);
  if (apogee >= 0 && static_cast<std::size_t>(apogee) < set.altitudeAgl.size()) {
    const float t = SampleSeconds(apogee);
    const float a = static_cast<float>(set.altitudeAgl[apogee]);
    DrawLabelAbove(canvas, scale, PeakText(t, static_cast<float>(a * units.altitudePerMetre), units.altitude), kBlue, t,
                   a, taken);

    const int peak = IndexOfMaximum(set, set.velocity);
    if (peak >= 0 && static_cast<std::size_t>(peak) < set.velocity.size()) {
      const float tv = SampleSeconds(peak);
      const float v = static_cast<float>(set.velocity[peak]) * 3.6f;
      DrawLabelAbove(canvas, scale, PeakText(tv, static_cast<float>(v * units.speedPerKmh), units.speed), kBlue, tv, v,
                     taken);
    }
  }

  if (hasSamples) {
    DrawGroundLabel(canvas, scale);
    const Argb legendColors[] = {kRed, kGreen, kBlue};
    for (int line = 0; line < 3; ++line)
      DrawLabel(canvas, scale, legendTexts[line], legendColors[line], sizes.legendX, legendY(line));
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
  std::vector<LabelBox> taken;
  DrawLabelAbove(canvas, scale, PeakText(trace.apogeeTime, trace.maxAltitude, L"m"), kBlue, trace.apogeeTime,
                 trace.maxAltitude, taken);
  DrawGroundLabel(canvas, scale);
}

}  // namespace tev
