#include "plot/SvgCanvas.h"

#include <gtest/gtest.h>

#include <string>

namespace tev {
namespace {

constexpr Argb kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(SvgCanvas, LinesOfOnePenThatJoinBecomeOnePolyline) {
  SvgCanvas canvas(200, 100);
  canvas.Line(kRed, 3, 0, 50, 10, 50);
  canvas.Line(kRed, 3, 10, 50, 20, 50);  // goes straight on: the point moves
  canvas.Line(kRed, 3, 20, 50, 20, 40);  // turns: a new point
  canvas.Line(kRed, 3, 20, 40, 20, 40);  // no length, nothing to draw
  canvas.Line(kRed, 3, 20, 40, 20, 50);  // turns back on itself: a new point, not a merge
  canvas.Line(kRed, 15, 20, 50, 30, 50); // another pen
  canvas.Line(kBlue, 15, 30, 50, 40, 50); // another colour
  canvas.Line(kBlue, 15, 50, 50, 60, 50); // does not join
  const std::string svg = canvas.Document();
  EXPECT_EQ(Count(svg, "<polyline"), 4u) << svg;
  EXPECT_NE(svg.find("points=\"0,50 20,50 20,40 20,50\" fill=\"none\" stroke=\"#ff0000\" stroke-width=\"3\""),
            std::string::npos) << svg;
  EXPECT_NE(svg.find("points=\"20,50 30,50\" fill=\"none\" stroke=\"#ff0000\" stroke-width=\"15\""), std::string::npos);
  EXPECT_NE(svg.find("points=\"30,50 40,50\" fill=\"none\" stroke=\"#0000ff\""), std::string::npos);
}

TEST(SvgCanvas, ADashedPenIsAPenOfItsOwn) {
  SvgCanvas canvas(200, 100);
  canvas.Line(kRed, 3, 0, 50, 10, 50);
  canvas.SetDash({12, 7.5f});
  canvas.Line(kRed, 3, 10, 50, 20, 50);  // joins the solid line, but must not take its pen
  canvas.Line(kRed, 3, 20, 50, 30, 40);
  canvas.SetDash({});
  canvas.Line(kRed, 3, 30, 40, 40, 40);
  const std::string svg = canvas.Document();
  EXPECT_EQ(Count(svg, "<polyline"), 3u) << svg;
  EXPECT_EQ(Count(svg, "stroke-dasharray"), 1u) << svg;
  EXPECT_NE(svg.find("points=\"10,50 20,50 30,40\" fill=\"none\" stroke=\"#ff0000\" stroke-width=\"3\" "
                     "stroke-linejoin=\"round\" stroke-dasharray=\"12 7.5\"/>"),
            std::string::npos)
      << svg;
}

TEST(SvgCanvas, APictureForAPageHasItsTitleAndIdsOfItsOwn) {
  const auto draw = [](const std::string& prefix) {
    SvgCanvas canvas(200, 100);
    canvas.SetIdPrefix(prefix);
    canvas.SetTitle(L"a < b & c", L"rises \"fast\"");
    canvas.SetViewport(10, 10, 50, 50);
    canvas.Line(kRed, 3, 0, 0, 10, 10);
    canvas.ResetViewport();
    return canvas.Element();
  };
  const std::string first = draw("f1-"), second = draw("f2-");
  EXPECT_EQ(first.rfind("<svg ", 0), 0u) << first;  // no XML declaration inside a page
  EXPECT_NE(first.find("role=\"img\" aria-labelledby=\"f1-title\" aria-describedby=\"f1-description\""),
            std::string::npos) << first;
  EXPECT_NE(first.find("<title id=\"f1-title\">a &lt; b &amp; c</title>"), std::string::npos) << first;
  EXPECT_NE(first.find("<desc id=\"f1-description\">rises \"fast\"</desc>"), std::string::npos) << first;
  EXPECT_NE(first.find("<clipPath id=\"f1-view1\">"), std::string::npos) << first;
  EXPECT_NE(first.find("clip-path=\"url(#f1-view1)\""), std::string::npos) << first;
  EXPECT_NE(second.find("<clipPath id=\"f2-view1\">"), std::string::npos) << second;
}

TEST(SvgCanvas, ViewportIsACanvasOfItsOwnInsideThePicture) {
  SvgCanvas canvas(400, 300);
  EXPECT_TRUE(canvas.Clear(0xFFFFFF));
  canvas.SetViewport(72, 60, 256, 180);
  EXPECT_EQ(canvas.Width(), 256);
  EXPECT_EQ(canvas.Height(), 180);
  EXPECT_TRUE(canvas.Clear(0x808080));
  canvas.Line(kRed, 3, 0, 0, 256, 180);
  canvas.ResetViewport();
  EXPECT_EQ(canvas.Width(), 400);
  canvas.Line(kBlue, 2, 0, 0, 10, 0);

  const std::string svg = canvas.Document();
  const std::size_t group = svg.find("<g transform=\"translate(72,60)\" clip-path=\"url(#view1)\">");
  const std::size_t grey = svg.find("<rect width=\"256\" height=\"180\" fill=\"#808080\"/>");
  const std::size_t inside = svg.find("points=\"0,0 256,180\"");
  const std::size_t end = svg.find("</g>");
  const std::size_t outside = svg.find("points=\"0,0 10,0\"");
  ASSERT_NE(group, std::string::npos) << svg;
  EXPECT_NE(svg.find("<clipPath id=\"view1\"><rect width=\"256\" height=\"180\"/></clipPath>"), std::string::npos);
  EXPECT_NE(svg.find("<rect width=\"400\" height=\"300\" fill=\"#ffffff\"/>"), std::string::npos);
  EXPECT_TRUE(group < grey && grey < inside && inside < end && end < outside) << svg;
}

TEST(SvgCanvas, ArcsRunClockwiseFromTheirStartAngle) {
  SvgCanvas canvas(100, 100);
  canvas.Arc(kRed, 1, 0, 0, 8, 8, 0, 90);      // right-hand point, down to the bottom
  canvas.Arc(kRed, 1, 0, 0, 8, 8, 180, -270);  // left-hand point, back round through the bottom to the top
  canvas.Arc(kRed, 1, 10, 10, 8, 4, 0, 360);   // a whole ellipse
  const std::string svg = canvas.Document();
  EXPECT_NE(svg.find("d=\"M 8 4 A 4 4 0 0 1 4 8\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("d=\"M 0 4 A 4 4 0 1 0 4 0\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("<ellipse cx=\"14\" cy=\"12\" rx=\"4\" ry=\"2\" fill=\"none\""), std::string::npos) << svg;
}

TEST(SvgCanvas, ClearingThePictureDropsWhatWasDrawnBefore) {
  SvgCanvas canvas(100, 100);
  canvas.Line(kRed, 3, 0, 0, 10, 10);
  canvas.Text(L"gone", 12, true, kRed, 0, 0);
  canvas.Clear(0x808080);
  const std::string svg = canvas.Document();
  EXPECT_EQ(svg.find("polyline"), std::string::npos);
  EXPECT_EQ(svg.find("gone"), std::string::npos);
  EXPECT_EQ(Count(svg, "<rect"), 1u);
}

TEST(SvgCanvas, TextIsEscapedKeepsItsBlanksAndStandsBelowItsAnchor) {
  SvgCanvas canvas(300, 100);
  canvas.Text(L"(12.3 s  456.7 m) <&> \u00b0", 12, true, kBlue, 100, 40);
  const std::string svg = canvas.Document();
  EXPECT_NE(svg.find("xml:space=\"preserve\">(12.3 s  456.7 m) &lt;&amp;&gt; \xc2\xb0</text>"), std::string::npos)
      << svg;
  // 12 points are 16 pixels; the top-left anchor puts the baseline one ascent (0.905 em) lower.
  EXPECT_NE(svg.find("font-size=\"16\" font-weight=\"bold\" fill=\"#0000ff\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("y=\"54.4844\""), std::string::npos) << svg;
}

TEST(SvgCanvas, MeasuredTextGrowsWithItsCharactersAndSize) {
  SvgCanvas canvas(100, 100);
  const TextExtent narrow = canvas.MeasureText(L"iiii", 12, true);
  const TextExtent wide = canvas.MeasureText(L"WWWW", 12, true);
  const TextExtent big = canvas.MeasureText(L"WWWW", 24, true);
  EXPECT_GT(wide.width, 2 * narrow.width);
  EXPECT_FLOAT_EQ(big.width, 2 * wide.width);
  EXPECT_FLOAT_EQ(big.height, 2 * wide.height);
  EXPECT_EQ(narrow.height, wide.height);
  // Digits share one width, so columns of numbers line up.
  EXPECT_EQ(canvas.MeasureText(L"1111", 10, true).width, canvas.MeasureText(L"8888", 10, true).width);
}

}  // namespace
}  // namespace tev
