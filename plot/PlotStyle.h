#pragma once
// Colours, pen widths and font sizes of the flight plot.
#include <cstdint>

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

}  // namespace tev::plotstyle
