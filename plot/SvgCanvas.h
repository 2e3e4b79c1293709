#pragma once
// A canvas that writes an SVG document, so the painters can draw a flight into a file that any
// browser or renderer shows. Coordinates are pixels at 96 dots per inch, as on the screen; text
// sizes are points, as the GDI+ canvas takes them. Text is measured with the advance widths of
// the bold sans-serif the window uses (Arial, or its metric twin Liberation Sans), since no font
// is opened here.
#include <string>
#include <string_view>
#include <vector>

#include "plot/Canvas.h"

namespace tev {

class SvgCanvas : public Canvas {
 public:
  SvgCanvas(int width, int height);

  // Later drawing goes into the rectangle (x, y, width, height) of the picture, as into a canvas
  // of that size whose corner is (x, y), and is clipped to it; Clear fills only the rectangle.
  void SetViewport(int x, int y, int width, int height);
  // Back to the whole picture.
  void ResetViewport();

  // Lines drawn from now on are dashed: dash and gap lengths in pixels, in turn; empty for solid.
  void SetDash(std::vector<float> pattern);
  // What the picture shows, for readers who do not see it: its title and a description.
  void SetTitle(std::wstring title, std::wstring description);
  // Put before every id the picture defines, so that several pictures can share one page.
  void SetIdPrefix(std::string prefix) { idPrefix_ = std::move(prefix); }

  int Width() const override { return viewWidth_; }
  int Height() const override { return viewHeight_; }
  // The pixel is taken as 0xRRGGBB, as on a 24- or 32-bit display.
  bool Clear(std::uint32_t pixel) override;
  void Line(Argb color, float penWidth, int x1, int y1, int x2, int y2) override;
  void FillEllipse(Argb color, int x, int y, int width, int height) override;
  void Arc(Argb color, float penWidth, int x, int y, int width, int height, float startDegrees,
           float sweepDegrees) override;
  void Text(std::wstring_view text, float points, bool bold, Argb color, float x, float y) override;
  TextExtent MeasureText(std::wstring_view text, float points, bool bold) override;
  // Text that shows `tooltip` (the whole of a shortened text) when the pointer rests on it.
  void TextWithTooltip(std::wstring_view text, std::wstring_view tooltip, float points, bool bold, Argb color, float x,
                       float y);

  // The complete document drawn so far.
  std::string Document();
  // The same picture as one <svg> element, to go inside an HTML page.
  std::string Element();

 private:
  void FlushPath();
  void CloseViewport();
  void Append(const std::string& element);

  int width_;
  int height_;
  int viewWidth_;
  int viewHeight_;
  bool inViewport_ = false;
  int clipCount_ = 0;
  std::string idPrefix_;
  std::string title_, description_;
  std::string dash_;  // the stroke-dasharray value; empty for solid
  std::string body_;

  // Consecutive lines of one pen that join end to start become one polyline.
  struct Path {
    Argb color = 0;
    float width = 0;
    std::string dash;
    std::string points;
    int lastX = 0, lastY = 0;
    int dirX = 0, dirY = 0;  // direction of the last piece, to merge straight continuations
    std::size_t lastPointAt = 0;  // where the last point starts in `points`
    bool open = false;
  } path_;
};

}  // namespace tev
