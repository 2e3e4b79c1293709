#pragma once
// What the painters draw on: the GDI+ canvas over the drawing buffer in the program, a recording
// canvas in tests. Every object a canvas creates for drawing lives until the canvas ends.
#include <cstdint>
#include <string_view>

namespace tev {

using Argb = std::uint32_t;  // 0xAARRGGBB

struct TextExtent {
  float width = 0;
  float height = 0;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Size of the surface drawn on, in pixels.
  virtual int Width() const = 0;
  virtual int Height() const = 0;

  // Fills everything with a raw pixel value of the surface's format; false when there is no surface.
  virtual bool Clear(std::uint32_t pixel) = 0;
  virtual void Line(Argb color, float penWidth, int x1, int y1, int x2, int y2) = 0;
  virtual void FillEllipse(Argb color, int x, int y, int width, int height) = 0;
  virtual void Arc(Argb color, float penWidth, int x, int y, int width, int height, float startDegrees,
                   float sweepDegrees) = 0;
  // Text anchored at its top-left corner; the size is in points of a 96-DPI surface (4/3 pixel
  // each) whatever the device's own DPI, since the painters scale it to the plot's DPI themselves.
  virtual void Text(std::wstring_view text, float points, bool bold, Argb color, float x, float y) = 0;
  virtual TextExtent MeasureText(std::wstring_view text, float points, bool bold) = 0;
};

}  // namespace tev
