#include <cstddef>
#include <unordered_set>
#include <utility>

#include "plot/ColumnThinning.h"
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
  // A long flight has many samples to a pixel column: the line is thinned to what can be seen,
  // and a dot is drawn once where several fall on one pixel.
  if (pen) {
    std::optional<std::pair<int, int>> previous;
    ColumnThinner thin([&](int x, int y) {
      if (previous) canvas.Line(pen->color, pen->width, previous->first, previous->second, x, y);
      previous = std::pair{x, y};
    });
    for (std::size_t i = 0; i < series.size(); ++i) {
      const auto x = MapX(scale, SampleTime(i));
      const auto y = MapY(scale, series[i]);
      if (x && y) {
        thin.Add(*x, *y);
      } else {
        thin.Flush();  // a point that cannot be placed breaks the line
        previous.reset();
      }
    }
    thin.Flush();
  }
  if (dotColor) {
    const int dot = PlotSizesAt(scale.dpi).dotSize;
    std::optional<int> column;
    std::unordered_set<int> dotted;  // in the column
    for (std::size_t i = 1; i < series.size(); ++i) {
      const auto x = MapX(scale, SampleTime(i));
      const auto y = MapY(scale, series[i]);
      if (!x || !y) continue;
      if (*x != column) {
        column = *x;
        dotted.clear();
      }
      if (dotted.insert(*y).second) canvas.FillEllipse(*dotColor, *x - dot / 2, *y - dot / 2, dot, dot);
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
