// tevtool plot FILE.tev [SET] -o FLIGHT.svg [--units m|ft] [--size WxH] [--sim SIM.csv]: the flight
// as the window draws it, with axes, scales and a caption, as an SVG picture; with --sim, a
// simulation's altitude over it from the flight's launch.
#include "model/ReplacingFile.h"
#include "model/UnsignedNumber.h"
#include "plot/SvgCanvas.h"
#include "tools/tevtool/CommandLine.h"
#include "tools/tevtool/FlightFigures.h"
#include "tools/tevtool/FlightFile.h"
#include "tools/tevtool/FlightPicture.h"
#include "tools/tevtool/OutputCheck.h"
#include "tools/tevtool/SetPicture.h"
#include "tools/tevtool/SimulationFigures.h"

namespace tev::tool {
namespace {

constexpr char kUsage[] = "usage: tevtool plot FILE.tev [SET] -o FLIGHT.svg [--units m|ft] [--size WxH] [--sim SIM.csv]";

std::optional<int> ParseSide(const std::wstring& text) {
  const auto value = ReadUnsigned(text, kLargestPicture);
  if (!value || *value < kSmallestPicture) return std::nullopt;
  return static_cast<int>(*value);
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
  const std::string sizeProblem = "--size takes WIDTHxHEIGHT in pixels, each from " + std::to_string(kSmallestPicture) +
                                  " to " + std::to_string(kLargestPicture);
  const auto line = CommandLine::Parse(args, {{L"-o"}, kUnitsOption, {L"--size", true, sizeProblem.c_str()}, {L"--sim"}},
                                       2, kUsage, err);
  if (!line) return 1;
  const std::wstring* input = line->Positional(0);
  const auto output = line->Value(L"-o");
  if (!input || !output) return Fail(err, kUsage);
  Units units;
  std::optional<int> set;
  if (!line->ReadUnits(units, err) || !ReadSetNumber(line->Positional(1), 0, set, err)) return 1;
  int width = kDefaultPictureWidth, height = kDefaultPictureHeight;
  if (const auto size = line->Value(L"--size"); size && !ParseSize(*size, width, height)) return Fail(err, sizeProblem);
  const auto simPath = line->Value(L"--sim");
  std::vector<std::wstring> inputs{*input};
  if (simPath) inputs.push_back(*simPath);
  if (!CheckOutput(*output, "an SVG picture", inputs, err)) return 1;

  FlightFile flight;
  if (!LoadFlightFile(*input, flight, err)) return 1;
  if (!CheckSetExists(flight, *set, err)) return 1;
  std::optional<Simulation> sim;
  if (simPath && !LoadSimulation(*simPath, sim.emplace(), err)) return 1;

  const DataSet data = flight.Build(*set);
  std::optional<double> launchSeconds;
  if (sim) launchSeconds = ComputeFlightFigures(data, flight.used.adcOffset).launchSeconds;
  SvgCanvas canvas(width, height);
  DrawSetPicture(canvas, data, units, PictureCaption(DisplayName(*input), data, units), sim ? &*sim : nullptr,
                 launchSeconds);

  ReplacingFile file(*output);
  if (!file.IsOpen() || !file.Write(canvas.Document()) || !file.Commit())
    return Fail(err, "cannot write " + Narrow(*output));
  return 0;
}

}  // namespace tev::tool
