// tevtool stats --json: one object a set, on one line. Keys carry their unit (apogee_m or
// apogee_ft), so a script cannot mistake one for the other; a figure the flight does not give,
// or one that is not a number, is null.
#include <cmath>
#include <string>

#include "model/NumberFormat.h"
#include "tools/tevtool/StatsReport.h"
#include "tools/tevtool/Tool.h"

namespace tev::tool {
namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      out += "\\u00" + FormatHex(u, 2);
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Number(double value) { return std::isfinite(value) ? FormatReal(value) : "null"; }
std::string Number(const std::optional<double>& value) { return value ? Number(*value) : "null"; }

// A unit as part of a key: km/h -> km_h, m/s -> m_s, ft/s -> ft_s.
std::string KeyUnit(const char* unit) {
  std::string key;
  for (const char* c = unit; *c; ++c)
    key += *c == '/' ? '_' : *c;
  return key;
}

class Object {
 public:
  void Add(const std::string& key, const std::string& json) {
    text_ += text_.empty() ? "{" : ",";
    text_ += Quoted(key) + ":" + json;
  }
  std::string Text() const { return (text_.empty() ? "{" : text_) + "}"; }

 private:
  std::string text_;
};

std::string LineJson(LineMode mode, std::uint16_t value, const std::optional<Moment>& on, const Units& units) {
  Object line;
  static const char* const kModes[] = {"Disabled", "Time", "Apogee", "Altitude"};
  const auto m = static_cast<unsigned>(mode);
  // The name is always a string, the number always a number, whatever the record holds.
  line.Add("mode", Quoted(m < 4 ? kModes[m] : "unknown"));
  line.Add("mode_code", std::to_string(m));
  line.Add("value", std::to_string(value));
  line.Add("value_unit", mode == LineMode::Time ? Quoted("0.1 s") : mode == LineMode::Altitude ? Quoted("m") : "null");
  line.Add("fired_s", on ? Number(on->seconds) : "null");
  line.Add(std::string("fired_altitude_") + units.altitudeUnit, on ? Number(units.Altitude(on->value)) : "null");
  return line.Text();
}

}  // namespace

void WriteStatsJson(std::ostream& out, const StatsSubject& subject, const FlightFigures& f, const Units& units) {
  const std::string alt = units.altitudeUnit;
  const std::string speed = KeyUnit(units.speedUnit);
  const std::string rate = KeyUnit(units.rateUnit);
  const auto opt = [](const std::optional<Moment>& m, auto pick) { return m ? Number(pick(*m)) : "null"; };
  const auto seconds = [](const Moment& m) { return m.seconds; };

  Object o;
  o.Add("file", Quoted(subject.file));
  o.Add("set", SetName(subject.set));
  o.Add("units", Quoted(units.name));
  o.Add("samples", std::to_string(f.samples));
  o.Add("samples_per_s", "10");
  o.Add("recording_s", Number(f.samples / 10.0));
  o.Add("apogee_" + alt, opt(f.apogee, [&](const Moment& m) { return units.Altitude(m.value); }));
  o.Add("apogee_s", opt(f.apogee, seconds));
  using Peak = std::pair<const char*, const std::optional<Moment>*>;
  for (const auto& [name, peak] : {Peak{"peak_velocity", &f.peakVelocity}, Peak{"smoothed_peak_velocity", &f.peakSmoothedVelocity}}) {
    o.Add(std::string(name) + "_" + speed, opt(*peak, [&](const Moment& m) { return units.Speed(m.value); }));
    o.Add(std::string(name) + "_" + rate, opt(*peak, [&](const Moment& m) { return units.Rate(m.value); }));
    o.Add(std::string(name) + "_s", opt(*peak, seconds));
  }
  o.Add("burnout_s", opt(f.peakVelocity, seconds));
  o.Add("ground_band_" + alt, Number(units.Altitude(f.groundBand)));
  o.Add("launch_s", Number(f.launchSeconds));
  o.Add("launch_to_apogee_s",
        f.launchSeconds && f.apogee ? Number(f.apogee->seconds - *f.launchSeconds) : "null");
  o.Add("landing_s", Number(f.landingSeconds));
  o.Add("flight_duration_s",
        f.launchSeconds && f.landingSeconds ? Number(*f.landingSeconds - *f.launchSeconds) : "null");
  o.Add("end_altitude_" + alt, f.endAltitude ? Number(units.Altitude(*f.endAltitude)) : "null");
  o.Add("descent_rate_" + rate, f.descentRate ? Number(units.Rate(*f.descentRate)) : "null");
  o.Add("final_descent_rate_" + rate, f.finalDescentRate ? Number(units.Rate(*f.finalDescentRate)) : "null");
  o.Add("final_descent_window_s", f.finalDescentRate ? Number(f.finalDescentSeconds) : "null");
  if (const DeviceSettings* s = subject.settings) {
    o.Add("line_a", LineJson(s->lineAMode, s->lineAValue, f.lineA, units));
    o.Add("line_b", LineJson(s->lineBMode, s->lineBValue, f.lineB, units));
    o.Add("inhibit_s", Number(s->inhibitTenths / 10.0));
    o.Add("adc_offset", std::to_string(s->adcOffset));
    o.Add("checksum", Quoted("0x" + FormatHex(static_cast<unsigned>(s->image[14] | (s->image[15] << 8)), 4)));
  }
  o.Add("checksum_valid", subject.checksumValid ? "true" : "false");
  o.Add("settings_used", Quoted(subject.checksumValid ? "file" : "defaults"));
  out << o.Text() << '\n';
}

}  // namespace tev::tool
