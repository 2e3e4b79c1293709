#include "plot/PlotView.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <cwchar>
#include <limits>
#include <string>
#include <vector>

#include "model/DebugLog.h"
#include "plot/PlotMapping.h"
#include "plot/RecordingCanvas.h"
#include "tests/support/LogCapture.h"

namespace tev {
namespace {

using Kind = CanvasOp::Kind;
constexpr Argb kRed = 0xFFFF0000, kGreen = 0xFF008000, kBlue = 0xFF0000FF, kDimGrey = 0xFF696969;

// A 200-sample flight: the highest point is sample 123 at 456.7 m, the fastest sample 40 at 87.5 m/s.
DataSet KnownFlight() {
  DataSet set;
  const int n = 200;
  set.adc.assign(n, 700);
  set.lineFlags.assign(n, 0);
  for (int i = 0; i < n; ++i) {
    const double rise = (i - 123) / 123.0;
    set.altitudeAgl.push_back(i <= 123 ? 456.7 * (1 - rise * rise) : 456.7 - (i - 123) * 2.0);
    set.velocity.push_back(87.5 - std::abs(i - 40) * 0.5);
  }
  set.smoothedAltitude = set.altitudeAgl;
  set.smoothedVelocity = set.velocity;
  for (double v : set.velocity) set.velocityKmh.push_back(v * 3.6);
  set.setNumber = 2;
  return set;
}

PlotScale Scale(int width, int height, int xRange, int yMin, int yRange) {
  PlotScale s;
  s.width = width;
  s.height = height;
  s.xRange = xRange;
  s.yMin = yMin;
  s.yRange = yRange;
  return s;
}

int CountLines(const RecordingCanvas& canvas, Argb color, float width) {
  int count = 0;
  for (const auto& op : canvas.OpsOf(Kind::Line))
    if (op.color == color && op.penWidth == width) ++count;
  return count;
}

TEST(PaintPlot, KnownFlightDrawsEverythingInOrder) {
  LogCapture log;
  DataSet set = KnownFlight();
  PlotScale scale = Scale(1280, 1024, 20, -100, 600);
  RecordingCanvas canvas(1280, 1024);
  PaintPlot(canvas, set, scale);

  const auto& ops = canvas.Ops();
  ASSERT_GE(ops.size(), 3u);
  EXPECT_EQ(ops[0].kind, Kind::Clear);
  EXPECT_EQ(ops[0].color, 0x808080u);
  // The title comes first so everything lies over it: 7 × 0.75 × 128 = 672 wide, 192 high.
  EXPECT_EQ(ops[1].kind, Kind::Text);
  EXPECT_EQ(ops[1].text, L"TEV USB");
  EXPECT_EQ(ops[1].color, kDimGrey);
  EXPECT_EQ(ops[1].points, 128.0f);
  EXPECT_TRUE(ops[1].bold);
  EXPECT_EQ(ops[1].textX, 304.0f);
  EXPECT_EQ(ops[1].textY, 512.0f);

  // Ground line across the whole buffer at Y(0) = 1024 - 100 × 924 / 600 - 50 = 820.
  EXPECT_EQ(ops[2].kind, Kind::Line);
  EXPECT_EQ(ops[2].color, kBlue);
  EXPECT_EQ(ops[2].penWidth, 3.0f);
  EXPECT_EQ(ops[2].x1, 0);
  EXPECT_EQ(ops[2].x2, 1280);
  EXPECT_EQ(ops[2].y1, 820);
  EXPECT_EQ(ops[2].y2, 820);

  // Altitude and smoothed altitude in red, velocity in green: one segment per pair of samples.
  EXPECT_EQ(CountLines(canvas, kRed, 3.0f), 2 * 199);
  EXPECT_EQ(CountLines(canvas, kGreen, 3.0f), 199);
  EXPECT_EQ(CountLines(canvas, kBlue, 15.0f) + CountLines(canvas, kRed, 15.0f), 0);

  // Dots on the raw altitude only, centred on every sample but the first.
  const auto dots = canvas.OpsOf(Kind::Ellipse);
  ASSERT_EQ(dots.size(), 199u);
  EXPECT_EQ(dots[122].color, kRed);
  EXPECT_EQ(dots[122].x1, *MapX(scale, 12.3) - 2);
  EXPECT_EQ(dots[122].y1, *MapY(scale, 456.7) - 2);
  EXPECT_EQ(dots[122].boxWidth, 5);
  EXPECT_EQ(dots[122].boxHeight, 5);

  // Apogee: X(12.3) = 12.3 × 1180 / 20 + 50 = 775.7; Y(456.7) = 1024 - 556.7 × 1.54 - 50 = 116.7.
  const CanvasOp* apogee = canvas.FindText(L"(12.3 s  456.7 m)");
  ASSERT_NE(apogee, nullptr);
  EXPECT_EQ(apogee->color, kBlue);
  EXPECT_EQ(apogee->points, 12.0f);
  EXPECT_TRUE(apogee->bold);
  EXPECT_EQ(apogee->textX, 775.0f);
  EXPECT_EQ(apogee->textY, 116.0f - 30.0f);

  // Peak velocity from the unsmoothed series, in km/h: X(4) = 286; Y(315) = 1024 - 415 × 1.54 - 50 = 334.9.
  const CanvasOp* peak = canvas.FindText(L"(4 s  315 km/h)");
  ASSERT_NE(peak, nullptr);
  EXPECT_EQ(peak->color, kBlue);
  EXPECT_EQ(peak->textX, 286.0f);
  EXPECT_EQ(peak->textY, 334.0f - 30.0f);

  struct Legend {
    const wchar_t* text;
    Argb color;
    float x, y;
  } legends[] = {
      {L"Ground", kBlue, 100, 820 - 30},
      {L"Smoothed altitude", kRed, 10, 10},
      {L"<Velocity> over 1 second", kGreen, 10, 50},
      {L"Data set: 3", kBlue, 10, 90},
  };
  for (const auto& l : legends) {
    const CanvasOp* op = canvas.FindText(l.text);
    ASSERT_NE(op, nullptr) << std::string(l.text, l.text + std::wcslen(l.text));
    EXPECT_EQ(op->color, l.color);
    EXPECT_EQ(op->textX, l.x);
    EXPECT_EQ(op->textY, l.y);
    EXPECT_EQ(op->points, 12.0f);
  }
  EXPECT_EQ(canvas.Texts().size(), 7u);
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"Updating buffer."});
}

