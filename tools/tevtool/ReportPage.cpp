#include "tools/tevtool/ReportPage.h"

#include <cmath>

#include "tools/tevtool/TextFormat.h"
#include "tools/tevtool/Tool.h"

namespace tev::tool {
namespace {

// Print: landscape pages, each flight's plot on a page of its own, no colour lost.
constexpr char kStyle[] = R"(
body{font-family:Arial,'Liberation Sans',Helvetica,sans-serif;color:#000;background:#fff;margin:1em auto;max-width:1240px;padding:0 1em}
h1{font-size:1.6em}h2{font-size:1.25em;margin-top:1.5em}
.scroll{overflow-x:auto;margin-bottom:1em}
table{border-collapse:collapse;font-size:.9em}
caption{text-align:left;font-weight:bold;padding:.3em 0}
th,td{border:1px solid #888;padding:.25em .5em}
thead th{background:#eee}
td{text-align:right;white-space:nowrap}
td.text,th[scope=row]{text-align:left;white-space:nowrap}
figure{margin:1em 0}
svg{display:block;max-width:100%;height:auto}
figcaption{font-size:.9em;margin-top:.3em}
.note{font-size:.9em}
@page{size:A4 landscape;margin:10mm}
@media print{body{max-width:none;margin:0;padding:0}.scroll{overflow:visible}table{font-size:8pt}
section,figure,table{break-inside:avoid}section.flight{break-before:page}
*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}
)";

std::string Figure(const std::optional<double>& value, const char* missing = "none") {
  return value ? Fixed(*value, 1) : missing;
}

std::optional<double> Seconds(const std::optional<Moment>& m) {
  return m ? std::optional(m->seconds) : std::nullopt;
}

std::optional<double> ValueOf(const std::optional<Moment>& m) { return m ? std::optional(m->value) : std::nullopt; }

std::optional<double> Difference(const std::optional<double>& from, const std::optional<double>& to) {
  return from && to ? std::optional(*to - *from) : std::nullopt;
}

template <class F>
std::optional<double> Convert(const std::optional<double>& value, F f) {
  return value ? std::optional(f(*value)) : std::nullopt;
}

class Table {
 public:
  // The caption is markup: it may hold a name in <bdi>.
  Table(std::ostream& out, const std::string& captionHtml, const std::vector<std::string>& headers) : out_(out) {
    out_ << "<div class=\"scroll\"><table>\n<caption>" << captionHtml << "</caption>\n<thead><tr>";
    for (const std::string& header : headers) out_ << "<th scope=\"col\">" << HtmlEscaped(header) << "</th>";
    out_ << "</tr></thead>\n<tbody>\n";
  }
  ~Table() { out_ << "</tbody>\n</table></div>\n"; }
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  // The row's first cell names it (markup: a name in <bdi>); the rest are figures unless marked as text.
  void Row(const std::string& nameHtml, const std::vector<std::string>& figures, std::size_t textCells = 0) {
    out_ << "<tr><th scope=\"row\">" << nameHtml << "</th>";
    for (std::size_t i = 0; i < figures.size(); ++i)
      out_ << (i < textCells ? "<td class=\"text\">" : "<td>") << HtmlEscaped(figures[i]) << "</td>";
    out_ << "</tr>\n";
  }

 private:
  std::ostream& out_;
};

// A file name set apart from the text around it, so that a right-to-left override in it turns
// only the name around.
std::string NameHtml(const std::string& name) { return "<bdi>" + HtmlEscaped(name) + "</bdi>"; }

std::string FlightName(const ReportFlight& flight) { return NameHtml(flight.file) + ", set " + SetName(flight.set); }

void WriteFiguresTable(std::ostream& out, const Report& report) {
  const Units& u = report.units;
  const std::string alt = u.altitudeUnit, rate = u.rateUnit;
  Table table(out, HtmlEscaped("Flight figures"),
              {"File", "Set", "Date", "Apogee [" + alt + "]", "Time to apogee [s]",
               std::string("Peak velocity [") + u.speedUnit + "]", "Burn-out [s]", "Descent rate [" + rate + "]",
               "Final descent rate [" + rate + "]", "Flight duration [s]", "Line A fired [s]", "Line B fired [s]"});
  for (const ReportFlight& flight : report.flights) {
    const FlightFigures& f = flight.figures;
    table.Row(NameHtml(flight.file) + (flight.defaultSettings ? " *" : ""),
              {SetName(flight.set), flight.date.value_or("unknown"),
               Figure(Convert(ValueOf(f.apogee), [&](double m) { return u.Altitude(m); })),
               Figure(Difference(f.launchSeconds, Seconds(f.apogee))),
               Figure(Convert(ValueOf(f.peakVelocity), [&](double v) { return u.Speed(v); })),
               Figure(Seconds(f.peakVelocity)), Figure(Convert(f.descentRate, [&](double v) { return u.Rate(v); })),
               Figure(Convert(f.finalDescentRate, [&](double v) { return u.Rate(v); })),
               Figure(Difference(f.launchSeconds, f.landingSeconds)), Figure(Seconds(f.lineA), "never"),
               Figure(Seconds(f.lineB), "never")},
              2);
  }
}

void WriteComparisonTable(std::ostream& out, const Report& report, const ReportSimulation& sim) {
  const Units& u = report.units;
  const std::string alt = u.altitudeUnit, rate = u.rateUnit, speed = u.speedUnit;
  const SimulationFigures& s = sim.figures;
  const bool velocity = s.peakVelocity.has_value();
  std::vector<std::string> headers{"Flight", "Apogee simulated [" + alt + "]", "Apogee flown [" + alt + "]",
                                   "Difference [%]", "Time to apogee simulated [s]", "Time to apogee flown [s]",
                                   "Descent rate simulated [" + rate + "]", "Descent rate flown [" + rate + "]"};
  if (velocity) {
    headers.push_back("Peak velocity simulated [" + speed + "]");
    headers.push_back("Peak velocity flown [" + speed + "]");
  }
  Table table(out, "Flights against the simulation " + NameHtml(sim.file), headers);
  const auto simApogee = ValueOf(s.apogee);
  for (const ReportFlight& flight : report.flights) {
    const FlightFigures& f = flight.figures;
    const auto flownApogee = ValueOf(f.apogee);
    std::string difference = "none";
    if (simApogee && flownApogee && *simApogee > 0) {
      const double percent = (*flownApogee - *simApogee) / *simApogee * 100;
      difference = Fixed(percent, 1);
      if (percent > 0 && difference != "0.0") difference.insert(difference.begin(), '+');
    }
    std::vector<std::string> cells{
        Figure(Convert(simApogee, [&](double m) { return u.Altitude(m); })),
        Figure(Convert(flownApogee, [&](double m) { return u.Altitude(m); })),
        difference,
        Figure(Difference(s.launchSeconds, Seconds(s.apogee))),
        Figure(Difference(f.launchSeconds, Seconds(f.apogee))),
        Figure(Convert(s.descentRate, [&](double v) { return u.Rate(v); })),
        Figure(Convert(f.descentRate, [&](double v) { return u.Rate(v); }))};
    if (velocity) {
      cells.push_back(Figure(Convert(ValueOf(s.peakVelocity), [&](double v) { return u.Speed(v); })));
      cells.push_back(Figure(Convert(ValueOf(f.peakVelocity), [&](double v) { return u.Speed(v); })));
    }
    table.Row(FlightName(flight), cells);
  }
}

}  // namespace

std::string HtmlEscaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

void WriteReportPage(std::ostream& out, const Report& report) {
  const Units& u = report.units;
  const std::size_t n = report.flights.size();
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>Flight report</title>\n<style>"
      << kStyle << "</style>\n</head>\n<body>\n<h1>Flight report</h1>\n<p>" << n << (n == 1 ? " flight" : " flights");
  if (report.simulation) out << ", compared with the simulation " << NameHtml(report.simulation->file);
  out << ". Altitudes in " << u.altitudeUnit << " above the ground, peak velocities in " << u.speedUnit
      << ", descent rates in " << u.rateUnit << "; times in seconds from the start of each recording unless said otherwise.</p>\n";

  WriteFiguresTable(out, report);
  bool anyDefaults = false;
  for (const ReportFlight& flight : report.flights) anyDefaults = anyDefaults || flight.defaultSettings;
  if (anyDefaults)
    out << "<p class=\"note\">* The file's settings checksum is invalid: its figures use the default settings.</p>\n";
  std::size_t grounded = 0;
  for (const ReportFlight& flight : report.flights) grounded += flight.plot.empty() ? 1 : 0;
  if (grounded > 0)
    out << "<p class=\"note\">" << grounded << (grounded == 1 ? " set" : " sets")
        << " never left the ground: a row in the table, no plot.</p>\n";
  if (report.simulation) WriteComparisonTable(out, report, *report.simulation);

  out << "<section>\n<h2>All flights from launch</h2>\n<figure>\n" << report.overlay
      << "<figcaption>Altitude of every flight against the time since its launch"
      << (report.simulation ? ", with the simulation dashed" : "") << ".</figcaption>\n</figure>\n</section>\n";
  for (const ReportFlight& flight : report.flights) {
    if (flight.plot.empty()) continue;
    out << "<section class=\"flight\">\n<h2>" << FlightName(flight) << "</h2>\n<figure>\n" << flight.plot
        << "<figcaption>" << FlightName(flight) << ": altitude (red) and velocity (green) against time"
        << (report.simulation ? ", the simulation dashed from the flight's launch" : "") << ".</figcaption>\n</figure>\n</section>\n";
  }
  out << "</body>\n</html>\n";
}

}  // namespace tev::tool
