#include "plot/RecordingCanvas.h"

namespace tev {

RecordingCanvas::RecordingCanvas(int width, int height, bool hasSurface)
    : width_(width), height_(height), hasSurface_(hasSurface) {}

bool RecordingCanvas::Clear(std::uint32_t pixel) {
  if (!hasSurface_) return false;
  CanvasOp op;
  op.kind = CanvasOp::Kind::Clear;
  op.color = pixel;
  ops_.push_back(op);
  return true;
}

void RecordingCanvas::Line(Argb color, float penWidth, int x1, int y1, int x2, int y2) {
  CanvasOp op;
  op.kind = CanvasOp::Kind::Line;
  op.color = color;
  op.penWidth = penWidth;
  op.x1 = x1;
  op.y1 = y1;
  op.x2 = x2;
  op.y2 = y2;
  ops_.push_back(op);
}

void RecordingCanvas::FillEllipse(Argb color, int x, int y, int width, int height) {
  CanvasOp op;
  op.kind = CanvasOp::Kind::Ellipse;
  op.color = color;
  op.x1 = x;
  op.y1 = y;
  op.boxWidth = width;
  op.boxHeight = height;
  ops_.push_back(op);
}

void RecordingCanvas::Arc(Argb color, float penWidth, int x, int y, int width, int height, float startDegrees,
                          float sweepDegrees) {
  CanvasOp op;
  op.kind = CanvasOp::Kind::Arc;
  op.color = color;
  op.penWidth = penWidth;
  op.x1 = x;
  op.y1 = y;
  op.boxWidth = width;
  op.boxHeight = height;
  op.startDegrees = startDegrees;
  op.sweepDegrees = sweepDegrees;
  ops_.push_back(op);
}

void RecordingCanvas::Text(std::wstring_view text, float points, bool bold, Argb color, float x, float y) {
  CanvasOp op;
  op.kind = CanvasOp::Kind::Text;
  op.color = color;
  op.text = std::wstring(text);
  op.points = points;
  op.bold = bold;
  op.textX = x;
  op.textY = y;
  ops_.push_back(op);
}

TextExtent RecordingCanvas::MeasureText(std::wstring_view text, float points, bool) {
  return TextExtent{static_cast<float>(text.size()) * charWidthPerPoint * points, lineHeightPerPoint * points};
}

std::vector<CanvasOp> RecordingCanvas::OpsOf(CanvasOp::Kind kind) const {
  std::vector<CanvasOp> out;
  for (const auto& op : ops_)
    if (op.kind == kind) out.push_back(op);
  return out;
}

std::vector<std::wstring> RecordingCanvas::Texts() const {
  std::vector<std::wstring> out;
  for (const auto& op : ops_)
    if (op.kind == CanvasOp::Kind::Text) out.push_back(op.text);
  return out;
}

const CanvasOp* RecordingCanvas::FindText(std::wstring_view text) const {
  const CanvasOp* found = nullptr;
  for (const auto& op : ops_) {
    if (op.kind != CanvasOp::Kind::Text || op.text != text) continue;
    if (found) return nullptr;
    found = &op;
  }
  return found;
}

}  // namespace tev
