#include "tools/tevtool/FlightPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/Conversions.h"
#include "model/NumberFormat.h"
#include "model/WidePath.h"
#include "plot/ColumnThinning.h"
#include "plot/PlotMapping.h"
#include "plot/PlotView.h"
#include "tools/tevtool/TextFormat.h"

namespace tev::tool {
namespace {

constexpr int kLeftMargin = 72, kRightMargin = 72, kTopMargin = 60, kBottomMargin = 56;
constexpr std::uint32_t kPaper = 0xFFFFFF;
constexpr Argb kInk = 0xFF000000;
constexpr Argb kAltitudeInk = 0xFFFF0000;  // the altitude curve's red
constexpr Argb kVelocityInk = 0xFF008000;  // the velocity curve's green
constexpr float kAxisPen = 2.0f;
constexpr int kTickLength = 6;
constexpr int kTickGap = 8;  // from an axis to its labels
constexpr float kTickPoints = 10.0f;
constexpr float kTitlePoints = 10.0f;
constexpr float kCaptionPoints = 14.0f;

// The painters keep 50 pixels between the data and each edge of their canvas.
constexpr double kPlotMargin = 50.0;

std::wstring Wide(const std::string& text) { return Utf8ToWide(text); }

// Text placed by its box: anchorX 0 puts the left edge at x, 0.5 the middle, 1 the right edge.
void Label(Canvas& canvas, const std::wstring& text, float points, Argb color, double x, double y, double anchorX,
           double anchorY) {
  const TextExtent extent = canvas.MeasureText(text, points, true);
  canvas.Text(text, points, true, color, static_cast<float>(x - extent.width * anchorX),
              static_cast<float>(y - extent.height * anchorY));
}

bool IsTrailSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF && sizeof(wchar_t) == 2; }

// The text, or as much of its beginning and end as fits in maxWidth with an ellipsis between
// them (a file name keeps its start and its extension).
std::wstring Shortened(Canvas& canvas, const std::wstring& text, float points, double maxWidth) {
  if (canvas.MeasureText(text, points, true).width <= maxWidth) return text;
  const auto keep = [&](std::size_t n) {
    std::size_t head = (n + 1) / 2, tail = n / 2;
    if (head < text.size() && IsTrailSurrogate(text[head])) ++head;  // never half a character
    if (tail > 0 && tail < text.size() && IsTrailSurrogate(text[text.size() - tail])) ++tail;
    return text.substr(0, head) + L"\u2026" + text.substr(text.size() - std::min(tail, text.size() - head));
  };
  std::size_t lo = 0, hi = text.size();  // keep(lo) fits, or lo is 0
  while (lo + 1 < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (canvas.MeasureText(keep(mid), points, true).width <= maxWidth) lo = mid;
    else hi = mid;
  }
  return keep(lo);
}

// A label no wider than maxWidth: shortened when it must be, the whole text then in its tooltip.
void FittedLabel(SvgCanvas& canvas, const std::wstring& text, float points, Argb color, double x, double y,
                 double anchorX, double anchorY, double maxWidth) {
  const std::wstring shown = Shortened(canvas, text, points, maxWidth);
  const TextExtent extent = canvas.MeasureText(shown, points, true);
  canvas.TextWithTooltip(shown, shown == text ? std::wstring() : text, points, true, color,
                         static_cast<float>(x - extent.width * anchorX), static_cast<float>(y - extent.height * anchorY));
}

// The data values at the panel's lower and upper edges, for a scale whose mapping exists.
struct Span {
  double lo, hi;
};
Span TimeSpan(const PlotScale& s) {
  const double perPixel = s.xRange / (s.width - 2 * kPlotMargin);
  return {s.xMin - kPlotMargin * perPixel, s.xMin + (s.width - kPlotMargin) * perPixel};
}
Span ValueSpan(const PlotScale& s) {
  const double perPixel = s.yRange / (s.height - 2 * kPlotMargin);
  return {s.yMin - kPlotMargin * perPixel, s.yMin + (s.height - kPlotMargin) * perPixel};
}

void DrawFrame(Canvas& canvas, const PicturePanel& p) {
  const int right = p.x + p.width, bottom = p.y + p.height;
  canvas.Line(kInk, kAxisPen, p.x, p.y, right, p.y);
  canvas.Line(kInk, kAxisPen, right, p.y, right, bottom);
  canvas.Line(kInk, kAxisPen, right, bottom, p.x, bottom);
  canvas.Line(kInk, kAxisPen, p.x, bottom, p.x, p.y);
}

void DrawTimeAxis(Canvas& canvas, const PicturePanel& p, const PlotScale& scale, const wchar_t* title) {
  const int bottom = p.y + p.height;
  if (MapX(scale, 0)) {
    const Span span = TimeSpan(scale);
    for (const double t : TickValues(std::max(0.0, span.lo), span.hi, std::max(2, p.width / 90))) {
      const auto x = MapX(scale, t);
      if (!x || *x < 0 || *x > p.width) continue;
      canvas.Line(kInk, kAxisPen, p.x + *x, bottom, p.x + *x, bottom + kTickLength);
      Label(canvas, Wide(FormatReal(t)), kTickPoints, kInk, p.x + *x, bottom + kTickGap, 0.5, 0);
    }
  }
  Label(canvas, title, kTitlePoints, kInk, p.x + p.width / 2.0, bottom + kTickGap + 20, 0.5, 0);
}

// A vertical scale along one side of the panel; toScale turns a tick value into the plot's value.
template <class ToScale>
void DrawValueAxis(Canvas& canvas, const PicturePanel& p, const PlotScale& scale, bool right, double lo, double hi,
                   ToScale toScale) {
  const int x = right ? p.x + p.width : p.x;
  const int outward = right ? 1 : -1;
  for (const double value : TickValues(lo, hi, std::max(2, p.height / 50))) {
    const auto y = MapY(scale, toScale(value));
    if (!y || *y < 0 || *y > p.height) continue;
    canvas.Line(kInk, kAxisPen, x, p.y + *y, x + outward * kTickLength, p.y + *y);
    Label(canvas, Wide(FormatReal(value)), kTickPoints, kInk, x + outward * kTickGap, p.y + *y, right ? 0 : 1, 0.5);
  }
}

void DrawAltitudeAxis(Canvas& canvas, const PicturePanel& p, const PlotScale& scale, const Units& units) {
  const Span span = ValueSpan(scale);
  DrawValueAxis(canvas, p, scale, false, units.Altitude(span.lo), units.Altitude(span.hi),
                [&](double altitude) { return altitude / units.perMetre; });
}

// Makes room on the scale for every point of the curve, in whole seconds and metres.
void Widen(PlotScale& scale, const TimedCurve& curve) {
  for (std::size_t i = 0; i < curve.seconds.size() && i < curve.metres.size(); ++i) {
    const double t = curve.seconds[i], h = curve.metres[i];
    if (!std::isfinite(t) || !std::isfinite(h) || std::fabs(t) > 1e6 || std::fabs(h) > 1e6) continue;
    const double right = std::max<double>(scale.xMin + scale.xRange, std::ceil(t));
    const double low = std::min<double>(scale.yMin, std::floor(h));
    const double high = std::max<double>(scale.yMin + scale.yRange, std::ceil(h));
    scale.xRange = static_cast<std::int32_t>(right - scale.xMin);
    scale.yMin = static_cast<std::int32_t>(low);
    scale.yRange = static_cast<std::int32_t>(high - low);
  }
}

constexpr float kCurvePen = 3.0f;
const std::vector<float> kDash{12.0f, 7.0f};

// Thinned to at most four points a pixel column, so that a finely sampled curve stays small and
// looks the same.
void DrawCurve(SvgCanvas& canvas, const PlotScale& scale, const PictureCurve& curve) {
  canvas.SetDash(curve.dashed ? kDash : std::vector<float>());
  std::optional<std::pair<int, int>> last;
  ColumnThinner thin([&](int x, int y) {
    if (last && (last->first != x || last->second != y)) canvas.Line(curve.color, kCurvePen, last->first, last->second, x, y);
    last = std::pair{x, y};
  });
  for (std::size_t i = 0; i < curve.points.seconds.size() && i < curve.points.metres.size(); ++i) {
    const auto x = MapX(scale, curve.points.seconds[i]);
    const auto y = MapY(scale, curve.points.metres[i]);
    if (x && y) {
      thin.Add(*x, *y);
    } else {
      thin.Flush();
      last.reset();
    }
  }
  thin.Flush();
  canvas.SetDash({});
}

// A box in the panel's upper right corner: a stretch of each curve's line and its label. A label
// too long for the panel is shortened, the whole of it in a tooltip.
void DrawLegend(SvgCanvas& canvas, const PicturePanel& p, std::span<const PictureCurve> curves) {
  if (curves.empty()) return;
  constexpr int kRow = 22, kSample = 40, kPad = 8, kInset = 12;
  constexpr float kPoints = 10.0f;
  const double widestAllowed = std::max(0, p.width - 2 * kInset - kPad * 3 - kSample);
  double widest = 0;
  for (const PictureCurve& curve : curves)
    widest = std::max<double>(widest, canvas.MeasureText(Shortened(canvas, curve.label, kPoints, widestAllowed), kPoints, true).width);
  const int width = static_cast<int>(std::ceil(kPad * 3 + kSample + widest));
  const int height = kPad * 2 + kRow * static_cast<int>(curves.size());
  const int x = p.x + p.width - width - kInset, y = p.y + kInset;
  canvas.SetViewport(std::max(p.x, x), y, std::min(width, p.width), height);
  canvas.Clear(kPaper);
  canvas.Line(kInk, 1, 0, 0, width - 1, 0);
  canvas.Line(kInk, 1, width - 1, 0, width - 1, height - 1);
  canvas.Line(kInk, 1, width - 1, height - 1, 0, height - 1);
  canvas.Line(kInk, 1, 0, height - 1, 0, 0);
  for (std::size_t i = 0; i < curves.size(); ++i) {
    const int middle = kPad + kRow * static_cast<int>(i) + kRow / 2;
    canvas.SetDash(curves[i].dashed ? kDash : std::vector<float>());
    canvas.Line(curves[i].color, kCurvePen, kPad, middle, kPad + kSample, middle);
    canvas.SetDash({});
    FittedLabel(canvas, curves[i].label, kPoints, kInk, kPad * 2 + kSample, middle, 0, 0.5, widestAllowed);
  }
  canvas.ResetViewport();
}

}  // namespace

