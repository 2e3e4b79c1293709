#include "tests/wine/shell/Screenshot.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "win32/Guards.h"

namespace tev::driver {

namespace {

template <typename T>
void Put(std::ofstream& out, T value) {
  out.write(reinterpret_cast<const char*>(&value), sizeof(value));
}

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

bool Picture::SaveBmp(const std::wstring& path) const {
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  if (!out) return false;
  const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width_) * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height_);
  out.write("BM", 2);
  Put<std::uint32_t>(out, 54 + imageBytes);
  Put<std::uint32_t>(out, 0);
  Put<std::uint32_t>(out, 54);
  Put<std::uint32_t>(out, 40);
  Put<std::int32_t>(out, width_);
  Put<std::int32_t>(out, height_);
  Put<std::uint16_t>(out, 1);
  Put<std::uint16_t>(out, 24);
  Put<std::uint32_t>(out, 0);
  Put<std::uint32_t>(out, imageBytes);
  Put<std::int32_t>(out, 2835);
  Put<std::int32_t>(out, 2835);
  Put<std::uint32_t>(out, 0);
  Put<std::uint32_t>(out, 0);
  std::vector<char> row(rowBytes, 0);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      const Rgb p = At(x, y);
      row[x * 3] = static_cast<char>(p.b);
      row[x * 3 + 1] = static_cast<char>(p.g);
      row[x * 3 + 2] = static_cast<char>(p.r);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
  return static_cast<bool>(out);
}

Picture CaptureScreen() {
  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
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
  ::BitBlt(memory.Get(), 0, 0, width, height, screen.Dc(), 0, 0, SRCCOPY);
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
