#include "tests/wine/shell/Screenshot.h"

#include <algorithm>
#include <cstdlib>

#include "plot/win32/GdiplusObjects.h"
#include "win32/Guards.h"

namespace tev::driver {

namespace {

// {557CF406-1A04-11D3-9A73-0000F81EF32E}: GDI+'s PNG encoder.
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

}  // namespace

Rgb Picture::At(int x, int y) const {
  const std::uint32_t p = pixels_[static_cast<size_t>(y) * width_ + x];
  return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)};
}

int Picture::Count(RECT rect, Rgb colour, int tolerance) const {
  const int left = std::max<int>(0, rect.left), top = std::max<int>(0, rect.top);
  const int right = std::min<int>(width_, rect.right), bottom = std::min<int>(height_, rect.bottom);
  int count = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      const Rgb p = At(x, y);
      if (std::abs(p.r - colour.r) <= tolerance && std::abs(p.g - colour.g) <= tolerance &&
          std::abs(p.b - colour.b) <= tolerance)
        ++count;
    }
  }
  return count;
}

Picture Picture::Crop(RECT rect) const {
  const int left = std::max<int>(0, rect.left), top = std::max<int>(0, rect.top);
  const int right = std::min<int>(width_, rect.right), bottom = std::min<int>(height_, rect.bottom);
  if (right <= left || bottom <= top) return {};
  Picture part(right - left, bottom - top);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) part.Raw(x - left, y - top) = pixels_[static_cast<size_t>(y) * width_ + x];
  return part;
}

bool Picture::SavePng(const std::wstring& path) const {
  return driver::SavePng(path, pixels_, width_, height_);
}

bool SavePng(const std::wstring& path, const std::vector<std::uint32_t>& pixels, int width, int height) {
  win32::GdiImage image = win32::NewBitmap(width, height);
  if (!image.Valid()) return false;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
      win32::gdip::GdipBitmapSetPixel(win32::BitmapOf(image), x, y, 0xFF000000u | pixel);
    }
  }
  return win32::gdip::GdipSaveImageToFile(image.Get(), path.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
}

Picture CaptureScreen() {
  return CaptureScreenRect({0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
}

Picture CaptureScreenRect(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return {};
  win32::WindowDc screen(nullptr);
  win32::UniqueMemoryDc memory(::CreateCompatibleDC(screen.Dc()));
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  win32::UniqueBitmap bitmap(::CreateDIBSection(screen.Dc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap || !bits) return {};
  const HGDIOBJ previous = ::SelectObject(memory.Get(), bitmap.Get());
  ::BitBlt(memory.Get(), 0, 0, width, height, screen.Dc(), rect.left, rect.top, SRCCOPY);
  ::GdiFlush();
  Picture picture(width, height);
  const auto* source = static_cast<const std::uint32_t*>(bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.Raw(x, y) = source[static_cast<size_t>(y) * width + x] & 0xFFFFFF;
  ::SelectObject(memory.Get(), previous);
  return picture;
}

RECT ClientRectOnScreen(HWND window) {
  RECT client = {};
  ::GetClientRect(window, &client);
  POINT origin = {0, 0};
  ::ClientToScreen(window, &origin);
  return {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
}

Picture CaptureClient(HWND window, RECT* screenRect) {
  const Picture screen = CaptureScreen();
  const RECT client = ClientRectOnScreen(window);
  if (screenRect) {
    *screenRect = {std::max<LONG>(0, client.left), std::max<LONG>(0, client.top),
                   std::min<LONG>(screen.Width(), client.right), std::min<LONG>(screen.Height(), client.bottom)};
  }
  return screen.Crop(client);
}

}  // namespace tev::driver
