#pragma once
// A canvas that draws nothing and remembers every call, so tests can check each coordinate,
// colour and text the painters produce.
#include <string>
#include <vector>

#include "plot/Canvas.h"

namespace tev {

struct CanvasOp {
  enum class Kind { Clear, Line, Ellipse, Arc, Text };
  Kind kind = Kind::Clear;
  std::uint32_t color = 0;  // the raw pixel for Clear, ARGB otherwise
  float penWidth = 0;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends; for Ellipse and Arc x1, y1 is the box's corner
  int boxWidth = 0, boxHeight = 0;     // Ellipse and Arc
  float startDegrees = 0, sweepDegrees = 0;
  std::wstring text;
  float points = 0;
  bool bold = false;
  float textX = 0, textY = 0;
};

class RecordingCanvas : public Canvas {
 public:
  // Without a surface, Clear fails as the real canvas does when there is no buffer.
  RecordingCanvas(int width, int height, bool hasSurface = true);

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Clear(std::uint32_t pixel) override;
  void Line(Argb color, float penWidth, int x1, int y1, int x2, int y2) override;
  void FillEllipse(Argb color, int x, int y, int width, int height) override;
  void Arc(Argb color, float penWidth, int x, int y, int width, int height, float startDegrees,
           float sweepDegrees) override;
  void Text(std::wstring_view text, float points, bool bold, Argb color, float x, float y) override;
  // A fixed, font-free estimate: each character charWidthPerPoint × points wide, lines
  // lineHeightPerPoint × points high.
  TextExtent MeasureText(std::wstring_view text, float points, bool bold) override;

  float charWidthPerPoint = 0.75f;
  float lineHeightPerPoint = 1.5f;

  const std::vector<CanvasOp>& Ops() const { return ops_; }
  std::vector<CanvasOp> OpsOf(CanvasOp::Kind kind) const;
  // The drawn texts, in drawing order.
  std::vector<std::wstring> Texts() const;
  // The one text op with exactly this text; null when there is none or more than one.
  const CanvasOp* FindText(std::wstring_view text) const;

 private:
  int width_;
  int height_;
  bool hasSurface_;
  std::vector<CanvasOp> ops_;
};

}  // namespace tev