TEST(PaintPlot, PeakLabelsStayInsideThePlotMovingLeftOrDownOnlyAsFarAsNeeded) {
  // A flight whose apogee is its last sample: its label starts at the right margin, 50 pixels
  // from the edge, and needs 13 characters × 9 pixels. Where it fits it stands as always.
  DataSet set = KnownFlight();
  const std::size_t n = 124;  // up to the apogee, sample 123
  for (auto* series : {&set.altitudeAgl, &set.smoothedAltitude, &set.velocity, &set.smoothedVelocity, &set.velocityKmh})
    series->resize(n);
  set.adc.resize(n);
  set.lineFlags.resize(n);
  const std::wstring label = L"(12.3 s  456.7 m)";
  struct Case {
    int width, height, xRange, yRange;
    bool movedLeft, movedDown;
    const char* what;
  };
  const float width = label.size() * 0.75f * 12;  // 153 pixels
  for (const Case& c : {Case{640, 480, 12, 457, true, false, "apogee at the right margin: moved left"},
                        Case{640, 480, 24, 457, false, false, "room to its right: where it always stood"},
                        Case{640, 480, 24, 400, false, true, "above the top margin: moved down to the top edge"},
                        Case{640, 480, 12, 400, true, true, "in the top right corner: both"},
                        Case{100, 60, 12, 457, true, false, "narrower than the label: from the left edge"}}) {
    SCOPED_TRACE(c.what);
    RecordingCanvas canvas(c.width, c.height);
    PlotScale scale = Scale(c.width, c.height, c.xRange, 0, c.yRange);
    PaintPlot(canvas, set, scale);
    const CanvasOp* apogee = canvas.FindText(label);
    ASSERT_NE(apogee, nullptr);
    const int x = *MapX(scale, 12.3f), y = *MapY(scale, 456.7f) - 30;
    if (!c.movedLeft) EXPECT_EQ(apogee->textX, x);
    else if (c.width >= width) EXPECT_EQ(apogee->textX + width, c.width);  // against the right edge
    else EXPECT_EQ(apogee->textX, 0.0f);
    EXPECT_EQ(apogee->textY, c.movedDown ? 0 : y);
    EXPECT_LT(apogee->textX, x + 1);
  }
}

