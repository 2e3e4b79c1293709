#include "model/Conversions.h"

#include <cmath>

#include "model/Truncate.h"

namespace tev {

// Each formula keeps its order of operations: stored altitudes and exported files depend on
// the exact doubles they produce.

double AdcToVolts(double raw, double offset) {
  const double corrected = raw + offset;
  return corrected * kAdcReferenceVolts * kAdcStepFraction;
}

double PressureFromVolts(double volts) { return (volts / kAdcReferenceVolts + kSensorOffset) / kSensorSlope; }

double AdcToPressure(double raw, double offset) { return PressureFromVolts(AdcToVolts(raw, offset)); }

double AdcToAltitude(double raw, double offset) {
  const double pressure = AdcToPressure(raw, offset);
  return (1 - std::pow(pressure / kSeaLevelPressure, kPressureExponent)) * kAltitudeScale;
}

std::int32_t AltitudeToAdc(double altitudeMsl) {
  const double pressure = std::pow(1 - altitudeMsl / kAltitudeScale, kInverseExponent) * kSeaLevelPressure;
  const double fraction = pressure * kSensorSlope - kSensorOffset;
  const double volts = fraction * kAdcReferenceVolts;
  const double counts = volts * kAdcFullScale / kAdcReferenceVolts;
  // Above the top of the model atmosphere the power is undefined; never let that reach a cast.
  return TruncateToInt32(counts);
}

}  // namespace tev
