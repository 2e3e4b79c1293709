#include "plot/win32/GdiplusObjects.h"

namespace tev::win32 {

GdiGraphics GraphicsFromDc(HDC dc) {
  if (!dc) return GdiGraphics(nullptr, Gdiplus::InvalidParameter);
  Gdiplus::GpGraphics* graphics = nullptr;
  const GpStatus status = gdip::GdipCreateFromHDC(dc, &graphics);
  return GdiGraphics(graphics, status);
}

GdiPen NewPen(std::uint32_t argb, float width) {
  Gdiplus::GpPen* pen = nullptr;
  const GpStatus status = gdip::GdipCreatePen1(argb, width, Gdiplus::UnitWorld, &pen);
  return GdiPen(pen, status);
}

GdiSolidBrush NewSolidBrush(std::uint32_t argb) {
  Gdiplus::GpSolidFill* brush = nullptr;
  const GpStatus status = gdip::GdipCreateSolidFill(argb, &brush);
  return GdiSolidBrush(brush, status);
}

GdiFontFamily FontFamilyFromName(const wchar_t* name) {
  Gdiplus::GpFontFamily* family = nullptr;
  const GpStatus status = gdip::GdipCreateFontFamilyFromName(name, nullptr, &family);
  return GdiFontFamily(family, status);
}

GdiFontFamily GenericSansSerif() {
  Gdiplus::GpFontFamily* family = nullptr;
  const GpStatus status = gdip::GdipGetGenericFontFamilySansSerif(&family);
  return GdiFontFamily(family, status);
}

GdiFont NewFont(const wchar_t* family, float size, bool bold, Gdiplus::Unit unit) {
  const INT style = bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular;
  StatusRecord record;  // the last failure of either attempt
  const auto fontIn = [&](const GdiFontFamily& made) -> Gdiplus::GpFont* {
    Gdiplus::GpFont* font = nullptr;
    if (made.Valid()) record.Record(gdip::GdipCreateFont(made.Get(), size, style, unit, &font));
    else record.Record(made.LastFailure());
    return font;
  };
  Gdiplus::GpFont* font = fontIn(FontFamilyFromName(family));
  if (!font) font = fontIn(GenericSansSerif());
  return GdiFont(font, record.LastFailure());
}

GdiImage NewBitmap(int width, int height) {
  Gdiplus::GpBitmap* bitmap = nullptr;
  const GpStatus status = gdip::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
  return GdiImage(bitmap, status);
}

GdiImage NewBitmapFor(const GdiGraphics& graphics, int width, int height) {
  Gdiplus::GpBitmap* bitmap = nullptr;
  const GpStatus status = gdip::GdipCreateBitmapFromGraphics(width, height, graphics.Get(), &bitmap);
  return GdiImage(bitmap, status);
}

Gdiplus::GpBitmap* BitmapOf(const GdiImage& image) { return static_cast<Gdiplus::GpBitmap*>(image.Get()); }

}  // namespace tev::win32