TEST(PaintPlot, APeakLabelThatWouldLieOverTheLegendOrTheOtherLabelGoesJustBelowIt) {
  // The velocity peak, (4 s  315 km/h), stands at X(4) = 158 on a 20 s axis: under the legend's
  // widest line (24 characters × 9 = 216 pixels from x = 10) when the plot's top is 315. On a 60 s
  // axis the apogee, (12.3 s  456.7 m), stands there too, and the two meet below the legend.
  const DataSet set = KnownFlight();
  const std::wstring velocityLabel = L"(4 s  315 km/h)", apogeeLabel = L"(12.3 s  456.7 m)";
  struct Case {
    int xRange, yRange;
    bool velocityMoved;
    const char* what;
  };
  for (const Case& c : {Case{20, 315, true, "at the top left: just below the legend"},
                        Case{20, 600, false, "lower down: where it always stood"},
                        Case{60, 400, true, "both peaks at the top left: one below the other"}}) {
    SCOPED_TRACE(c.what);
    RecordingCanvas canvas(640, 480);
    PlotScale scale = Scale(640, 480, c.xRange, 0, c.yRange);
    PaintPlot(canvas, set, scale);
    const CanvasOp* velocity = canvas.FindText(velocityLabel);
    ASSERT_NE(velocity, nullptr);
    EXPECT_EQ(velocity->textX, static_cast<float>(*MapX(scale, 4.0)));
    const float standing = static_cast<float>(std::max(*MapY(scale, 315.0) - 30, 0));
    if (c.velocityMoved) EXPECT_GT(velocity->textY, standing);
    else EXPECT_EQ(velocity->textY, standing);

    // Whatever their places, no two of the labels and legend lines lie over each other.
    const float lineHeight = canvas.lineHeightPerPoint * 12;
    std::vector<const CanvasOp*> texts;
    for (const std::wstring& text : {std::wstring(L"Smoothed altitude"), std::wstring(L"<Velocity> over 1 second"),
                                     std::wstring(L"Data set: 3"), velocityLabel, apogeeLabel}) {
      texts.push_back(canvas.FindText(text));
      ASSERT_NE(texts.back(), nullptr);
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
      for (std::size_t j = i + 1; j < texts.size(); ++j) {
        const CanvasOp& a = *texts[i];
        const CanvasOp& b = *texts[j];
        const float aRight = a.textX + a.text.size() * canvas.charWidthPerPoint * 12;
        const float bRight = b.textX + b.text.size() * canvas.charWidthPerPoint * 12;
        const bool apart = a.textX >= bRight || b.textX >= aRight || a.textY >= b.textY + lineHeight ||
                           b.textY >= a.textY + lineHeight;
        EXPECT_TRUE(apart) << "texts " << i << " and " << j << " overlap";
      }
    }
  }
}

TEST(PaintPlot, EmptyDataSetDrawsOnlyBackgroundAndTitle) {
  DataSet empty;
  PlotScale scale = Scale(640, 480, 0, 0, 0);
  RecordingCanvas canvas(640, 480);
  canvas.charWidthPerPoint = 0.5f;  // 448 × 192: fits
  PaintPlot(canvas, empty, scale);
  ASSERT_EQ(canvas.Ops().size(), 2u);
  EXPECT_EQ(canvas.Ops()[0].kind, Kind::Clear);
  EXPECT_EQ(canvas.Ops()[1].text, L"TEV USB");
}

TEST(PaintPlot, EmptyDataSetWithLeftoverRangesStillDrawsNothingElse) {
  // Ranges of an earlier flight must not bring back a ground line or labels.
  DataSet empty;
  PlotScale scale = Scale(640, 480, 20, -10, 300);
  RecordingCanvas canvas(640, 480);
  PaintPlot(canvas, empty, scale);
  for (const auto& op : canvas.Ops()) EXPECT_TRUE(op.kind == Kind::Clear || op.text == L"TEV USB");
}

TEST(PaintPlot, TitleIsLeftOutWhenItDoesNotFit) {
  struct Case {
    int width, height;
    bool drawn;
  } cases[] = {
      {673, 193, true},   // 672 × 192 fits with a pixel to spare
      {672, 1000, false},  // exactly as wide: left out
      {1000, 192, false},  // exactly as high: left out
      {400, 300, false},
  };
  for (const auto& c : cases) {
    DataSet set = KnownFlight();
    PlotScale scale = Scale(c.width, c.height, 20, -100, 600);
    RecordingCanvas canvas(c.width, c.height);
    PaintPlot(canvas, set, scale);
    EXPECT_EQ(canvas.FindText(L"TEV USB") != nullptr, c.drawn) << c.width << "x" << c.height;
    // Everything else is drawn either way.
    EXPECT_NE(canvas.FindText(L"Data set: 3"), nullptr);
    EXPECT_EQ(CountLines(canvas, kGreen, 3.0f), 199);
  }
}

