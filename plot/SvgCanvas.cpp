#include "plot/SvgCanvas.h"

#include <cmath>

#include "model/NumberFormat.h"
#include "model/WidePath.h"

namespace tev {
namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;
// The font's design: ascent and line spacing in ems, and the blank that GDI+ leaves on either
// side of a string it draws or measures.
constexpr double kAscent = 1854.0 / 2048.0;
constexpr double kLineSpacing = 2355.0 / 2048.0;
constexpr double kSidePadding = 1.0 / 6.0;

// Advance widths of the bold face in thousandths of an em, characters 32 to 126.
constexpr short kBoldWidths[95] = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278,  // space to /
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611,  // 0 to ?
    975, 722, 722, 722, 722, 667, 611, 778, 722, 278, 556, 722, 611, 833, 722, 778,  // @ to O
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 333, 278, 333, 584, 556,  // P to _
    333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556, 278, 889, 611, 611,  // ` to o
    611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584,       // p to ~
};
constexpr short kOtherWidth = 556;

// Marks that steer the direction of text (isolates, embeddings, overrides) and other format
// characters take no room.
bool TakesNoRoom(wchar_t c) {
  return (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF;
}

double Ems(std::wstring_view text) {
  double thousandths = 0;
  for (const wchar_t c : text)
    if (!TakesNoRoom(c)) thousandths += c >= 32 && c <= 126 ? kBoldWidths[c - 32] : kOtherWidth;
  return thousandths / 1000.0;
}

std::string Number(double value) { return FormatReal(value); }

std::string Colour(Argb color) {
  std::string colour = "#";
  return colour += FormatHex(color & 0xFFFFFF, 6);
}

// The opacity attribute for a colour that is not fully opaque, else nothing.
std::string Opacity(const char* attribute, Argb color) {
  const unsigned alpha = color >> 24;
  if (alpha == 0xFF) return "";
  return std::string(" ") + attribute + "=\"" + Number(alpha / 255.0) + "\"";
}

std::string Escaped(std::wstring_view text) {
  std::string out;
  for (const char c : WideToUtf8(text)) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default:
        // Control characters are not allowed in XML text at all.
        if (static_cast<unsigned char>(c) < 0x20) out += ' ';
        else out += c;
    }
  }
  return out;
}

}  // namespace

SvgCanvas::SvgCanvas(int width, int height)
    : width_(width), height_(height), viewWidth_(width), viewHeight_(height) {}

void SvgCanvas::SetViewport(int x, int y, int width, int height) {
  CloseViewport();
  const std::string id = idPrefix_ + "view" + std::to_string(++clipCount_);
  Append("<clipPath id=\"" + id + "\"><rect width=\"" + std::to_string(width) + "\" height=\"" +
         std::to_string(height) + "\"/></clipPath>");
  Append("<g transform=\"translate(" + std::to_string(x) + "," + std::to_string(y) + ")\" clip-path=\"url(#" + id +
         ")\">");
  inViewport_ = true;
  viewWidth_ = width;
  viewHeight_ = height;
}

void SvgCanvas::ResetViewport() { CloseViewport(); }

void SvgCanvas::CloseViewport() {
  FlushPath();
  if (!inViewport_) return;
  body_ += "</g>\n";
  inViewport_ = false;
  viewWidth_ = width_;
  viewHeight_ = height_;
}

void SvgCanvas::Append(const std::string& element) {
  FlushPath();
  body_ += element;
  body_ += '\n';
}

bool SvgCanvas::Clear(std::uint32_t pixel) {
  FlushPath();
  if (!inViewport_) body_.clear();  // nothing drawn before shows through
  Append("<rect width=\"" + std::to_string(viewWidth_) + "\" height=\"" + std::to_string(viewHeight_) + "\" fill=\"" +
         Colour(pixel) + "\"/>");
  return true;
}

void SvgCanvas::Line(Argb color, float penWidth, int x1, int y1, int x2, int y2) {
  if (x1 == x2 && y1 == y2) return;  // flat ends: a line of no length covers nothing
  const int dx = x2 - x1, dy = y2 - y1;
  Path& p = path_;
  if (p.open && p.color == color && p.width == penWidth && p.dash == dash_ && p.lastX == x1 && p.lastY == y1) {
    // A straight continuation moves the last point instead of adding one.
    if (static_cast<long long>(p.dirX) * dy == static_cast<long long>(p.dirY) * dx &&
        static_cast<long long>(p.dirX) * dx + static_cast<long long>(p.dirY) * dy > 0) {
      p.points.resize(p.lastPointAt);
    } else {
      p.points += ' ';
      p.dirX = dx;
      p.dirY = dy;
    }
  } else {
    FlushPath();
    p = Path{color, penWidth, dash_, std::to_string(x1) + "," + std::to_string(y1) + " ", x1, y1, dx, dy, 0, true};
  }
  p.lastPointAt = p.points.size();
  p.points += std::to_string(x2) + "," + std::to_string(y2);
  p.lastX = x2;
  p.lastY = y2;
}

