#include "plot/win32/GdiplusObjects.h"

#include <utility>

namespace tev::win32 {

// --- graphics

GdiGraphics::GdiGraphics(HDC dc) {
  if (dc) Record(gdip::GdipCreateFromHDC(dc, &graphics_));
  else Record(Gdiplus::InvalidParameter);
}

GdiGraphics::~GdiGraphics() {
  if (graphics_) gdip::GdipDeleteGraphics(graphics_);
}

GdiGraphics::GdiGraphics(GdiGraphics&& other) noexcept
    : StatusRecord(other), graphics_(std::exchange(other.graphics_, nullptr)) {}

GdiGraphics& GdiGraphics::operator=(GdiGraphics&& other) noexcept {
  if (this != &other) {
    if (graphics_) gdip::GdipDeleteGraphics(graphics_);
    graphics_ = std::exchange(other.graphics_, nullptr);
    StatusRecord::operator=(other);
  }
  return *this;
}

GdiGraphics GdiGraphics::Adopt(Gdiplus::GpGraphics* graphics, GpStatus status) {
  GdiGraphics out;
  out.graphics_ = graphics;
  out.Record(status);
  return out;
}

// --- pen and brush

GdiPen::GdiPen(std::uint32_t argb, float width) {
  Record(gdip::GdipCreatePen1(argb, width, Gdiplus::UnitWorld, &pen_));
}

GdiPen::~GdiPen() {
  if (pen_) gdip::GdipDeletePen(pen_);
}

GdiSolidBrush::GdiSolidBrush(std::uint32_t argb) { Record(gdip::GdipCreateSolidFill(argb, &brush_)); }

GdiSolidBrush::~GdiSolidBrush() {
  if (brush_) gdip::GdipDeleteBrush(reinterpret_cast<Gdiplus::GpBrush*>(brush_));
}

// --- font family

GdiFontFamily::~GdiFontFamily() {
  if (family_) gdip::GdipDeleteFontFamily(family_);
}

GdiFontFamily::GdiFontFamily(GdiFontFamily&& other) noexcept
    : StatusRecord(other), family_(std::exchange(other.family_, nullptr)) {}

GdiFontFamily& GdiFontFamily::operator=(GdiFontFamily&& other) noexcept {
  if (this != &other) {
    if (family_) gdip::GdipDeleteFontFamily(family_);
    family_ = std::exchange(other.family_, nullptr);
    StatusRecord::operator=(other);
  }
  return *this;
}

GdiFontFamily GdiFontFamily::FromName(const wchar_t* name) {
  GdiFontFamily out;
  out.Record(gdip::GdipCreateFontFamilyFromName(name, nullptr, &out.family_));
  return out;
}

GdiFontFamily GdiFontFamily::GenericSansSerif() {
  GdiFontFamily out;
  out.Record(gdip::GdipGetGenericFontFamilySansSerif(&out.family_));
  return out;
}

GdiFontFamily GdiFontFamily::Adopt(Gdiplus::GpFontFamily* family, GpStatus status) {
  GdiFontFamily out;
  out.family_ = family;
  out.Record(status);
  return out;
}

// --- font

GdiFont::GdiFont(const wchar_t* family, float size, bool bold, Gdiplus::Unit unit) {
  const INT style = bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular;
  {
    GdiFontFamily named = GdiFontFamily::FromName(family);
    if (named.Valid()) Record(gdip::GdipCreateFont(named.Get(), size, style, unit, &font_));
    else Record(named.LastFailure());
  }
  if (font_) return;
  GdiFontFamily generic = GdiFontFamily::GenericSansSerif();
  if (generic.Valid()) Record(gdip::GdipCreateFont(generic.Get(), size, style, unit, &font_));
  else Record(generic.LastFailure());
}

GdiFont::~GdiFont() {
  if (font_) gdip::GdipDeleteFont(font_);
}

GdiFont::GdiFont(GdiFont&& other) noexcept : StatusRecord(other), font_(std::exchange(other.font_, nullptr)) {}

GdiFont& GdiFont::operator=(GdiFont&& other) noexcept {
  if (this != &other) {
    if (font_) gdip::GdipDeleteFont(font_);
    font_ = std::exchange(other.font_, nullptr);
    StatusRecord::operator=(other);
  }
  return *this;
}

GdiFont GdiFont::Adopt(Gdiplus::GpFont* font, GpStatus status) {
  GdiFont out;
  out.font_ = font;
  out.Record(status);
  return out;
}

// --- image

GdiImage::~GdiImage() {
  if (image_) gdip::GdipDisposeImage(image_);
}

GdiImage::GdiImage(GdiImage&& other) noexcept : StatusRecord(other), image_(std::exchange(other.image_, nullptr)) {}

GdiImage& GdiImage::operator=(GdiImage&& other) noexcept {
  if (this != &other) {
    if (image_) gdip::GdipDisposeImage(image_);
    image_ = std::exchange(other.image_, nullptr);
    StatusRecord::operator=(other);
  }
  return *this;
}

GdiImage GdiImage::NewBitmap(int width, int height) {
  Gdiplus::GpBitmap* bitmap = nullptr;
  const GpStatus status = gdip::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
  GdiImage out(reinterpret_cast<Gdiplus::GpImage*>(bitmap));
  out.Record(status);
  return out;
}

GdiImage GdiImage::NewBitmapFor(const GdiGraphics& graphics, int width, int height) {
  Gdiplus::GpBitmap* bitmap = nullptr;
  const GpStatus status = gdip::GdipCreateBitmapFromGraphics(width, height, graphics.Get(), &bitmap);
  GdiImage out(reinterpret_cast<Gdiplus::GpImage*>(bitmap));
  out.Record(status);
  return out;
}

}  // namespace tev::win32