TEST(PaintPlot, NoBufferDrawsNothing) {
  LogCapture log;
  DataSet set = KnownFlight();
  PlotScale scale = Scale(640, 480, 20, -100, 600);
  RecordingCanvas canvas(640, 480, /*hasSurface=*/false);
  PaintPlot(canvas, set, scale);
  EXPECT_TRUE(canvas.Ops().empty());
  EXPECT_TRUE(log.Lines().empty());
}

TEST(PaintPlot, ZeroRangesDrawOnlyWhatCanBePlaced) {
  DataSet set = KnownFlight();
  {
    // A flight shorter than a second has no time range: no series, no peak labels; ground and legends stay.
    PlotScale scale = Scale(640, 480, 0, -100, 600);
    RecordingCanvas canvas(640, 480);
    PaintPlot(canvas, set, scale);
    EXPECT_EQ(canvas.OpsOf(Kind::Line).size(), 1u);  // the ground line
    EXPECT_TRUE(canvas.OpsOf(Kind::Ellipse).empty());
    EXPECT_EQ(canvas.FindText(L"(12.3 s  456.7 m)"), nullptr);
    EXPECT_NE(canvas.FindText(L"Ground"), nullptr);
    EXPECT_NE(canvas.FindText(L"Smoothed altitude"), nullptr);
  }
  {
    // A flat flight has no value range: nothing that needs a height, not even the ground.
    PlotScale scale = Scale(640, 480, 20, 0, 0);
    RecordingCanvas canvas(640, 480);
    PaintPlot(canvas, set, scale);
    EXPECT_TRUE(canvas.OpsOf(Kind::Line).empty());
    EXPECT_TRUE(canvas.OpsOf(Kind::Ellipse).empty());
    EXPECT_EQ(canvas.FindText(L"Ground"), nullptr);
    EXPECT_NE(canvas.FindText(L"Data set: 3"), nullptr);
  }
}

TEST(PaintPlot, SamplesThatAreNotNumbersAreSkipped) {
  DataSet set = KnownFlight();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  set.altitudeAgl[50] = nan;
  set.velocityKmh[0] = nan;
  set.velocityKmh[199] = std::numeric_limits<double>::infinity();
  PlotScale scale = Scale(640, 480, 20, -100, 600);
  RecordingCanvas canvas(640, 480);
  PaintPlot(canvas, set, scale);
  // Raw altitude loses the two segments and the dot at sample 50; velocity its first and last segment.
  EXPECT_EQ(CountLines(canvas, kRed, 3.0f), 197 + 199);
  EXPECT_EQ(CountLines(canvas, kGreen, 3.0f), 197);
  EXPECT_EQ(canvas.OpsOf(Kind::Ellipse).size(), 198u);
  EXPECT_NE(canvas.FindText(L"(4 s  315 km/h)"), nullptr);
}

TEST(DrawLineMarks, OnlyLineAOrOnlyLineBLeaveABarOnTheGround) {
  DataSet set;
  // Index 0 is never a bar's end; 3 (both lines) and 0 (neither) draw nothing.
  set.lineFlags = {2, 2, 2, 1, 3, 0, 1};
  const PlotScale scale = Scale(640, 480, 1, -100, 500);
  RecordingCanvas canvas(640, 480);
  DrawLineMarks(canvas, scale, set);

  const int ground = 480 - 100 * 380 / 500 - 50;  // 354
  struct Bar {
    Argb color;
    int from;  // sample index of the bar's left end
  } expected[] = {{kRed, 0}, {kRed, 1}, {kBlue, 2}, {kBlue, 5}};
  const auto lines = canvas.OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), std::size(expected));
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const int x = 50 + expected[k].from * 54;  // 540 pixels per second, 54 per sample
    EXPECT_EQ(lines[k].color, expected[k].color) << k;
    EXPECT_EQ(lines[k].penWidth, 15.0f) << k;
    EXPECT_EQ(lines[k].x1, x + 8) << k;
    EXPECT_EQ(lines[k].x2, x + 54 + 8) << k;
    EXPECT_EQ(lines[k].y1, ground) << k;
    EXPECT_EQ(lines[k].y2, ground) << k;
  }
}

