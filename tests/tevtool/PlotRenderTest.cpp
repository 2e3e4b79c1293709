// tevtool plot's pictures through a real renderer (rsvg-convert, read back with ImageMagick's
// convert; tools/scripts/install-deps.sh installs both): they render without error, and their
// pixels show the axes, the altitude curve's top and the ground line where the window's recording
// canvas puts them. The sample flights' pictures are kept under build/ for people to look at.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "model/DataFile.h"
#include "plot/PlotMapping.h"
#include "plot/PlotView.h"
#include "plot/RecordingCanvas.h"
#include "tests/tevtool/BuiltFlight.h"
#include "tests/support/ToolRun.h"
#include "tools/tevtool/FlightPicture.h"

namespace tev {
namespace {

using testing::BuiltFlight;
using testing::RunTevtool;

struct Rgb {
  int r, g, b;
};

class Image {
 public:
  bool Read(const std::filesystem::path& ppm) {
    std::ifstream in(ppm, std::ios::binary);
    std::string magic;
    int depth = 0;
    in >> magic >> width_ >> height_ >> depth;
    in.get();
    if (magic != "P6" || depth != 255 || width_ <= 0 || height_ <= 0) return false;
    pixels_.resize(static_cast<std::size_t>(width_) * height_ * 3);
    in.read(reinterpret_cast<char*>(pixels_.data()), static_cast<std::streamsize>(pixels_.size()));
    return static_cast<bool>(in);
  }
  int Width() const { return width_; }
  int Height() const { return height_; }
  Rgb At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {-1, -1, -1};
    const std::size_t at = (static_cast<std::size_t>(y) * width_ + x) * 3;
    return {pixels_[at], pixels_[at + 1], pixels_[at + 2]};
  }

 private:
  int width_ = 0, height_ = 0;
  std::vector<std::uint8_t> pixels_;
};

bool IsRed(Rgb p) { return p.r > 200 && p.g < 70 && p.b < 70; }
bool IsBlue(Rgb p) { return p.b > 200 && p.r < 70 && p.g < 70; }
bool IsInk(Rgb p) { return p.r >= 0 && p.r < 90 && p.g < 90 && p.b < 90; }
bool IsPaper(Rgb p) { return p.r > 230 && p.g > 230 && p.b > 230; }
std::string Shown(Rgb p) {
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// SVG to PNG with the renderer, and the PNG's pixels read back; false when either step fails.
bool Render(const std::filesystem::path& svg, const std::filesystem::path& png, Image* image = nullptr) {
  if (std::system(("rsvg-convert -o " + Quoted(png) + " " + Quoted(svg)).c_str()) != 0) return false;
  if (!image) return std::filesystem::exists(png);
  std::filesystem::path ppm = png;
  ppm.replace_extension(".ppm");
  if (std::system(("convert " + Quoted(png) + " -background white -alpha remove -depth 8 " + Quoted(ppm)).c_str()) != 0)
    return false;
  const bool read = image->Read(ppm);
  std::filesystem::remove(ppm);
  return read;
}

class PlotRender : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(std::system("rsvg-convert --version >/dev/null 2>&1"), 0)
        << "rsvg-convert is missing: tools/scripts/install-deps.sh installs it (librsvg2-bin)";
  }
  QuietLog quiet_;
  testing::TempDir dir_;
};

