// tevtool plot FILE.tev [SET] -o FLIGHT.svg [--units m|ft] [--size WxH]: the flight as the window
// draws it, with axes, scales and a caption, as an SVG picture.
#include "model/ReplacingFile.h"
#include "plot/PlotView.h"
#include "plot/SvgCanvas.h"
#include "tools/tevtool/FlightFile.h"
#include "tools/tevtool/FlightPicture.h"

namespace tev::tool {
namespace {

constexpr char kUsage[] = "usage: tevtool plot FILE.tev [SET] -o FLIGHT.svg [--units m|ft] [--size WxH]";

std::optional<int> ParseSide(const std::wstring& text) {
  const auto value = ParseSet(text);  // digits only, as a set number is
  if (!value || *value < kSmallestPicture || *value > kLargestPicture) return std::nullopt;
  return value;
}

bool ParseSize(const std::wstring& text, int& width, int& height) {
  const auto x = text.find_first_of(L"xX");
  if (x == std::wstring::npos) return false;
  const auto w = ParseSide(text.substr(0, x));
  const auto h = ParseSide(text.substr(x + 1));
  if (!w || !h) return false;
  width = *w;
  height = *h;
  return true;
}

}  // namespace

int RunPlot(const Args& args, std::ostream&, std::ostream& err) {
  std::optional<std::wstring> input, output, setText;
  Units units = kMetric;
  int width = kDefaultPictureWidth, height = kDefaultPictureHeight;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == L"-o") {
      if (!hasValue || output) return Fail(err, kUsage);
      output = args[++i];
    } else if (args[i] == L"--units") {
      const auto parsed = hasValue ? ParseUnits(args[++i]) : std::nullopt;
      if (!parsed) return Fail(err, "--units takes m or ft");
      units = *parsed;
    } else if (args[i] == L"--size") {
      if (!hasValue || !ParseSize(args[++i], width, height))
        return Fail(err, "--size takes WIDTHxHEIGHT in pixels, each from " + std::to_string(kSmallestPicture) +
                             " to " + std::to_string(kLargestPicture));
    } else if (!input) {
      input = args[i];
    } else if (!setText) {
      setText = args[i];
    } else {
      return Fail(err, kUsage);
    }
  }
  if (!input || !output) return Fail(err, kUsage);
  const auto set = setText ? ParseSet(*setText) : std::optional<int>(0);
  if (!set) return Fail(err, "not a set number: " + Narrow(*setText));

  FlightFile flight;
  if (!LoadFlightFile(*input, flight, err)) return 1;
  if (!CheckSetExists(flight, *set, err)) return 1;

  DataSet data;
  PlotScale scale;
  PreparePlot(flight.file.packets, flight.used, data, scale, *set);
  SvgCanvas canvas(width, height);
  DrawFlightPicture(canvas, data, scale, units, PictureCaption(DisplayName(*input), data, units));

  ReplacingFile file(*output);
  if (!file.IsOpen() || !file.Write(canvas.Document()) || !file.Commit())
    return Fail(err, "cannot write " + Narrow(*output));
  return 0;
}

}  // namespace tev::tool
