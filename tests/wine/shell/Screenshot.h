#pragma once
// Pictures of the screen for pixel checks and for people to look at: the tests' one way to take
// them and to save them (as PNG files, through GDI+, which the test program has started).
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tev::driver {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

class Picture {
 public:
  Picture() = default;
  Picture(int width, int height) : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return pixels_.empty(); }
  Rgb At(int x, int y) const;
  std::uint32_t& Raw(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

  // Pixels within `tolerance` of colour in each channel, inside rect (clipped to the picture).
  int Count(RECT rect, Rgb colour, int tolerance = 0) const;
  // The part inside rect (clipped to the picture); empty when nothing is left.
  Picture Crop(RECT rect) const;
  // As a PNG file; false when it cannot be written.
  bool SavePng(const std::wstring& path) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, top row first
};

// The whole screen (the virtual desktop under Wine) as it is now. For pictures that people will
// look at, wait for the program to finish painting first (SettledScreen.h).
Picture CaptureScreen();
// What the screen shows inside rect (screen coordinates) now, a window's frame for instance;
// parts off the screen read as black.
Picture CaptureScreenRect(const RECT& rect);
// 0x00RRGGBB pixels, top row first, as a PNG file; false when it cannot be written.
bool SavePng(const std::wstring& path, const std::vector<std::uint32_t>& pixels, int width, int height);
// The client area of window, read from a screen capture, and the client rectangle in screen terms.
Picture CaptureClient(HWND window, RECT* screenRect = nullptr);
RECT ClientRectOnScreen(HWND window);

}  // namespace tev::driver