TEST_F(PlotRender, PixelsShowTheAxesApogeeAndGroundWhereTheWindowPutsThem) {
  const BuiltFlight flight;
  const PacketList packets = flight.Packets();
  const std::wstring file = testing::SaveFlight(dir_, L"flight.tev", packets, DeviceSettings());
  const int width = 900, height = 600;

  // The window's painters on the recording canvas, at the size of the picture's panel.
  const tool::PicturePanel panel = tool::PanelOf(width, height);
  RecordingCanvas window(panel.width, panel.height);
  DataSet set;
  PlotScale scale;
  scale.width = panel.width;
  scale.height = panel.height;
  PreparePlot(packets, DeviceSettings(), set, scale, 0);
  PaintPlot(window, set, scale);

  int ground = -1;
  for (const CanvasOp& op : window.OpsOf(CanvasOp::Kind::Line))
    if (op.color == 0xFF0000FF && op.penWidth == 3 && op.x1 == 0 && op.x2 == panel.width) ground = op.y1;
  ASSERT_GE(ground, 0);
  // The apogee's sample, where the window puts its dot.
  const std::size_t apogee = static_cast<std::size_t>(BuiltFlight::kApogee * 10);
  const int topX = panel.x + *MapX(scale, apogee / 10.0), topY = panel.y + *MapY(scale, set.altitudeAgl[apogee]);
  const auto dots = window.OpsOf(CanvasOp::Kind::Ellipse);
  EXPECT_TRUE(std::any_of(dots.begin(), dots.end(), [&](const CanvasOp& dot) {
    return dot.x1 + 2 == topX - panel.x && dot.y1 + 2 == topY - panel.y;
  }));
  const int groundY = panel.y + ground;
  const int bottom = panel.y + panel.height;

  for (const auto& [units, tickValue] : {std::pair{tool::kMetric, 200.0}, std::pair{tool::kImperial, 1000.0}}) {
    const std::string name = std::string("flight-") + units.name;
    const std::wstring svg = dir_.File(Utf8ToWide(name + ".svg"));
    const auto run = RunTevtool({L"plot", file, L"-o", svg, L"--size", L"900x600", L"--units", Utf8ToWide(units.name)});
    ASSERT_EQ(run.status, 0) << run.err;
    Image image;
    ASSERT_TRUE(Render(ToFsPath(svg), dir_.Path() / (name + ".png"), &image));
    ASSERT_EQ(image.Width(), width);
    ASSERT_EQ(image.Height(), height);
    SCOPED_TRACE(units.name);

    // The top of the red altitude curve, and nothing red just above it.
    EXPECT_TRUE(IsRed(image.At(topX, topY))) << Shown(image.At(topX, topY));
    EXPECT_FALSE(IsRed(image.At(topX, topY - 6))) << Shown(image.At(topX, topY - 6));

    // The blue ground line, 3 pixels thick, half way along the flight.
    const int midX = panel.x + *MapX(scale, 30.0);
    EXPECT_TRUE(IsBlue(image.At(midX, groundY))) << Shown(image.At(midX, groundY));
    EXPECT_FALSE(IsBlue(image.At(midX, groundY - 4)));
    EXPECT_FALSE(IsBlue(image.At(midX, groundY + 4)));

    // The frame, and the zero ticks of both scales level with the ground line.
    EXPECT_TRUE(IsInk(image.At(panel.x, panel.y + panel.height / 3)));
    EXPECT_TRUE(IsInk(image.At(panel.x + panel.width, panel.y + panel.height / 3)));
    EXPECT_TRUE(IsInk(image.At(panel.x - 4, groundY))) << Shown(image.At(panel.x - 4, groundY));
    EXPECT_TRUE(IsInk(image.At(panel.x + panel.width + 4, groundY)));
    EXPECT_TRUE(IsPaper(image.At(panel.x - 4, groundY - 6)));

    // An altitude tick in the chosen unit, where the mapping puts that height.
    const int tickY = panel.y + *MapY(scale, tickValue / units.perMetre);
    EXPECT_TRUE(IsInk(image.At(panel.x - 4, tickY))) << Shown(image.At(panel.x - 4, tickY));
    EXPECT_TRUE(IsPaper(image.At(panel.x - 4, tickY - 6)));
    EXPECT_TRUE(IsPaper(image.At(panel.x - 4, tickY + 6)));

    // Time ticks at launch-time zero and at 10 s, below the panel.
    for (const double t : {0.0, 10.0}) {
      const int x = panel.x + *MapX(scale, t);
      EXPECT_TRUE(IsInk(image.At(x, bottom + 4))) << t;
      EXPECT_TRUE(IsPaper(image.At(x + 6, bottom + 4))) << t;
    }
  }
}

TEST_F(PlotRender, FlightsWithLittleToDrawStillRender) {
  PacketList one, still, undefined;
  testing::AppendFlight(one, {BuiltFlight::kGroundCount});
  testing::AppendFlight(still, std::vector<int>(80, BuiltFlight::kGroundCount));
  testing::AppendFlight(undefined, {10, 10, 10, 500, 500, 500, 500, 500, 500, 500, 500, 500});
  DeviceSettings offset;
  offset.adcOffset = -128;
  offset.Pack();
  for (const auto& [name, packets, settings] :
       {std::tuple{"one", one, DeviceSettings()}, std::tuple{"still", still, DeviceSettings()},
        std::tuple{"undefined", undefined, offset}}) {
    const std::wstring file = testing::SaveFlight(dir_, Utf8ToWide(std::string(name) + ".tev"), packets, settings);
    const std::wstring svg = dir_.File(Utf8ToWide(std::string(name) + ".svg"));
    const auto run = RunTevtool({L"plot", file, L"-o", svg});
    ASSERT_EQ(run.status, 0) << name << ": " << run.err;
    EXPECT_TRUE(Render(ToFsPath(svg), dir_.Path() / (std::string(name) + ".png"))) << name;
  }
}

TEST_F(PlotRender, SampleFlightsForPeopleToLookAt) {
  const std::filesystem::path pictures = TEV_PICTURES_DIR;
  std::filesystem::create_directories(pictures);
  int rendered = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TEV_SAMPLES_DIR)) {
    if (entry.path().extension() != ".tev") continue;
    const std::string stem = entry.path().stem().string();
    for (const char* units : {"m", "ft"}) {
      const std::filesystem::path svg = pictures / (stem + (units == std::string("m") ? "" : "-ft") + ".svg");
      const auto run = RunTevtool({L"plot", Utf8ToWide(entry.path().string()), L"-o", Utf8ToWide(svg.string()),
                                   L"--units", Utf8ToWide(units)});
      ASSERT_EQ(run.status, 0) << stem << ": " << run.err;
      Image image;
      ASSERT_TRUE(Render(svg, std::filesystem::path(svg).replace_extension(".png"), &image)) << stem;
      EXPECT_EQ(image.Width(), tool::kDefaultPictureWidth);
      ++rendered;
    }
  }
  EXPECT_EQ(rendered, 8);
}

}  // namespace
}  // namespace tev
