#pragma once
// Colours, pen widths, font sizes and distances of the flight plot. The sizes are those at 96 DPI
// (100 %); PlotSizesAt gives them at any DPI, so that every size scales in this one place.
#include <cstdint>

#include "model/Dpi.h"
#include "plot/Canvas.h"

namespace tev::plotstyle {

inline constexpr std::uint32_t kBackgroundPixel = 0x808080;  // mid grey on 24- and 32-bit displays
inline constexpr Argb kTitle = 0xFF696969;
inline constexpr Argb kRed = 0xFFFF0000;
inline constexpr Argb kGreen = 0xFF008000;
inline constexpr Argb kBlue = 0xFF0000FF;

inline constexpr float kSeriesPen = 3.0f;
inline constexpr float kLineMarkPen = 15.0f;

inline constexpr float kTitlePoints = 128.0f;
inline constexpr float kLabelPoints = 12.0f;

inline constexpr int kDotSize = 5;
inline constexpr int kLabelRise = 30;     // labels stand this far above their point
inline constexpr int kLineMarkShift = 8;  // line marks sit this far right of their samples
inline constexpr int kMargin = 50;        // between the data and every edge
inline constexpr int kGroundLabelX = 100;
inline constexpr int kLegendX = 10;
inline constexpr int kLegendTop = 10;
inline constexpr int kLegendStep = 40;  // from one legend line to the next

using tev::kBaseDpi;
using tev::ScaledLength;
using tev::ScaledSize;
using tev::UsableDpi;

struct PlotSizes {
  float seriesPen = kSeriesPen;
  float lineMarkPen = kLineMarkPen;
  float titlePoints = kTitlePoints;
  float labelPoints = kLabelPoints;
  int dotSize = kDotSize;
  int labelRise = kLabelRise;
  int lineMarkShift = kLineMarkShift;
  int margin = kMargin;
  int groundLabelX = kGroundLabelX;
  int legendX = kLegendX;
  int legendTop = kLegendTop;
  int legendStep = kLegendStep;
};

constexpr PlotSizes PlotSizesAt(int dpi) {
  PlotSizes s;
  s.seriesPen = ScaledSize(kSeriesPen, dpi);
  s.lineMarkPen = ScaledSize(kLineMarkPen, dpi);
  s.titlePoints = ScaledSize(kTitlePoints, dpi);
  s.labelPoints = ScaledSize(kLabelPoints, dpi);
  s.dotSize = ScaledLength(kDotSize, dpi);
  s.labelRise = ScaledLength(kLabelRise, dpi);
  s.lineMarkShift = ScaledLength(kLineMarkShift, dpi);
  s.margin = ScaledLength(kMargin, dpi);
  s.groundLabelX = ScaledLength(kGroundLabelX, dpi);
  s.legendX = ScaledLength(kLegendX, dpi);
  s.legendTop = ScaledLength(kLegendTop, dpi);
  s.legendStep = ScaledLength(kLegendStep, dpi);
  return s;
}

}  // namespace tev::plotstyle
