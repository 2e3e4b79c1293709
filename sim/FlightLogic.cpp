#include "sim/FlightLogic.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "sim/SensorModel.h"

namespace tev::sim {

FlightSettings FlightSettings::FromImage(const SettingsImage& image) {
  auto word = [&](int at) { return static_cast<std::uint16_t>(image[at] | (image[at + 1] << 8)); };
  FlightSettings s;
  s.maxReadings = word(0);
  s.inhibitTenths = word(5);
  s.adcOffset = static_cast<std::int8_t>(image[8]);
  s.lineAMode = static_cast<LineMode>(image[9] & 0x0F);
  s.lineBMode = static_cast<LineMode>(image[9] >> 4);
  s.lineAValue = word(10);
  s.lineBValue = word(12);
  return s;
}

double FlightLogic::AltitudeAgl(double counts) const {
  return AltitudeForReading(counts) - AltitudeForReading(ground_);
}

std::vector<FlightEvent> FlightLogic::Feed(int reading) {
  std::vector<FlightEvent> events;
  if (ended_) return events;
  const double corrected = reading + settings_.adcOffset;
  history_.push_back(corrected);
  if (history_.size() > 10) history_.pop_front();

  if (!launched_) {
    // The ground is the average of recent readings near it, so a rocket already climbing when
    // launch is recognised does not drag the ground up with it.
    if (groundSamples_.empty()) groundSamples_.push_back(corrected);
    ground_ = std::accumulate(groundSamples_.begin(), groundSamples_.end(), 0.0) / groundSamples_.size();
    belowGround_ = corrected <= ground_ - kLaunchCounts ? belowGround_ + 1 : 0;
    if (corrected > ground_ - 1.5) {
      groundSamples_.push_back(corrected);
      if (groundSamples_.size() > 10) groundSamples_.pop_front();
    }
    if (belowGround_ < 2) return events;
    launched_ = true;
    tenths_ = 0;
    lowestAverage_ = corrected;
    events.push_back({kEventLaunch, 0});
  } else {
    ++tenths_;
  }

  const std::size_t n = std::min<std::size_t>(4, history_.size());
  const double average = std::accumulate(history_.end() - static_cast<std::ptrdiff_t>(n), history_.end(), 0.0) / n;
  averages_.push_back(average);
  if (averages_.size() > 31) averages_.pop_front();
  lowestAverage_ = std::min(lowestAverage_, average);

  if (!apogee_ && tenths_ >= settings_.inhibitTenths && tenths_ >= 10 && average >= lowestAverage_ + 1.0) {
    apogee_ = true;
    const double earlier = averages_.size() > 10 ? averages_[averages_.size() - 11] : averages_.front();
    const double slope = AltitudeAgl(average) - AltitudeAgl(earlier);  // metres over the last second
    events.push_back({kEventApogee, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(slope)))});
  }
  FireDue(events);

  if (apogee_) {
    const double settledSpan = averages_.size() > static_cast<std::size_t>(kSettleTenths)
                                   ? std::fabs(average - averages_[averages_.size() - 1 - kSettleTenths])
                                   : 1e9;
    settled_ = settledSpan < 1.0 && AltitudeAgl(average) < kLandedBelowMetres;
  }
  if (settled_ || (settings_.maxReadings > 0 && tenths_ + 1 >= settings_.maxReadings)) {
    ended_ = true;
    events.push_back({kEventEndOfLaunch, 0});
  }
  return events;
}

void FlightLogic::FireDue(std::vector<FlightEvent>& events) {
  const double agl = AltitudeAgl(averages_.back());
  auto due = [&](LineMode mode, std::uint16_t value) {
    if (tenths_ < settings_.inhibitTenths) return false;
    switch (mode) {
      case LineMode::Time: return tenths_ >= value;
      case LineMode::Apogee: return apogee_;
      case LineMode::Altitude: return apogee_ && agl <= value;  // on the way down
      default: return false;  // disabled, or a mode this firmware does not know
    }
  };
  if (!lineAFired_ && due(settings_.lineAMode, settings_.lineAValue)) {
    lineAFired_ = true;
    lineAOnUntil_ = tenths_ + kLineOnTenths;
    events.push_back({kEventLineA, 0});
  }
  if (!lineBFired_ && due(settings_.lineBMode, settings_.lineBValue)) {
    lineBFired_ = true;
    lineBOnUntil_ = tenths_ + kLineOnTenths;
    events.push_back({kEventLineB, 0});
  }
}

}  // namespace tev::sim
