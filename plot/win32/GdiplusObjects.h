#pragma once
// RAII wrappers of the GDI+ objects the drawing layer creates. Each remembers the last failing
// status of a call made through it; drawing failures go no further than that.
#include <cstdint>

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

class GdiGraphics : public StatusRecord {
 public:
  GdiGraphics() = default;
  explicit GdiGraphics(HDC dc);
  ~GdiGraphics();
  GdiGraphics(GdiGraphics&& other) noexcept;
  GdiGraphics& operator=(GdiGraphics&& other) noexcept;
  GdiGraphics(const GdiGraphics&) = delete;
  GdiGraphics& operator=(const GdiGraphics&) = delete;

  // Takes ownership of a graphics object made elsewhere (an image's context).
  static GdiGraphics Adopt(Gdiplus::GpGraphics* graphics, GpStatus status);

  Gdiplus::GpGraphics* Get() const { return graphics_; }
  bool Valid() const { return graphics_ != nullptr; }

 private:
  Gdiplus::GpGraphics* graphics_ = nullptr;
};

class GdiPen : public StatusRecord {
 public:
  GdiPen(std::uint32_t argb, float width);
  ~GdiPen();
  GdiPen(const GdiPen&) = delete;
  GdiPen& operator=(const GdiPen&) = delete;
  Gdiplus::GpPen* Get() const { return pen_; }
  bool Valid() const { return pen_ != nullptr; }

 private:
  Gdiplus::GpPen* pen_ = nullptr;
};

class GdiSolidBrush : public StatusRecord {
 public:
  explicit GdiSolidBrush(std::uint32_t argb);
  ~GdiSolidBrush();
  GdiSolidBrush(const GdiSolidBrush&) = delete;
  GdiSolidBrush& operator=(const GdiSolidBrush&) = delete;
  Gdiplus::GpBrush* Get() const { return reinterpret_cast<Gdiplus::GpBrush*>(brush_); }
  bool Valid() const { return brush_ != nullptr; }

 private:
  Gdiplus::GpSolidFill* brush_ = nullptr;
};

class GdiFontFamily : public StatusRecord {
 public:
  GdiFontFamily() = default;
  ~GdiFontFamily();
  GdiFontFamily(GdiFontFamily&& other) noexcept;
  GdiFontFamily& operator=(GdiFontFamily&& other) noexcept;
  GdiFontFamily(const GdiFontFamily&) = delete;
  GdiFontFamily& operator=(const GdiFontFamily&) = delete;

  static GdiFontFamily FromName(const wchar_t* name);
  static GdiFontFamily GenericSansSerif();
  static GdiFontFamily Adopt(Gdiplus::GpFontFamily* family, GpStatus status);

  Gdiplus::GpFontFamily* Get() const { return family_; }
  bool Valid() const { return family_ != nullptr; }

 private:
  friend class GdiFont;
  Gdiplus::GpFontFamily* family_ = nullptr;
};

class GdiFont : public StatusRecord {
 public:
  GdiFont() = default;
  // The named family at `size` in `unit`, bold or regular; the generic sans-serif family when the
  // named one or its font cannot be made (the family is let go once the font exists).
  GdiFont(const wchar_t* family, float size, bool bold, Gdiplus::Unit unit = Gdiplus::UnitPoint);
  ~GdiFont();
  GdiFont(GdiFont&& other) noexcept;
  GdiFont& operator=(GdiFont&& other) noexcept;
  GdiFont(const GdiFont&) = delete;
  GdiFont& operator=(const GdiFont&) = delete;

  static GdiFont Adopt(Gdiplus::GpFont* font, GpStatus status);

  Gdiplus::GpFont* Get() const { return font_; }
  bool Valid() const { return font_ != nullptr; }

 private:
  Gdiplus::GpFont* font_ = nullptr;
};

// An image (bitmap) let go with GdipDisposeImage.
class GdiImage : public StatusRecord {
 public:
  GdiImage() = default;
  explicit GdiImage(Gdiplus::GpImage* image) : image_(image) {}
  ~GdiImage();
  GdiImage(GdiImage&& other) noexcept;
  GdiImage& operator=(GdiImage&& other) noexcept;
  GdiImage(const GdiImage&) = delete;
  GdiImage& operator=(const GdiImage&) = delete;

  // A 32-bit ARGB bitmap of its own memory.
  static GdiImage NewBitmap(int width, int height);
  // A bitmap of the graphics' pixel format and resolution.
  static GdiImage NewBitmapFor(const GdiGraphics& graphics, int width, int height);

  Gdiplus::GpImage* Get() const { return image_; }
  Gdiplus::GpBitmap* GetBitmap() const { return reinterpret_cast<Gdiplus::GpBitmap*>(image_); }
  bool Valid() const { return image_ != nullptr; }

 private:
  Gdiplus::GpImage* image_ = nullptr;
};

}  // namespace tev::win32
