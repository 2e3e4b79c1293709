#pragma once
// The simulated altimeter's pressure sensor and 10-bit ADC: altitude in a standard atmosphere to
// the reading the device would take, and back. The same constants as the host's conversions, so a
// recorded flight converts back to the altitude it was flown at.
namespace tev::sim {

// Fractional ADC counts (no offset) for an altitude above sea level in metres.
double ReadingForAltitude(double metresMsl);
// Altitude above sea level in metres for fractional ADC counts.
double AltitudeForReading(double counts);

}  // namespace tev::sim