PicturePanel PanelOf(int pictureWidth, int pictureHeight) {
  return {kLeftMargin, kTopMargin, pictureWidth - kLeftMargin - kRightMargin,
          pictureHeight - kTopMargin - kBottomMargin};
}

std::vector<double> TickValues(double lo, double hi, int maxTicks) {
  if (lo > hi) std::swap(lo, hi);
  const double span = hi - lo;
  if (!std::isfinite(span) || span <= 0 || maxTicks < 1) return {};
  // The step is m × 10^e; powers of ten are built exactly and divided by, not multiplied by
  // their inverse, so that 0.12 is the double nearest 0.12 on every runtime.
  const int e = static_cast<int>(std::floor(std::log10(span / maxTicks)));
  double power = 1;
  for (int i = 0; i < std::abs(e); ++i) power *= 10;
  const auto value = [&](double units) { return e < 0 ? units / power : units * power; };
  double m = 1;
  for (const double candidate : {1.0, 2.0, 5.0, 10.0}) {
    m = candidate;
    if (span / value(m) <= maxTicks) break;
  }
  std::vector<double> ticks;
  const double first = std::ceil(lo / value(m)), last = std::floor(hi / value(m));
  for (double k = first; k <= last && ticks.size() <= static_cast<std::size_t>(maxTicks); ++k)
    ticks.push_back(k == 0 ? 0.0 : value(k * m));
  return ticks;
}

