#include "sim/SensorModel.h"

#include <cmath>

#include "model/Conversions.h"

namespace tev::sim {

double ReadingForAltitude(double metresMsl) {
  const double kpa = std::pow(1.0 - metresMsl / kAltitudeScale, kInverseExponent) * kSeaLevelPressure;
  return (kpa * kSensorSlope - kSensorOffset) * kAdcFullScale;
}

double AltitudeForReading(double counts) {
  const double kpa = (counts / kAdcFullScale + kSensorOffset) / kSensorSlope;
  return (1.0 - std::pow(kpa / kSeaLevelPressure, kPressureExponent)) * kAltitudeScale;
}

}  // namespace tev::sim