void SvgCanvas::FlushPath() {
  if (!path_.open) return;
  path_.open = false;
  body_ += "<polyline points=\"" + path_.points + "\" fill=\"none\" stroke=\"" + Colour(path_.color) +
           "\" stroke-width=\"" + Number(path_.width) + "\" stroke-linejoin=\"round\"" +
           (path_.dash.empty() ? "" : " stroke-dasharray=\"" + path_.dash + "\"") + Opacity("stroke-opacity", path_.color) +
           "/>\n";
}

void SvgCanvas::FillEllipse(Argb color, int x, int y, int width, int height) {
  Append("<ellipse cx=\"" + Number(x + width / 2.0) + "\" cy=\"" + Number(y + height / 2.0) + "\" rx=\"" +
         Number(width / 2.0) + "\" ry=\"" + Number(height / 2.0) + "\" fill=\"" + Colour(color) + "\"" +
         Opacity("fill-opacity", color) + "/>");
}

void SvgCanvas::Arc(Argb color, float penWidth, int x, int y, int width, int height, float startDegrees,
                    float sweepDegrees) {
  const double rx = width / 2.0, ry = height / 2.0, cx = x + rx, cy = y + ry;
  const std::string stroke = "fill=\"none\" stroke=\"" + Colour(color) + "\" stroke-width=\"" + Number(penWidth) +
                             "\"" + Opacity("stroke-opacity", color);
  if (std::fabs(sweepDegrees) >= 360) {
    Append("<ellipse cx=\"" + Number(cx) + "\" cy=\"" + Number(cy) + "\" rx=\"" + Number(rx) + "\" ry=\"" +
           Number(ry) + "\" " + stroke + "/>");
    return;
  }
  // Angles run clockwise on the screen, as SVG's positive sweep does with y pointing down.
  const double pi = 3.14159265358979323846;
  const double a0 = startDegrees * pi / 180, a1 = (startDegrees + sweepDegrees) * pi / 180;
  Append("<path d=\"M " + Number(cx + rx * std::cos(a0)) + " " + Number(cy + ry * std::sin(a0)) + " A " + Number(rx) +
         " " + Number(ry) + " 0 " + (std::fabs(sweepDegrees) > 180 ? "1" : "0") + " " + (sweepDegrees > 0 ? "1" : "0") +
         " " + Number(cx + rx * std::cos(a1)) + " " + Number(cy + ry * std::sin(a1)) + "\" " + stroke + "/>");
}

void SvgCanvas::Text(std::wstring_view text, float points, bool bold, Argb color, float x, float y) {
  TextWithTooltip(text, {}, points, bold, color, x, y);
}

void SvgCanvas::TextWithTooltip(std::wstring_view text, std::wstring_view tooltip, float points, bool bold, Argb color,
                                float x, float y) {
  const double em = points * kPixelsPerPoint;
  Append("<text x=\"" + Number(x + em * kSidePadding) + "\" y=\"" + Number(y + em * kAscent) + "\" font-size=\"" +
         Number(em) + "\"" + (bold ? " font-weight=\"bold\"" : "") + " fill=\"" + Colour(color) + "\"" +
         Opacity("fill-opacity", color) + " xml:space=\"preserve\">" +
         (tooltip.empty() ? "" : "<title>" + Escaped(tooltip) + "</title>") + Escaped(text) + "</text>");
}

TextExtent SvgCanvas::MeasureText(std::wstring_view text, float points, bool) {
  const double em = points * kPixelsPerPoint;
  return {static_cast<float>((Ems(text) + 2 * kSidePadding) * em), static_cast<float>(kLineSpacing * em)};
}

void SvgCanvas::SetDash(std::vector<float> pattern) {
  dash_.clear();
  for (const float length : pattern) {
    if (!dash_.empty()) dash_ += ' ';
    dash_ += Number(length);
  }
}

void SvgCanvas::SetTitle(std::wstring title, std::wstring description) {
  title_ = Escaped(title);
  description_ = Escaped(description);
}

std::string SvgCanvas::Element() {
  CloseViewport();
  const std::string w = std::to_string(width_), h = std::to_string(height_);
  std::string head = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
                     "\" viewBox=\"0 0 " + w + " " + h + "\" font-family=\"Arial, 'Liberation Sans', Helvetica, sans-serif\"";
  std::string labels;
  if (!title_.empty()) {
    const std::string titleId = idPrefix_ + "title", descriptionId = idPrefix_ + "description";
    head += " role=\"img\" aria-labelledby=\"" + titleId + "\"";
    labels = "<title id=\"" + titleId + "\">" + title_ + "</title>\n";
    if (!description_.empty()) {
      head += " aria-describedby=\"" + descriptionId + "\"";
      labels += "<desc id=\"" + descriptionId + "\">" + description_ + "</desc>\n";
    }
  }
  return head + ">\n" + labels + body_ + "</svg>\n";
}

std::string SvgCanvas::Document() { return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + Element(); }

}  // namespace tev