void DrawFlightPicture(SvgCanvas& canvas, const DataSet& set, PlotScale scale, const Units& units,
                       const std::wstring& caption, std::span<const PictureCurve> curves) {
  const PicturePanel p = PanelOf(canvas.Width(), canvas.Height());
  canvas.Clear(kPaper);
  for (const PictureCurve& curve : curves) Widen(scale, curve.points);

  // The window's own painters, at the panel's size.
  scale.width = p.width;
  scale.height = p.height;
  canvas.SetViewport(p.x, p.y, p.width, p.height);
  PaintPlot(canvas, set, scale,
            PeakUnits{Wide(units.altitudeUnit), units.perMetre, Wide(units.speedUnit),
                      units.speedPerMetreSecond / kMetresPerSecondToKmh});
  for (const PictureCurve& curve : curves) DrawCurve(canvas, scale, curve);
  canvas.ResetViewport();
  if (!curves.empty()) {
    std::vector<PictureCurve> legend{PictureCurve{L"Flight altitude", kAltitudeInk, false, {}}};
    legend.insert(legend.end(), curves.begin(), curves.end());
    DrawLegend(canvas, p, legend);
  }

  DrawFrame(canvas, p);
  DrawTimeAxis(canvas, p, scale, L"Time [s]");
  if (MapY(scale, 0)) {
    // Altitude in metres and velocity in km/h share the window's vertical scale.
    const Span span = ValueSpan(scale);
    DrawAltitudeAxis(canvas, p, scale, units);
    const double perKmh = units.speedPerMetreSecond / kMetresPerSecondToKmh;
    DrawValueAxis(canvas, p, scale, true, span.lo * perKmh, span.hi * perKmh,
                  [&](double speed) { return speed / perKmh; });
  }
  const double titleY = p.y - kTickGap;
  Label(canvas, Wide(std::string("Altitude [") + units.altitudeUnit + "]"), kTitlePoints, kAltitudeInk, 8, titleY, 0, 1);
  Label(canvas, Wide(std::string("Velocity [") + units.speedUnit + "]"), kTitlePoints, kVelocityInk,
        canvas.Width() - 8, titleY, 1, 1);
  FittedLabel(canvas, caption, kCaptionPoints, kInk, canvas.Width() / 2.0, 6, 0.5, 0, canvas.Width() - 16);
}

