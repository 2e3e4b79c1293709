#include "plot/win32/GdiplusCanvas.h"

#include <string>
#include <utility>

#include "plot/win32/DrawingPrimitives.h"

namespace tev::win32 {

namespace {

constexpr const wchar_t* kFontFamily = L"Arial";
// The canvas's points are those of a 96-DPI surface.
float PointsToPixels(float points) { return points * 96.0f / 72.0f; }

COLORREF ColorRefFromArgb(Argb color) { return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF); }

}  // namespace

GdiplusCanvas::GdiplusCanvas(DrawingSurface& surface) : surface_(surface) {}

GdiplusCanvas::~GdiplusCanvas() {
  EndDrawing();
  for (const auto& e : gdiPens_) DeleteObject(e.pen);
  for (const auto& e : gdiBrushes_) DeleteObject(e.brush);
}

void GdiplusCanvas::EndDrawing() {
  FlushLines();
  if (graphics_.LastFailure() != Gdiplus::Ok) lastFailure_ = graphics_.LastFailure();
  graphics_ = GdiGraphics();  // flushes into the context before the context goes back
  if (dc_) {
    // Our pens and brushes leave the context before it goes back, so they can be deleted.
    if (originalPen_) SelectObject(dc_, originalPen_);
    if (originalBrush_) SelectObject(dc_, originalBrush_);
    GdiFlush();
    surface_.ReleaseDc(std::exchange(dc_, nullptr));
  }
  originalPen_ = originalBrush_ = nullptr;
  selectedPen_ = nullptr;
  selectedBrush_ = nullptr;
  gdiplusPending_ = gdiPending_ = false;
}

HDC GdiplusCanvas::GdiContext() {
  if (!Begin()) return nullptr;
  if (gdiplusPending_) {
    gdip::GdipFlush(graphics_.Get(), Gdiplus::FlushIntentionSync);
    gdiplusPending_ = false;
  }
  gdiPending_ = true;
  return dc_;
}

void GdiplusCanvas::SelectGdi(Argb color, int penWidth) {
  HPEN pen = nullptr;
  for (const auto& e : gdiPens_)
    if (e.color == color && e.width == penWidth) pen = e.pen;
  if (!pen) {
    const LOGBRUSH solid{BS_SOLID, ColorRefFromArgb(color), 0};
    pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, static_cast<DWORD>(penWidth), &solid,
                       0, nullptr);
    if (!pen) return;
    gdiPens_.push_back({color, penWidth, pen});
  }
  HBRUSH brush = nullptr;
  for (const auto& e : gdiBrushes_)
    if (e.color == color) brush = e.brush;
  if (!brush) {
    brush = CreateSolidBrush(ColorRefFromArgb(color));
    if (!brush) return;
    gdiBrushes_.push_back({color, brush});
  }
  if (pen != selectedPen_) {
    HGDIOBJ previous = SelectObject(dc_, pen);
    if (!originalPen_) originalPen_ = previous;
    selectedPen_ = pen;
  }
  if (brush != selectedBrush_) {
    HGDIOBJ previous = SelectObject(dc_, brush);
    if (!originalBrush_) originalBrush_ = previous;
    selectedBrush_ = brush;
  }
}

bool GdiplusCanvas::Begin() {
  if (graphics_.Valid()) return true;
  if (!dc_) dc_ = surface_.AcquireDc();
  if (!dc_) return false;
  graphics_ = GdiGraphics(dc_);
  if (graphics_.Valid()) return true;
  lastFailure_ = graphics_.LastFailure();
  surface_.ReleaseDc(std::exchange(dc_, nullptr));
  return false;
}

GdiGraphics* GdiplusCanvas::Graphics() {
  if (!Begin()) return nullptr;
  if (gdiPending_) {
    GdiFlush();
    gdiPending_ = false;
  }
  gdiplusPending_ = true;
  return &graphics_;
}

GpStatus GdiplusCanvas::LastFailure() const {
  return graphics_.LastFailure() != Gdiplus::Ok ? graphics_.LastFailure() : lastFailure_;
}

bool GdiplusCanvas::Clear(std::uint32_t pixel) {
  LineSegment covered;
  lines_.Take(covered);  // the fill covers it anyway
  // A colour fill cannot reach a surface whose context is lent out.
  EndDrawing();
  return surface_.FillSurface(pixel);
}

const GdiPen& GdiplusCanvas::Pen(Argb color, float width) {
  for (const auto& e : pens_)
    if (e.color == color && e.width == width) return *e.pen;
  pens_.push_back({color, width, std::make_unique<GdiPen>(color, width)});
  return *pens_.back().pen;
}

const GdiSolidBrush& GdiplusCanvas::Brush(Argb color) {
  for (const auto& e : brushes_)
    if (e.color == color) return *e.brush;
  brushes_.push_back({color, std::make_unique<GdiSolidBrush>(color)});
  return *brushes_.back().brush;
}

const GdiFont& GdiplusCanvas::Font(float points, bool bold) {
  for (const auto& e : fonts_)
    if (e.points == points && e.bold == bold) return *e.font;
  fonts_.push_back({points, bold, std::make_unique<GdiFont>(kFontFamily, PointsToPixels(points), bold, Gdiplus::UnitPixel)});
  return *fonts_.back().font;
}

void GdiplusCanvas::Line(Argb color, float penWidth, int x1, int y1, int x2, int y2) {
  if (lines_.Add(LineSegment{color, penWidth, x1, y1, x2, y2}) == LineRun::Outcome::Replaced)
    DrawGdiLine(lines_.Flushed());
}

void GdiplusCanvas::FlushLines() {
  LineSegment last;
  if (lines_.Take(last)) DrawGdiLine(last);
}

void GdiplusCanvas::DrawGdiLine(const LineSegment& segment) {
  HDC dc = GdiContext();
  if (!dc) return;
  SelectGdi(segment.color, static_cast<int>(segment.penWidth + 0.5f));
  MoveToEx(dc, segment.x1, segment.y1, nullptr);
  LineTo(dc, segment.x2, segment.y2);
}

void GdiplusCanvas::FillEllipse(Argb color, int x, int y, int width, int height) {
  FlushLines();
  HDC dc = GdiContext();
  if (!dc) return;
  // A one-pixel outline of the same colour makes the dot cover its whole box, as a filled ellipse does.
  SelectGdi(color, 1);
  Ellipse(dc, x, y, x + width, y + height);
}

void GdiplusCanvas::Arc(Argb color, float penWidth, int x, int y, int width, int height, float startDegrees,
                        float sweepDegrees) {
  FlushLines();
  if (GdiGraphics* g = Graphics())
    g->Record(gdip::GdipDrawArcI(g->Get(), Pen(color, penWidth).Get(), x, y, width, height, startDegrees,
                                 sweepDegrees));
}

void GdiplusCanvas::Text(std::wstring_view text, float points, bool bold, Argb color, float x, float y) {
  FlushLines();
  GdiGraphics* g = Graphics();
  if (!g) return;
  const std::wstring terminated(text);
  DrawTextAt(*g, terminated.c_str(), static_cast<int>(terminated.size()), Font(points, bold), x, y, Brush(color));
}

TextExtent GdiplusCanvas::MeasureText(std::wstring_view text, float points, bool bold) {
  GdiGraphics* g = Graphics();
  if (!g) return {};
  const std::wstring terminated(text);
  const Gdiplus::RectF box = win32::MeasureText(*g, terminated.c_str(), Font(points, bold));
  return TextExtent{box.Width, box.Height};
}

}  // namespace tev::win32
