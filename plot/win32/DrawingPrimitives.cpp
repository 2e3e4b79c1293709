#include "plot/win32/DrawingPrimitives.h"

namespace tev::win32 {

std::uint32_t ArgbFromColorRef(COLORREF color) {
  return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

void DrawLine(GdiGraphics& graphics, const GdiPen& pen, int x1, int y1, int x2, int y2) {
  graphics.Record(gdip::GdipDrawLineI(graphics.Get(), pen.Get(), x1, y1, x2, y2));
}

void FillDot(GdiGraphics& graphics, const GdiSolidBrush& brush, int x, int y, int width, int height) {
  graphics.Record(gdip::GdipFillEllipseI(graphics.Get(), brush.Get(), x, y, width, height));
}

void DrawCornerArc(GdiGraphics& graphics, const GdiPen& pen, int x, int y, float startDegrees, float sweepDegrees,
                   int size) {
  graphics.Record(gdip::GdipDrawArcI(graphics.Get(), pen.Get(), x, y, size, size, startDegrees, sweepDegrees));
}

void DrawTextAt(GdiGraphics& graphics, const wchar_t* text, int length, const GdiFont& font, float x, float y,
                const GdiSolidBrush& brush) {
  const Gdiplus::RectF at(x, y, 0, 0);
  graphics.Record(gdip::GdipDrawString(graphics.Get(), text, length, font.Get(), &at, nullptr, brush.Get()));
}

Gdiplus::RectF MeasureText(GdiGraphics& graphics, const wchar_t* text, const GdiFont& font, Gdiplus::RectF layout) {
  Gdiplus::RectF box(0, 0, 0, 0);
  graphics.Record(
      gdip::GdipMeasureString(graphics.Get(), text, -1, font.Get(), &layout, nullptr, &box, nullptr, nullptr));
  return box;
}

void ExcludeClipRect(GdiGraphics& graphics, int x, int y, int width, int height) {
  graphics.Record(gdip::GdipSetClipRectI(graphics.Get(), x, y, width, height, Gdiplus::CombineModeExclude));
}

void ClearGraphics(GdiGraphics& graphics, std::uint32_t argb) {
  graphics.Record(gdip::GdipGraphicsClear(graphics.Get(), argb));
}

void DrawImageAt(GdiGraphics& graphics, const GdiImage& image, int x, int y) {
  if (!image.Valid()) return;
  graphics.Record(gdip::GdipDrawImageI(graphics.Get(), image.Get(), x, y));
}

GdiGraphics GraphicsFromImage(const GdiImage& image) {
  if (!image.Valid()) return GdiGraphics(nullptr, Gdiplus::InvalidParameter);
  Gdiplus::GpGraphics* graphics = nullptr;
  const GpStatus status = gdip::GdipGetImageGraphicsContext(image.Get(), &graphics);
  image.Record(status);
  return GdiGraphics(graphics, status);
}

GdiFont FontFromDC(HDC dc, HFONT font) {
  Gdiplus::GpFont* made = nullptr;
  if (font) {
    LOGFONTA logical{};
    if (GetObjectA(font, sizeof logical, &logical) != 0) {
      const GpStatus status = gdip::GdipCreateFontFromLogfontA(dc, &logical, &made);
      return GdiFont(made, status);
    }
  }
  const GpStatus status = gdip::GdipCreateFontFromDC(dc, &made);
  return GdiFont(made, status);
}

int FontStyleOf(const GdiFont& font) {
  INT style = 0;
  if (font.Record(gdip::GdipGetFontStyle(font.Get(), &style)) != Gdiplus::Ok) return 0;
  return style;
}

float FontSizeOf(const GdiFont& font) {
  Gdiplus::REAL size = 0;
  if (font.Record(gdip::GdipGetFontSize(font.Get(), &size)) != Gdiplus::Ok) return 0;
  return size;
}

GdiFontFamily FontFamilyOf(const GdiFont& font) {
  // The family comes back as a reference of its own, which the caller lets go.
  Gdiplus::GpFontFamily* family = nullptr;
  const GpStatus status = font.Record(gdip::GdipGetFamily(font.Get(), &family));
  return GdiFontFamily(family, status);
}

int EmHeightOf(const GdiFontFamily& family, int style) {
  UINT16 value = 0;
  if (family.Record(gdip::GdipGetEmHeight(family.Get(), style, &value)) != Gdiplus::Ok) return 0;
  return value;
}

int CellAscentOf(const GdiFontFamily& family, int style) {
  UINT16 value = 0;
  if (family.Record(gdip::GdipGetCellAscent(family.Get(), style, &value)) != Gdiplus::Ok) return 0;
  return value;
}

int CellDescentOf(const GdiFontFamily& family, int style) {
  UINT16 value = 0;
  if (family.Record(gdip::GdipGetCellDescent(family.Get(), style, &value)) != Gdiplus::Ok) return 0;
  return value;
}

}  // namespace tev::win32
