#include "tools/tevtool/ReportBuilder.h"

#include <cstdio>
#include <sstream>

#include "model/WidePath.h"
#include "plot/SvgCanvas.h"
#include "tools/tevtool/SetPicture.h"
#include "tools/tevtool/SimulationFigures.h"
#include "tools/tevtool/TextFormat.h"
#include "tools/tevtool/Tool.h"

namespace tev::tool {
namespace {

constexpr int kPlotWidth = 1200, kPlotHeight = 700;

// One colour a flight in the overlay, told apart from each other and from the simulation's black.
constexpr Argb kOverlayColours[] = {0xFFE41A1C, 0xFF377EB8, 0xFF4DAF4A, 0xFF984EA3, 0xFFFF7F00,
                                    0xFFA65628, 0xFFF781BF, 0xFF1B9E9E, 0xFF999933, 0xFF332288};

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

ReportBuilder::ReportBuilder(const Units& units, std::optional<Simulation> simulation)
    : simulation_(std::move(simulation)) {
  report_.units = units;
  if (simulation_) report_.simulation = ReportSimulation{simulation_->name, ComputeSimulationFigures(*simulation_)};
}

void ReportBuilder::AddFlights(const FlightFile& flight, const std::string& name, std::optional<std::string> date) {
  const Units& units = report_.units;
  const bool several = flight.Sets() > 1;
  for (int set = 0; set < flight.Sets(); ++set) {
    const DataSet data = flight.Build(set);
    ReportFlight entry{name, set, date, flight.usingDefaults, ComputeFlightFigures(data, flight.used.adcOffset), {}};

    // A set that never left the ground has its row, but no plot and no curve in the overlay: a
    // file may hold thousands of them.
    TimedCurve fromLaunch = FromLaunch(data, entry.figures);
    if (!fromLaunch.seconds.empty()) {
      const std::wstring caption = PictureCaption(name, data, units);
      SvgCanvas canvas(kPlotWidth, kPlotHeight);
      std::string prefix = "f";  // built up piece by piece: "f" + std::string trips GCC 12's -Wrestrict
      prefix += std::to_string(report_.flights.size() + 1);
      canvas.SetIdPrefix(prefix += '-');
      canvas.SetTitle(Wide(Isolated(name) + ", set " + SetName(set)),
                      caption + L". Altitude in red and velocity in green against time" +
                          (simulation_ ? L"; the simulation's altitude dashed in black from the flight's launch." : L"."));
      DrawSetPicture(canvas, data, units, caption, simulation_ ? &*simulation_ : nullptr, entry.figures.launchSeconds);
      entry.plot = canvas.Element();

      overlay_.push_back({Wide(Isolated(name) + (several ? ", set " + SetName(set) : "")),
                          kOverlayColours[report_.flights.size() % std::size(kOverlayColours)], false,
                          std::move(fromLaunch)});
    }
    report_.flights.push_back(std::move(entry));
  }
}

std::string ReportBuilder::Page() {
  std::vector<PictureCurve> overlay = overlay_;
  if (simulation_) overlay.push_back(SimulationCurve(*simulation_, 0));
  SvgCanvas canvas(kPlotWidth, kPlotHeight);
  canvas.SetIdPrefix("all-");
  canvas.SetTitle(L"All flights from launch",
                  L"The altitude of each flight against the time since its launch, one colour a flight" +
                      std::wstring(simulation_ ? L", the simulation dashed in black." : L"."));
  DrawOverlayPicture(canvas, overlay, report_.units, L"All flights from launch");
  report_.overlay = canvas.Element();

  std::ostringstream page;
  WriteReportPage(page, report_);
  return page.str();
}

std::optional<std::string> MakeReport(const std::vector<ReportInput>& inputs,
                                      const std::optional<std::wstring>& simulationPath, const Units& units,
                                      std::ostream& err) {
  // Asked for a comparison, the page is not made without it.
  std::optional<Simulation> sim;
  if (simulationPath && !LoadSimulation(*simulationPath, sim.emplace(), err)) return std::nullopt;

  ReportBuilder report(units, std::move(sim));
  for (const ReportInput& input : inputs) {
    FlightFile flight;
    if (!LoadFlightFile(input.path, flight, err)) continue;  // a file without a flight included
    report.AddFlights(flight, DisplayName(input.path), input.written ? UtcDate(*input.written) : std::nullopt);
  }
  if (report.Empty()) return Fail(err, "no flight could be read: no report written"), std::nullopt;
  return report.Page();
}

std::optional<std::string> UtcDate(std::chrono::sys_seconds time) {
  const std::chrono::year_month_day date(std::chrono::floor<std::chrono::days>(time));
  if (!date.ok()) return std::nullopt;
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()));
  return text;
}

}  // namespace tev::tool
