#pragma once
// The units stats and plot speak in: metres, km/h and m/s, or feet, mph and ft/s. Figures are
// computed in metres and m/s and converted only where they are shown.
#include <optional>
#include <string>

namespace tev::tool {

struct Units {
  const char* name;           // as given to --units
  const char* altitudeUnit;   // m or ft
  double perMetre;            // altitude units in a metre
  const char* speedUnit;      // km/h or mph: what fliers quote for top speed
  double speedPerMetreSecond;
  const char* rateUnit;       // m/s or ft/s: vertical speeds and descent rates
  double ratePerMetreSecond;

  double Altitude(double metres) const { return metres * perMetre; }
  double Speed(double metresPerSecond) const { return metresPerSecond * speedPerMetreSecond; }
  double Rate(double metresPerSecond) const { return metresPerSecond * ratePerMetreSecond; }
};

inline constexpr Units kMetric{"m", "m", 1.0, "km/h", 3.6, "m/s", 1.0};
inline constexpr Units kImperial{"ft", "ft", 1.0 / 0.3048, "mph", 3600.0 / 1609.344, "ft/s", 1.0 / 0.3048};

// m or ft; empty for anything else.
std::optional<Units> ParseUnits(const std::wstring& text);

}  // namespace tev::tool
