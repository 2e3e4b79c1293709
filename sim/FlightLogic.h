#pragma once
// The simulated altimeter's flight logic, run on one pressure reading every 0.1 s: launch and
// apogee detection, the two ejection lines by their modes, and the end of the flight. The recorder
// of the sample flights and the launch emulation share it, so both behave as one device.
#include <cstdint>
#include <deque>
#include <vector>

#include "model/DeviceSettings.h"

namespace tev::sim {

// Reply codes the device sends for its flight events.
inline constexpr std::uint8_t kEventLaunch = 14;
inline constexpr std::uint8_t kEventLineA = 15;
inline constexpr std::uint8_t kEventLineB = 16;
inline constexpr std::uint8_t kEventApogee = 17;  // value: slope in m/s over the last second
inline constexpr std::uint8_t kEventEndOfLaunch = 19;

struct FlightEvent {
  std::uint8_t code;
  std::uint16_t value;
  bool operator==(const FlightEvent&) const = default;
};

// What the logic needs from the 16-byte settings block, unpacked by the device itself.
struct FlightSettings {
  LineMode lineAMode = LineMode::Apogee;
  LineMode lineBMode = LineMode::Altitude;
  std::uint16_t lineAValue = 150;
  std::uint16_t lineBValue = 150;
  std::uint16_t inhibitTenths = 20;
  std::int32_t adcOffset = 0;
  std::uint16_t maxReadings = 992;

  static FlightSettings FromImage(const SettingsImage& image);
};

class FlightLogic {
 public:
  // Our choices: launch is a reading 3 counts (about 25 m) under the ground average twice running;
  // apogee is the 4-sample average 1 count above its lowest point, once the inhibit time and the
  // first second have passed; a fired line stays on for 1 s; the flight ends when, after apogee
  // and below 60 m, the average has stayed within 1 count for 3 s, or after maxReadings samples.
  static constexpr int kLaunchCounts = 3;
  static constexpr int kLineOnTenths = 10;
  static constexpr int kSettleTenths = 30;
  static constexpr double kLandedBelowMetres = 60;

  explicit FlightLogic(const FlightSettings& settings) : settings_(settings) {}

  // One reading (10-bit counts, before the calibration offset); returns the events it caused.
  std::vector<FlightEvent> Feed(int reading);

  bool Launched() const { return launched_; }
  bool Ended() const { return ended_; }
  bool LineAOn() const { return lineAOnUntil_ > tenths_; }
  bool LineBOn() const { return lineBOnUntil_ > tenths_; }
  // Tenths of a second since launch (the sample that detected it is 0).
  int TenthsSinceLaunch() const { return tenths_; }

 private:
  double AltitudeAgl(double counts) const;
  void FireDue(std::vector<FlightEvent>& events);

  FlightSettings settings_;
  std::deque<double> history_;  // corrected readings, newest last
  std::deque<double> groundSamples_;
  std::deque<double> averages_;  // 4-sample averages since launch, newest last
  double ground_ = 0;
  int belowGround_ = 0;
  bool launched_ = false, apogee_ = false, ended_ = false;
  int tenths_ = -1;
  double lowestAverage_ = 0;
  bool settled_ = false;
  int lineAOnUntil_ = 0, lineBOnUntil_ = 0;
  bool lineAFired_ = false, lineBFired_ = false;
};

}  // namespace tev::sim
