#pragma once
// The fixed chain from a raw 10-bit ADC reading to volts, kPa and altitude above sea level,
// and back from an altitude to an ADC count for calibration.
#include <cstdint>

namespace tev {

inline constexpr double kAdcReferenceVolts = 5.0;
inline constexpr double kAdcStepFraction = 0.0009765625;
inline constexpr double kAdcFullScale = 1024.0;
inline constexpr double kSensorOffset = 0.095;
inline constexpr double kSensorSlope = 0.009;
inline constexpr double kSeaLevelPressure = 101.325;
inline constexpr double kAltitudeScale = 44330.321;
inline constexpr double kPressureExponent = 0.190263;
inline constexpr double kInverseExponent = 5.255882646652266;
inline constexpr double kMetresPerSecondToKmh = 3.6;

double AdcToVolts(double raw, double offset);
double AdcToPressure(double raw, double offset);
double AdcToAltitude(double raw, double offset);
std::int32_t AltitudeToAdc(double altitudeMsl);
double PressureFromVolts(double volts);

}  // namespace tev