TEST(DrawSeries, FewerThanTwoSamplesDrawNothing) {
  const PlotScale scale = Scale(640, 480, 10, 0, 100);
  for (const std::vector<double>& series : {std::vector<double>{}, std::vector<double>{42.0}}) {
    RecordingCanvas canvas(640, 480);
    DrawSeries(canvas, scale, series, PlotPen{kRed, 3.0f}, kRed);
    EXPECT_TRUE(canvas.Ops().empty());
  }
}

TEST(PaintLiveTrace, TakesItsRangesFromTheTrace) {
  LiveTrace trace;
  trace.points = {0.0, 4.0, 9.0, 12.9, 11.0};
  trace.xMin = 0;
  trace.yMin = 0;
  trace.xMax = 5;
  trace.yMax = 12;
  trace.apogeeTime = 0.3f;
  trace.maxAltitude = 12.9f;
  PlotScale scale = Scale(640, 480, 99, -50, 777);
  RecordingCanvas canvas(640, 480);
  PaintLiveTrace(canvas, trace, scale);

  EXPECT_EQ(scale.xMin, 0);
  EXPECT_EQ(scale.yMin, 0);
  EXPECT_EQ(scale.xRange, 5);
  EXPECT_EQ(scale.yRange, 12);
  EXPECT_EQ(scale.width, 640);
  EXPECT_EQ(scale.height, 480);

  const auto lines = canvas.OpsOf(Kind::Line);
  ASSERT_EQ(lines.size(), 1u + 4u);
  EXPECT_EQ(lines[0].color, kBlue);  // ground at Y(0) = 430
  EXPECT_EQ(lines[0].y1, 430);
  EXPECT_EQ(lines[0].x2, 640);
  // The trace in red; 108 pixels per second.
  EXPECT_EQ(lines[1].color, kRed);
  EXPECT_EQ(lines[1].x1, 50);
  EXPECT_EQ(lines[1].y1, 430);
  EXPECT_EQ(lines[1].x2, 60);
  EXPECT_EQ(lines[1].y2, 303);  // 430 - 4 × 380 / 12 = 303.3
  EXPECT_TRUE(canvas.OpsOf(Kind::Ellipse).empty());

  // The highest point lies above the top margin by the truncated part of the range, less than
  // 30 pixels from the top: its label moves down to the top edge rather than be cut off.
  const CanvasOp* apogee = canvas.FindText(L"(0.3 s  12.9 m)");
  ASSERT_NE(apogee, nullptr);
  EXPECT_EQ(apogee->textX, static_cast<float>(*MapX(scale, 0.3f)));
  EXPECT_LT(*MapY(scale, 12.9f), 30);
  EXPECT_EQ(apogee->textY, 0.0f);
  const CanvasOp* ground = canvas.FindText(L"Ground");
  ASSERT_NE(ground, nullptr);
  EXPECT_EQ(ground->textX, 100.0f);
  EXPECT_EQ(ground->textY, 400.0f);
  EXPECT_EQ(canvas.Texts().size(), 2u);  // no title, no legend
}

TEST(PaintLiveTrace, EmptyTraceStillLabelsTheGround) {
  LiveTrace trace;
  trace.xMax = 5;
  trace.yMax = 10;
  PlotScale scale;
  RecordingCanvas canvas(640, 480);
  PaintLiveTrace(canvas, trace, scale);
  EXPECT_NE(canvas.FindText(L"(0 s  0 m)"), nullptr);
  EXPECT_NE(canvas.FindText(L"Ground"), nullptr);
  EXPECT_EQ(canvas.OpsOf(Kind::Line).size(), 1u);
}

TEST(PaintLiveTrace, TraceBelowOneMetreDrawsOnlyTheBackground) {
  // The height range is still 0: nothing can be placed vertically.
  LiveTrace trace;
  trace.points = {0.0, 0.4, -0.3};
  trace.xMax = 5;
  trace.yMax = 0;
  trace.maxAltitude = 0.4f;
  PlotScale scale;
  RecordingCanvas canvas(640, 480);
  PaintLiveTrace(canvas, trace, scale);
  ASSERT_EQ(canvas.Ops().size(), 1u);
  EXPECT_EQ(canvas.Ops()[0].kind, Kind::Clear);
}

// The plot at other DPIs: fonts and pens in exact proportion, distances rounded to the nearest
// pixel; a DPI that is no DPI draws as at 96.
struct DpiCase {
  int dpi;
  float factor;
  int margin, dot, rise, shift, legendX, thirdLegendY, groundLabelX;
};
constexpr DpiCase kDpiCases[] = {
    {96, 1.0f, 50, 5, 30, 8, 10, 90, 100},
    {120, 1.25f, 63, 6, 38, 10, 13, 113, 125},  // halves round up: 62.5, 37.5, 12.5, 112.5
    {144, 1.5f, 75, 8, 45, 12, 15, 135, 150},
    {192, 2.0f, 100, 10, 60, 16, 20, 180, 200},
    {0, 1.0f, 50, 5, 30, 8, 10, 90, 100},
    {-144, 1.0f, 50, 5, 30, 8, 10, 90, 100},
};

