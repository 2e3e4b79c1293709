#include "ui/dialogs/AboutBanner.h"

#include "plot/win32/GdiplusObjects.h"
#include "resources/ResourceIds.h"
#include "win32/Dpi.h"
#include "win32/Guards.h"

namespace tev {

namespace {

// Only the banner's resampling needs these.
using GdiImageAttributes = win32::GdiplusObject<Gdiplus::GpImageAttributes, win32::gdip::GdipDisposeImageAttributes>;

HBITMAP NewScreenBitmap(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// `source` drawn into a new bitmap of width × height.
HBITMAP Resample(HBITMAP source, int sourceWidth, int sourceHeight, int width, int height) {
  Gdiplus::GpBitmap* picture = nullptr;
  if (win32::gdip::GdipCreateBitmapFromHBITMAP(source, nullptr, &picture) != Gdiplus::Ok) return nullptr;
  const win32::GdiImage image(reinterpret_cast<Gdiplus::GpImage*>(picture), Gdiplus::Ok);

  win32::UniqueBitmap target(NewScreenBitmap(width, height));
  win32::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!target || !dc) return nullptr;
  const HGDIOBJ old = ::SelectObject(dc.Get(), target.Get());
  bool drawn = false;
  {
    win32::GdiGraphics graphics = win32::GraphicsFromDc(dc.Get());
    Gdiplus::GpImageAttributes* raw = nullptr;
    const win32::GpStatus made = win32::gdip::GdipCreateImageAttributes(&raw);
    const GdiImageAttributes attributes(raw, made);
    if (graphics.Valid() && attributes.Valid()) {
      // The edges mirrored outwards: a filter reaching past the picture finds the picture, not black.
      win32::gdip::GdipSetImageAttributesWrapMode(attributes.Get(), Gdiplus::WrapModeTileFlipXY, 0, FALSE);
      win32::gdip::GdipSetInterpolationMode(graphics.Get(), Gdiplus::InterpolationModeHighQualityBicubic);
      win32::gdip::GdipSetPixelOffsetMode(graphics.Get(), Gdiplus::PixelOffsetModeHalf);
      drawn = win32::gdip::GdipDrawImageRectRectI(graphics.Get(), image.Get(), 0, 0, width, height, 0, 0,
                                                  sourceWidth, sourceHeight, Gdiplus::UnitPixel, attributes.Get(),
                                                  nullptr, nullptr) == Gdiplus::Ok;
    }
  }
  ::SelectObject(dc.Get(), old);
  return drawn ? target.Release() : nullptr;
}

}  // namespace

HBITMAP LoadAboutBanner(UINT dpi) {
  win32::UniqueBitmap source(static_cast<HBITMAP>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  BITMAP info = {};
  if (!source || !::GetObjectW(source.Get(), sizeof info, &info)) return nullptr;
  if (dpi == win32::kBaseDpi) return source.Release();
  const HBITMAP scaled = Resample(source.Get(), info.bmWidth, info.bmHeight, win32::ScaleToDpi(info.bmWidth, dpi),
                                  win32::ScaleToDpi(info.bmHeight, dpi));
  // A banner at its own size beats none.
  return scaled ? scaled : source.Release();
}

}  // namespace tev
