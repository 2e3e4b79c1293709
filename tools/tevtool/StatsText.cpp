// tevtool stats as text: one figure a line, labels and numbers in columns, a unit on every figure.
#include <algorithm>
#include <cmath>
#include <string>

#include "model/NumberFormat.h"
#include "tools/tevtool/StatsReport.h"
#include "tools/tevtool/TextFormat.h"
#include "tools/tevtool/Tool.h"

namespace tev::tool {
namespace {

class Rows {
 public:
  explicit Rows(std::ostream& out) : out_(out) {}
  // "  label      value unit   rest": values right-aligned, units in a column of their own.
  void Row(const std::string& label, const std::string& value, const std::string& unit = "",
           const std::string& rest = "") {
    std::string line = "  " + label;
    line.resize(kLabelWidth, ' ');
    line += std::string(value.size() < kValueWidth ? kValueWidth - value.size() : 0, ' ') + value;
    if (!unit.empty() || !rest.empty()) {
      std::string u = " " + unit;
      if (!rest.empty()) u.resize(std::max(u.size() + 1, kUnitWidth), ' ');
      line += u + rest;
    }
    End(line);
  }
  // A row whose value is words, not a number: it starts where the values start.
  void TextRow(const std::string& label, const std::string& text) {
    std::string line = "  " + label;
    line.resize(kLabelWidth, ' ');
    End(line + text);
  }

 private:
  void End(std::string line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out_ << line << '\n';
  }

  static constexpr std::size_t kLabelWidth = 22;
  static constexpr std::size_t kValueWidth = 8;
  static constexpr std::size_t kUnitWidth = 9;
  std::ostream& out_;
};

std::string At(double seconds) { return "at " + Fixed(seconds, 1) + " s"; }

std::string LineSetting(LineMode mode, std::uint16_t value, const Units& units) {
  switch (mode) {
    case LineMode::Disabled: return "Disabled";
    case LineMode::Apogee: return "Apogee";
    case LineMode::Time: return "Time, " + Fixed(value / 10.0, 1) + " s";
    case LineMode::Altitude: {
      std::string text = "Altitude, " + std::to_string(value) + " m";
      if (units.perMetre != 1.0) text += " (" + Fixed(units.Altitude(value), 0) + " " + units.altitudeUnit + ")";
      return text;
    }
  }
  return "unknown mode " + std::to_string(static_cast<unsigned>(mode));
}

}  // namespace

void WriteStatsText(std::ostream& out, const StatsSubject& subject, const FlightFigures& f, const Units& units) {
  Rows rows(out);
  out << subject.file << ", set " << SetName(subject.set) << '\n';
  rows.Row("recorded", std::to_string(f.samples), "samples", "(10 per second, " + Fixed(f.samples / 10.0, 1) + " s)");

  const std::string alt = units.altitudeUnit;
  if (f.apogee) rows.Row("apogee", Fixed(units.Altitude(f.apogee->value), 1), alt, At(f.apogee->seconds));
  else rows.TextRow("apogee", "none");
  const auto speed = [&](const char* label, const std::optional<Moment>& peak) {
    if (!peak) return rows.TextRow(label, "none");
    rows.Row(label, Fixed(units.Speed(peak->value), 1), units.speedUnit,
             Fixed(units.Rate(peak->value), 1) + " " + units.rateUnit + " " + At(peak->seconds));
  };
  speed("peak velocity", f.peakVelocity);
  speed("smoothed peak", f.peakSmoothedVelocity);
  if (f.peakVelocity) rows.Row("burn-out", Fixed(f.peakVelocity->seconds, 1), "s");

  if (!f.launchSeconds) {
    rows.TextRow("launch", "none: the altitude never rose " + Fixed(units.Altitude(f.groundBand), 1) + " " + alt + " above the ground");
  } else {
    rows.Row("launch", Fixed(*f.launchSeconds, 1), "s");
    if (f.apogee) rows.Row("launch to apogee", Fixed(f.apogee->seconds - *f.launchSeconds, 1), "s");
    if (f.landingSeconds) {
      rows.Row("landing", Fixed(*f.landingSeconds, 1), "s");
      rows.Row("flight duration", Fixed(*f.landingSeconds - *f.launchSeconds, 1), "s");
      rows.Row("descent rate", Fixed(units.Rate(*f.descentRate), 1), units.rateUnit, "mean, apogee to landing");
      rows.Row("final descent rate", Fixed(units.Rate(*f.finalDescentRate), 1), units.rateUnit,
               "mean, last " + Fixed(f.finalDescentSeconds, 1) + " s before landing");
    } else {
      rows.TextRow("landing", "none: the recording ends " + Fixed(units.Altitude(f.endAltitude.value_or(NAN)), 1) + " " + alt +
                   " above the ground");
    }
  }
  const auto fired = [&](const char* label, const std::optional<Moment>& on) {
    if (!on) return rows.TextRow(label, "never");
    rows.Row(label, Fixed(on->seconds, 1), "s", "at " + Fixed(units.Altitude(on->value), 1) + " " + alt);
  };
  fired("line A fired", f.lineA);
  fired("line B fired", f.lineB);

  if (const DeviceSettings* s = subject.settings) {
    rows.TextRow("line A setting", LineSetting(s->lineAMode, s->lineAValue, units));
    rows.TextRow("line B setting", LineSetting(s->lineBMode, s->lineBValue, units));
    rows.Row("inhibit", Fixed(s->inhibitTenths / 10.0, 1), "s");
    rows.Row("ADC offset", std::to_string(s->adcOffset), "counts");
    rows.TextRow("settings checksum", "0x" + FormatHex(static_cast<unsigned>(s->image[14] | (s->image[15] << 8)), 4) +
                                          (subject.checksumValid ? " valid" : " invalid: the figures use the default settings"));
  }
}

}  // namespace tev::tool