TEST(PaintPlot, PensFontsAndDistancesGrowWithTheDpi) {
  for (const DpiCase& c : kDpiCases) {
    SCOPED_TRACE(c.dpi);
    DataSet set = KnownFlight();
    set.lineFlags[10] = 2;
    PlotScale scale = Scale(1920, 1440, 20, -100, 600);
    scale.dpi = c.dpi;
    RecordingCanvas canvas(1920, 1440);
    PaintPlot(canvas, set, scale);

    for (const auto& op : canvas.OpsOf(Kind::Text)) {
      SCOPED_TRACE(testing::PrintToString(op.text));
      EXPECT_EQ(op.points, (op.text == L"TEV USB" ? 128.0f : 12.0f) * c.factor);
    }
    int seriesLines = 0, marks = 0;
    for (const auto& op : canvas.OpsOf(Kind::Line)) {
      if (op.penWidth == 3.0f * c.factor) {
        ++seriesLines;
      } else {
        EXPECT_EQ(op.penWidth, 15.0f * c.factor);
        ++marks;
      }
    }
    EXPECT_GT(seriesLines, 200);
    EXPECT_EQ(marks, 1);
    for (const auto& op : canvas.OpsOf(Kind::Ellipse)) {
      EXPECT_EQ(op.boxWidth, c.dot);
      EXPECT_EQ(op.boxHeight, c.dot);
    }

    // The data start after the left margin and the ground lies the margin's share above the bottom.
    EXPECT_EQ(MapX(scale, 0.0), c.margin);
    EXPECT_EQ(MapX(scale, 20.0), 1920 - c.margin);
    const int ground = static_cast<int>(1440 - 100.0 * (1440 - 2 * c.margin) / 600 - c.margin);
    EXPECT_EQ(MapY(scale, 0.0), ground);
    EXPECT_EQ(canvas.OpsOf(Kind::Line)[0].y1, ground);
    const CanvasOp* mark = nullptr;
    for (const auto& op : canvas.Ops())
      if (op.kind == Kind::Line && op.penWidth == 15.0f * c.factor) mark = &op;
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->x1, *MapX(scale, 0.9) + c.shift);

    const CanvasOp* groundLabel = canvas.FindText(L"Ground");
    ASSERT_NE(groundLabel, nullptr);
    EXPECT_EQ(groundLabel->textX, static_cast<float>(c.groundLabelX));
    EXPECT_EQ(groundLabel->textY, static_cast<float>(ground - c.rise));
    const CanvasOp* legend = canvas.FindText(L"Data set: 3");
    ASSERT_NE(legend, nullptr);
    EXPECT_EQ(legend->textX, static_cast<float>(c.legendX));
    EXPECT_EQ(legend->textY, static_cast<float>(c.thirdLegendY));
  }
}

TEST(PaintLiveTrace, TheTraceGrowsWithTheDpi) {
  for (const DpiCase& c : kDpiCases) {
    SCOPED_TRACE(c.dpi);
    LiveTrace trace;
    trace.points = {0.0, 4.0, 9.0, 12.9, 11.0};
    trace.xMax = 5;
    trace.yMax = 12;
    trace.apogeeTime = 0.3f;
    trace.maxAltitude = 12.9f;
    PlotScale scale;
    scale.dpi = c.dpi;
    RecordingCanvas canvas(640, 480);
    PaintLiveTrace(canvas, trace, scale);

    const auto lines = canvas.OpsOf(Kind::Line);
    ASSERT_EQ(lines.size(), 5u);
    for (const auto& op : lines) EXPECT_EQ(op.penWidth, 3.0f * c.factor);
    EXPECT_EQ(lines[1].x1, c.margin);
    const CanvasOp* apogee = canvas.FindText(L"(0.3 s  12.9 m)");
    ASSERT_NE(apogee, nullptr);
    EXPECT_EQ(apogee->points, 12.0f * c.factor);
    EXPECT_EQ(apogee->textY, static_cast<float>(std::max(0, *MapY(scale, 12.9f) - c.rise)));
  }
}

}  // namespace
}  // namespace tev
