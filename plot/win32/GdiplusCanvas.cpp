#include "plot/win32/GdiplusCanvas.h"

#include <string>
#include <utility>

#include "plot/win32/DrawingPrimitives.h"

namespace tev::win32 {

namespace {
constexpr const wchar_t* kFontFamily = L"Arial";
}

GdiplusCanvas::GdiplusCanvas(DrawingSurface& surface) : surface_(surface) {}

GdiplusCanvas::~GdiplusCanvas() { EndDrawing(); }

void GdiplusCanvas::EndDrawing() {
  if (graphics_.LastFailure() != Gdiplus::Ok) lastFailure_ = graphics_.LastFailure();
  graphics_ = GdiGraphics();  // flushes into the context before the context goes back
  if (dc_) surface_.ReleaseDc(std::exchange(dc_, nullptr));
}

GdiGraphics* GdiplusCanvas::Graphics() {
  if (graphics_.Valid()) return &graphics_;
  if (!dc_) dc_ = surface_.AcquireDc();
  if (!dc_) return nullptr;
  graphics_ = GdiGraphics(dc_);
  if (!graphics_.Valid()) {
    lastFailure_ = graphics_.LastFailure();
    surface_.ReleaseDc(std::exchange(dc_, nullptr));
    return nullptr;
  }
  return &graphics_;
}

GpStatus GdiplusCanvas::LastFailure() const {
  return graphics_.LastFailure() != Gdiplus::Ok ? graphics_.LastFailure() : lastFailure_;
}

bool GdiplusCanvas::Clear(std::uint32_t pixel) {
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
  fonts_.push_back({points, bold, std::make_unique<GdiFont>(kFontFamily, points, bold)});
  return *fonts_.back().font;
}

void GdiplusCanvas::Line(Argb color, float penWidth, int x1, int y1, int x2, int y2) {
  if (GdiGraphics* g = Graphics()) DrawLine(*g, Pen(color, penWidth), x1, y1, x2, y2);
}

void GdiplusCanvas::FillEllipse(Argb color, int x, int y, int width, int height) {
  if (GdiGraphics* g = Graphics()) FillDot(*g, Brush(color), x, y, width, height);
}

void GdiplusCanvas::Arc(Argb color, float penWidth, int x, int y, int width, int height, float startDegrees,
                        float sweepDegrees) {
  if (GdiGraphics* g = Graphics())
    g->Record(gdip::GdipDrawArcI(g->Get(), Pen(color, penWidth).Get(), x, y, width, height, startDegrees,
                                 sweepDegrees));
}

void GdiplusCanvas::Text(std::wstring_view text, float points, bool bold, Argb color, float x, float y) {
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
