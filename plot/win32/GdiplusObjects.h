#pragma once
// The GDI+ objects the drawing layer makes: one template, a kind for each flat type with its
// delete call. Each object remembers the last failing status of a call made through it; drawing
// failures go no further than that.
#include <cstdint>

#include "model/Unique.h"
#include "plot/win32/Gdiplus.h"

namespace tev::win32 {

// The last failure of the calls made through one object (Ok while none has failed).
class StatusRecord {
 public:
  GpStatus LastFailure() const { return lastFailure_; }
  GpStatus Record(GpStatus status) const {
    if (status != Gdiplus::Ok) lastFailure_ = status;
    return status;
  }

 private:
  mutable GpStatus lastFailure_ = Gdiplus::Ok;
};

template <typename T, auto Delete>
struct GdiplusTraits {
  static T* Invalid() { return nullptr; }
  static bool Valid(T* object) { return object != nullptr; }
  static void Release(T* object) { Delete(object); }
};

template <typename T, auto Delete>
class GdiplusObject : public StatusRecord {
 public:
  GdiplusObject() = default;
  // Owns what a flat call made, and remembers that call's status.
  GdiplusObject(T* object, GpStatus status) : object_(object) { Record(status); }

  T* Get() const { return object_.Get(); }
  bool Valid() const { return object_.Valid(); }

 private:
  Unique<T*, GdiplusTraits<T, Delete>> object_;
};

using GdiGraphics = GdiplusObject<Gdiplus::GpGraphics, gdip::GdipDeleteGraphics>;
using GdiPen = GdiplusObject<Gdiplus::GpPen, gdip::GdipDeletePen>;
using GdiSolidBrush = GdiplusObject<Gdiplus::GpBrush, gdip::GdipDeleteBrush>;
using GdiFontFamily = GdiplusObject<Gdiplus::GpFontFamily, gdip::GdipDeleteFontFamily>;
using GdiFont = GdiplusObject<Gdiplus::GpFont, gdip::GdipDeleteFont>;
using GdiImage = GdiplusObject<Gdiplus::GpImage, gdip::GdipDisposeImage>;

// Drawing on a device context; InvalidParameter for a null one.
GdiGraphics GraphicsFromDc(HDC dc);
GdiPen NewPen(std::uint32_t argb, float width);
GdiSolidBrush NewSolidBrush(std::uint32_t argb);
GdiFontFamily FontFamilyFromName(const wchar_t* name);
GdiFontFamily GenericSansSerif();
// The named family at `size` in `unit`, bold or regular; the generic sans-serif family when the named
// one or its font cannot be made (the family is let go once the font exists).
GdiFont NewFont(const wchar_t* family, float size, bool bold, Gdiplus::Unit unit = Gdiplus::UnitPoint);
// A 32-bit ARGB bitmap of its own memory.
GdiImage NewBitmap(int width, int height);
// A bitmap of the graphics' pixel format and resolution.
GdiImage NewBitmapFor(const GdiGraphics& graphics, int width, int height);
// An image made by NewBitmap or NewBitmapFor, for the bitmap calls.
Gdiplus::GpBitmap* BitmapOf(const GdiImage& image);

}  // namespace tev::win32
