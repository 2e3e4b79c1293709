#include <cstddef>

#include "plot/PlotMapping.h"
#include "plot/PlotStyle.h"
#include "plot/PlotView.h"

namespace tev {

using namespace plotstyle;

namespace {

double SampleTime(std::size_t i) { return static_cast<double>(i) / 10.0; }

}  // namespace

void DrawSeries(Canvas& canvas, const PlotScale& scale, const std::vector<double>& series,
                std::optional<PlotPen> pen, std::optional<Argb> dotColor) {
  if (pen) {
    for (std::size_t i = 1; i < series.size(); ++i) {
      const auto x1 = MapX(scale, SampleTime(i - 1));
      const auto y1 = MapY(scale, series[i - 1]);
      const auto x2 = MapX(scale, SampleTime(i));
      const auto y2 = MapY(scale, series[i]);
      if (x1 && y1 && x2 && y2) canvas.Line(pen->color, pen->width, *x1, *y1, *x2, *y2);
    }
  }
  if (dotColor) {
    const int dot = PlotSizesAt(scale.dpi).dotSize;
    for (std::size_t i = 1; i < series.size(); ++i) {
      const auto x = MapX(scale, SampleTime(i));
      const auto y = MapY(scale, series[i]);
      if (x && y) canvas.FillEllipse(*dotColor, *x - dot / 2, *y - dot / 2, dot, dot);
    }
  }
}

void DrawLineMarks(Canvas& canvas, const PlotScale& scale, const DataSet& set) {
  const auto ground = MapY(scale, 0.0);
  if (!ground) return;
  const PlotSizes sizes = PlotSizesAt(scale.dpi);
  for (std::size_t i = 1; i < set.lineFlags.size(); ++i) {
    Argb color = 0;
    switch (set.lineFlags[i]) {
      case 2: color = kRed; break;   // Line A only
      case 1: color = kBlue; break;  // Line B only
      default: continue;             // neither, or both at once
    }
    const auto x1 = MapX(scale, SampleTime(i - 1));
    const auto x2 = MapX(scale, SampleTime(i));
    if (x1 && x2)
      canvas.Line(color, sizes.lineMarkPen, *x1 + sizes.lineMarkShift, *ground, *x2 + sizes.lineMarkShift, *ground);
  }
}

void DrawLabel(Canvas& canvas, const PlotScale& scale, std::wstring_view text, Argb color, int x, int y) {
  canvas.Text(text, PlotSizesAt(scale.dpi).labelPoints, true, color, static_cast<float>(x), static_cast<float>(y));
}

}  // namespace tev