void DrawOverlayPicture(SvgCanvas& canvas, std::span<const PictureCurve> curves, const Units& units,
                        const std::wstring& caption) {
  const PicturePanel p = PanelOf(canvas.Width(), canvas.Height());
  canvas.Clear(kPaper);
  PlotScale scale;
  scale.xRange = 1;  // at least a second and a metre, so that an empty overlay still has axes
  scale.yRange = 1;
  for (const PictureCurve& curve : curves) Widen(scale, curve.points);
  scale.width = p.width;
  scale.height = p.height;
  canvas.SetViewport(p.x, p.y, p.width, p.height);
  for (const PictureCurve& curve : curves) DrawCurve(canvas, scale, curve);
  canvas.ResetViewport();
  DrawLegend(canvas, p, curves);

  DrawFrame(canvas, p);
  DrawTimeAxis(canvas, p, scale, L"Time since launch [s]");
  if (MapY(scale, 0)) DrawAltitudeAxis(canvas, p, scale, units);
  Label(canvas, Wide(std::string("Altitude [") + units.altitudeUnit + "]"), kTitlePoints, kInk, 8, p.y - kTickGap, 0, 1);
  FittedLabel(canvas, caption, kCaptionPoints, kInk, canvas.Width() / 2.0, 6, 0.5, 0, canvas.Width() - 16);
}

std::wstring PictureCaption(const std::string& fileName, const DataSet& set, const Units& units) {
  std::string text = Isolated(fileName) + ", data set " + std::to_string(static_cast<long long>(set.setNumber) + 1);
  const int apogee = IndexOfMaximum(set, set.altitudeAgl);
  if (apogee < 0 || static_cast<std::size_t>(apogee) >= set.altitudeAgl.size()) return Wide(text + ": no samples");
  return Wide(text + ": apogee " + Fixed(units.Altitude(set.altitudeAgl[apogee]), 1) + " " + units.altitudeUnit +
              " at " + Fixed(apogee / 10.0, 1) + " s");
}

}  // namespace tev::tool
