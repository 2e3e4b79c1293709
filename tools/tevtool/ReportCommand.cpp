// tevtool report FILE.tev... [--sim SIM.csv] [--units m|ft] -o REPORT.html: every set of every
// file given, as one web page. A file that cannot be read is named on standard error and left
// out; the command fails only when no flight is left.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "model/ReplacingFile.h"
#include "model/WidePath.h"
#include "plot/PlotView.h"
#include "plot/SvgCanvas.h"
#include "tools/tevtool/CommandLine.h"
#include "tools/tevtool/FlightFile.h"
#include "tools/tevtool/FlightPicture.h"
#include "tools/tevtool/OutputCheck.h"
#include "tools/tevtool/ReportPage.h"

namespace tev::tool {
namespace {

constexpr char kUsage[] = "usage: tevtool report FILE.tev... [--sim SIM.csv] [--units m|ft] -o REPORT.html";
constexpr int kPlotWidth = 1200, kPlotHeight = 700;

// One colour a flight in the overlay, told apart from each other and from the simulation's black.
constexpr Argb kOverlayColours[] = {0xFFE41A1C, 0xFF377EB8, 0xFF4DAF4A, 0xFF984EA3, 0xFFFF7F00,
                                    0xFFA65628, 0xFFF781BF, 0xFF1B9E9E, 0xFF999933, 0xFF332288};

// The file's last change as a UTC date; empty when the system does not say.
std::optional<std::string> FileDate(const std::wstring& path) {
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(ToFsPath(path), ec);
  if (ec) return std::nullopt;
  const auto days = std::chrono::floor<std::chrono::days>(std::chrono::file_clock::to_sys(written));
  const std::chrono::year_month_day date(days);
  if (!date.ok()) return std::nullopt;
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()));
  return text;
}

// The flight's altitude from its launch on, for the overlay; empty when it never left the ground.
TimedCurve FromLaunch(const DataSet& data, const FlightFigures& figures) {
  TimedCurve curve;
  if (!figures.launchSeconds) return curve;
  for (std::size_t i = 0; i < data.altitudeAgl.size(); ++i) {
    const double t = i / 10.0 - *figures.launchSeconds;
    if (t < -1e-9) continue;
    curve.seconds.push_back(t);
    curve.metres.push_back(data.altitudeAgl[i]);
  }
  return curve;
}

std::wstring Wide(const std::string& text) { return Utf8ToWide(text); }

}  // namespace

int RunReport(const Args& args, std::ostream&, std::ostream& err) {
  const auto line = CommandLine::Parse(args, {{L"-o"}, kUnitsOption, {L"--sim"}}, CommandLine::kAnyNumber, kUsage, err);
  if (!line) return 1;
  const auto output = line->Value(L"-o");
  if (!output || line->Positionals().empty()) return Fail(err, kUsage);
  const auto simPath = line->Value(L"--sim");
  std::vector<std::wstring> inputs = line->Positionals();
  if (simPath) inputs.push_back(*simPath);
  if (!CheckOutput(*output, "a web page", inputs, err)) return 1;
  Report report;
  if (!line->ReadUnits(report.units, err)) return 1;
  const Units& units = report.units;
  // Asked for a comparison, the page is not made without it.
  std::optional<Simulation> sim;
  if (simPath && !LoadSimulation(*simPath, sim.emplace(), err)) return 1;
  if (sim) report.simulation = ReportSimulation{sim->name, ComputeSimulationFigures(*sim)};

  std::vector<PictureCurve> overlay;
  for (const std::wstring& path : line->Positionals()) {
    FlightFile flight;
    if (!LoadFlightFile(path, flight, err)) continue;
    const std::string name = DisplayName(path);
    if (flight.Sets() == 0) {
      Fail(err, Narrow(path) + " holds no flight");
      continue;
    }
    for (int set = 0; set < flight.Sets(); ++set) {
      DataSet data;
      PlotScale scale;
      PreparePlot(flight.file.packets, flight.used, data, scale, set);
      ReportFlight entry{name, set, FileDate(path), flight.usingDefaults,
                         ComputeFlightFigures(data, flight.used.adcOffset), {}};
      std::vector<PictureCurve> curves;
      if (sim) curves.push_back(SimulationCurve(*sim, entry.figures.launchSeconds.value_or(0)));

      const std::wstring caption = PictureCaption(name, data, units);
      SvgCanvas canvas(kPlotWidth, kPlotHeight);
      std::string prefix = "f";
      prefix += std::to_string(report.flights.size() + 1);
      canvas.SetIdPrefix(prefix += '-');
      canvas.SetTitle(Wide(name + ", set " + SetName(set)),
                      caption + L". Altitude in red and velocity in green against time" +
                          (sim ? L"; the simulation's altitude dashed in black from the flight's launch." : L"."));
      DrawFlightPicture(canvas, data, scale, units, caption, curves);
      entry.plot = canvas.Element();

      // A set that never left the ground has no curve, and no place in the legend.
      TimedCurve fromLaunch = FromLaunch(data, entry.figures);
      if (!fromLaunch.seconds.empty()) {
        const bool several = flight.Sets() > 1;
        overlay.push_back({Wide(several ? name + ", set " + SetName(set) : name),
                           kOverlayColours[report.flights.size() % std::size(kOverlayColours)], false,
                           std::move(fromLaunch)});
      }
      report.flights.push_back(std::move(entry));
    }
  }
  if (report.flights.empty()) return Fail(err, "no flight could be read: no report written");

  if (sim) overlay.push_back(SimulationCurve(*sim, 0));
  SvgCanvas canvas(kPlotWidth, kPlotHeight);
  canvas.SetIdPrefix("all-");
  canvas.SetTitle(L"All flights from launch",
                  L"The altitude of each flight against the time since its launch, one colour a flight" +
                      std::wstring(sim ? L", the simulation dashed in black." : L"."));
  DrawOverlayPicture(canvas, overlay, units, L"All flights from launch");
  report.overlay = canvas.Element();

  std::ostringstream page;
  WriteReportPage(page, report);
  ReplacingFile file(*output);
  if (!file.IsOpen() || !file.Write(page.str()) || !file.Commit()) return Fail(err, "cannot write " + Narrow(*output));
  return 0;
}

}  // namespace tev::tool
