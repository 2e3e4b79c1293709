// tevtool plot without a renderer: the window's painters draw the panel, and the axes, the
// caption and the apogee and peak labels speak the chosen units.
#include <gtest/gtest.h>

#include <cmath>

#include "model/NumberFormat.h"
#include "plot/PlotView.h"
#include "plot/RecordingCanvas.h"
#include "plot/SvgCanvas.h"
#include "tests/tevtool/BuiltFlight.h"
#include "tests/support/ToolRun.h"
#include "tools/tevtool/FlightPicture.h"

namespace tev {
namespace {

using testing::BuiltFlight;
using testing::RunTevtool;

// The text as an SVG element's content: ">text</text>".
std::string Xml(const std::wstring& text) {
  std::string out = ">";
  for (const char c : WideToUtf8(text)) {
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '&') out += "&amp;";
    else out += c;
  }
  return out += "</text>";
}

TEST(PlotPicture, WindowLabelsStayAndEveryFigureSpeaksTheChosenUnits) {
  QuietLog quiet;
  testing::TempDir dir;
  const BuiltFlight flight;
  const std::wstring file = testing::SaveFlight(dir, L"flight.tev", flight.Packets(), DeviceSettings());
  const std::wstring svg = dir.File(L"flight.svg");

  // What the window's painters draw at the panel's size (big enough for the title in both
  // canvases' measures).
  const tool::PicturePanel panel = tool::PanelOf(tool::kDefaultPictureWidth, tool::kDefaultPictureHeight);
  RecordingCanvas window(panel.width, panel.height);
  DataSet set;
  PlotScale scale;
  scale.width = panel.width;
  scale.height = panel.height;
  PreparePlot(flight.Packets(), DeviceSettings(), set, scale, 0);
  PaintPlot(window, set, scale);
  ASSERT_GE(window.Texts().size(), 7u);

  for (const auto& [units, altitude, speed] : {std::tuple{L"m", "Altitude [m]", "Velocity [km/h]"},
                                              std::tuple{L"ft", "Altitude [ft]", "Velocity [mph]"}}) {
    const auto run = RunTevtool({L"plot", file, L"-o", svg, L"--units", units});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out + run.err, "");
    const std::string picture = testing::ReadAll(svg);
    EXPECT_EQ(picture.rfind("<?xml", 0), 0u);
    EXPECT_NE(picture.find("width=\"1200\" height=\"800\""), std::string::npos);
    const bool metric = units == std::wstring(L"m");
    for (const std::wstring& text : window.Texts()) {
      // In feet the peak labels change their numbers and units, and only they.
      const bool peak = text.front() == L'(';
      EXPECT_EQ(picture.find(Xml(text)) != std::string::npos, metric || !peak) << WideToUtf8(text);
    }
    // "(6 s  A ft)" at the apogee, "(4 s  V mph)" at the peak velocity.
    const auto label = [&](const std::string& start, const std::string& unit) {
      const std::size_t from = picture.find(">(" + start + " s  ");
      if (from == std::string::npos) return std::nan("");
      const std::size_t number = from + start.size() + 5;
      std::size_t end = 0;
      const double value = std::stod(picture.substr(number), &end);
      return picture.compare(number + end, unit.size() + 9, " " + unit + ")</text>") == 0 ? value : std::nan("");
    };
    const tool::Units& chosen = metric ? tool::kMetric : tool::kImperial;
    const int top = IndexOfMaximum(set, set.altitudeAgl), fastest = IndexOfMaximum(set, set.velocity);
    EXPECT_NEAR(label(FormatReal(top / 10.0), chosen.altitudeUnit), chosen.Altitude(set.altitudeAgl[top]), 0.01)
        << picture;
    EXPECT_NEAR(label(FormatReal(fastest / 10.0), chosen.speedUnit), chosen.Speed(set.velocity[fastest]), 0.01);
    for (const std::string& text : {std::string(altitude), std::string(speed), std::string("Time [s]")})
      EXPECT_NE(picture.find(Xml(Utf8ToWide(text))), std::string::npos) << text;

    const std::string caption = "\u2068flight.tev\u2069, data set 1: apogee ";
    const std::size_t at = picture.find(">" + caption);
    ASSERT_NE(at, std::string::npos) << picture;
    const tool::Units& u = units == std::wstring(L"m") ? tool::kMetric : tool::kImperial;
    const double apogee = std::stod(picture.substr(at + 1 + caption.size()));
    EXPECT_NEAR(apogee, u.Altitude(flight.top), u.Altitude(flight.Step(flight.top)));
    EXPECT_NE(picture.find(std::string(" ") + u.altitudeUnit + " at 6.0 s</text>", at), std::string::npos);
  }
}

