#pragma once
// A flight built from heights known at every sample, recorded as the altimeter would record them,
// so that each figure tevtool reports has a value known by construction.
//
// Boost at constant acceleration a for 3 s from t = 1 s, coast at -a for 2 s, so the one-second
// mean velocity peaks at burn-out (t = 4 s); apogee about 600 m up at t = 6 s, then a steady
// descent of about 10 m/s that lands at t = 66 s; 5 s on the ground. Line A is on for 1 s from
// apogee, Line B from t = 56 s.
//
// Each reading is the count whose altitude is the lowest one at or above the height. The ground
// sits exactly at a count's altitude, so the reading leaves the ground count the moment the rocket
// rises and comes back to it the moment it lands; the apogee sits just above a count's altitude,
// so its sample alone reads the top count. A reading is thus never more than one ADC step above
// the height it records.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/model/Flights.h"
#include "model/Conversions.h"
#include "model/DataFile.h"
#include "model/DeviceSettings.h"

namespace tev::testing {

struct BuiltFlight {
  static constexpr int kGroundCount = 820;
  static constexpr double kLiftoff = 1.0, kBurnout = 4.0, kApogee = 6.0, kLanding = 66.0, kEnd = 71.0;
  static constexpr double kLineAOn = 6.0, kLineBOn = 56.0;

  double groundMsl = 0;
  double top = 0;          // apogee above ground, m
  double acceleration = 0; // m/s², boost and coast alike
  double descent = 0;      // m/s, apogee to landing
  std::vector<int> readings;
  std::vector<int> flags;

  // Height above ground at time t.
  double Height(double t) const {
    const double a = acceleration;
    if (t <= kLiftoff || t >= kLanding) return 0;
    if (t <= kBurnout) return 0.5 * a * (t - kLiftoff) * (t - kLiftoff);
    if (t <= kApogee) {
      const double c = t - kBurnout, vb = a * (kBurnout - kLiftoff);
      return Height(kBurnout) + vb * c - 0.5 * a * c * c;
    }
    return top - descent * (t - kApogee);
  }

  // Altitude change over the second around t: what the window's velocity is meant to show.
  double SecondMean(double t) const { return Height(t + 0.5) - Height(t - 0.5); }

  // Metres in one ADC count at the height (the larger step above, to be safe).
  double Step(double height) const {
    const int c = Reading(height);
    return AdcToAltitude(c - 1, 0) - AdcToAltitude(c, 0);
  }

  int Reading(double height) const {
    const double msl = groundMsl + height;
    int c = AltitudeToAdc(msl);
    while (AdcToAltitude(c, 0) < msl) --c;
    while (AdcToAltitude(c + 1, 0) >= msl) ++c;
    return c;
  }

  BuiltFlight() {
    groundMsl = AdcToAltitude(kGroundCount, 0);
    // Just above the altitude of the count nearest 600 m above the ground.
    top = AdcToAltitude(AltitudeToAdc(groundMsl + 600), 0) + 0.3 - groundMsl;
    acceleration = top / 8.5;  // 4.5 a in the boost, 4 a in the coast
    descent = top / (kLanding - kApogee);
    const int n = static_cast<int>(std::lround(kEnd * 10)) + 1;
    for (int i = 0; i < n; ++i) {
      const double t = i / 10.0;
      readings.push_back(Reading(Height(t)));
      const bool lineA = t >= kLineAOn - 1e-9 && t < kLineAOn + 1 - 1e-9;
      const bool lineB = t >= kLineBOn - 1e-9 && t < kLineBOn + 1 - 1e-9;
      flags.push_back((lineA ? 2 : 0) | (lineB ? 1 : 0));
    }
  }

  PacketList Packets() const {
    PacketList packets;
    AppendFlight(packets, readings, flags);
    return packets;
  }
};

}  // namespace tev::testing