TEST(PlotPicture, ALongNameIsShortenedInsideThePictureWithTheWholeNameInATooltip) {
  const std::wstring name = L"launch-day-" + std::wstring(200, L'x') + L"-flight.tev";
  tool::PictureCurve curve{name, 0xFF0000FF, false, {{0, 1, 2}, {0, 50, 20}}};
  SvgCanvas canvas(800, 500);
  tool::DrawOverlayPicture(canvas, {&curve, 1}, tool::kMetric, name + L", the caption");
  const std::string svg = canvas.Document();
  const tool::PicturePanel panel = tool::PanelOf(800, 500);

  // Both the legend's label and the caption: shortened, each with its whole text as a tooltip.
  for (const std::wstring& whole : {name, name + L", the caption"}) {
    const std::string tooltip = "<title>" + WideToUtf8(whole) + "</title>";
    const std::size_t at = svg.find(tooltip);
    ASSERT_NE(at, std::string::npos) << WideToUtf8(whole);
    const std::size_t end = svg.find("</text>", at);
    const std::wstring shown = Utf8ToWide(svg.substr(at + tooltip.size(), end - at - tooltip.size()));
    EXPECT_NE(shown.find(L"\u2026"), std::wstring::npos) << WideToUtf8(shown);
    EXPECT_EQ(shown.substr(0, 7), whole.substr(0, 7));
    EXPECT_EQ(shown.substr(shown.size() - 5), whole.substr(whole.size() - 5));  // the end stays: ".tev" or "ption"
    EXPECT_LE(canvas.MeasureText(shown, 14, true).width, 800);
  }
  // The legend's box lies inside the panel.
  const std::size_t clip = svg.rfind("<clipPath");
  const std::size_t width = svg.find("width=\"", clip) + 7;
  EXPECT_LE(std::stoi(svg.substr(width)), panel.width) << svg.substr(clip, 200);
  const std::size_t translate = svg.find("translate(", clip) + 10;
  EXPECT_GE(std::stoi(svg.substr(translate)), panel.x);

  // A name that fits has no tooltip.
  curve.label = L"short.tev";
  SvgCanvas fits(800, 500);
  tool::DrawOverlayPicture(fits, {&curve, 1}, tool::kMetric, L"All flights");
  EXPECT_EQ(fits.Document().find("<title>"), std::string::npos);
}

TEST(PlotPicture, TicksFallOnRoundValues) {
  EXPECT_EQ(tool::TickValues(-37, 612, 8), (std::vector<double>{0, 100, 200, 300, 400, 500, 600}));
  EXPECT_EQ(tool::TickValues(612, -37, 8), tool::TickValues(-37, 612, 8));
  EXPECT_EQ(tool::TickValues(-0.5, 71.3, 10), (std::vector<double>{0, 10, 20, 30, 40, 50, 60, 70}));
  EXPECT_EQ(tool::TickValues(0.11, 0.19, 5), (std::vector<double>{0.12, 0.14, 0.16, 0.18}));
  EXPECT_TRUE(tool::TickValues(5, 5, 8).empty());
  EXPECT_TRUE(tool::TickValues(0, std::nan(""), 8).empty());
}

}  // namespace
}  // namespace tev
