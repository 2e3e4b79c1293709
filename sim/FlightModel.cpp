#include "sim/FlightModel.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "sim/SensorModel.h"

namespace tev::sim {
namespace {

constexpr double kGravity = 9.80665;
constexpr double kStep = 0.001;  // integration step, s

double AirDensity(double metresMsl) { return 1.225 * std::exp(-metresMsl / 8500.0); }

// Gaussian noise from the engine's raw output, so the same seed gives the same flight on every
// standard library.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : engine_(seed) {}
  double Next(double sigma) {
    const double u1 = (static_cast<double>(engine_()) + 0.5) / 4294967296.0;
    const double u2 = (static_cast<double>(engine_()) + 0.5) / 4294967296.0;
    return sigma * std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }

 private:
  std::mt19937 engine_;
};

}  // namespace

std::vector<int> FlyFlight(const FlightProfile& p) {
  Noise noise(p.seed);
  std::vector<int> readings;
  auto sample = [&](double height) {
    const double counts = ReadingForAltitude(p.groundMsl + height) + noise.Next(p.noiseCounts);
    readings.push_back(std::clamp(static_cast<int>(std::lround(counts)), 0, 1023));
  };

  double h = 0, v = 0, t = 0;
  bool chute = false, landed = false;
  double landedAt = 0;
  constexpr int kStepsPerSample = 100;
  constexpr int kMaxSamples = 6000;  // 10 minutes: no profile flies that long
  for (int n = 0; n < kMaxSamples; ++n) {
    sample(h);
    if (landed && t - landedAt >= 5.0) break;
    for (int k = 0; k < kStepsPerSample; ++k, t += kStep) {
      const double flight = t - p.padSeconds;
      if (flight < 0 || landed) continue;
      const double burning = std::clamp(flight / p.burnSeconds, 0.0, 1.0);
      const double mass = p.liftoffMassKg - p.propellantKg * burning;
      const double thrust = flight < p.burnSeconds ? p.thrustN : 0.0;
      if (!chute && flight > p.burnSeconds && v <= 0) chute = true;  // ejected at apogee
      // Under the canopy the drag area is whatever makes descentRate the terminal speed.
      const double area =
          chute ? 2.0 * mass * kGravity / (AirDensity(p.groundMsl + h) * p.descentRate * p.descentRate) : p.dragArea;
      const double drag = 0.5 * AirDensity(p.groundMsl + h) * area * v * std::fabs(v);
      v += (thrust - drag - mass * kGravity) / mass * kStep;
      h += v * kStep;
      if (h <= 0 && flight > p.burnSeconds) {
        h = 0;
        v = 0;
        landed = true;
        landedAt = t;
      } else if (h < 0) {  // still on the rail: thrust has not beaten gravity yet
        h = 0;
        v = std::max(v, 0.0);
      }
    }
  }
  return readings;
}

PacketList RecordFlight(const std::vector<int>& readings, const FlightSettings& settings, std::uint8_t flightTag,
                        std::size_t maxPackets) {
  FlightLogic logic(settings);
  std::vector<std::uint16_t> words;
  std::vector<std::uint16_t> beforeLaunch;
  auto word = [](int reading, bool lineA, bool lineB) {
    return static_cast<std::uint16_t>(((reading & 0x3FF) << 4) | (lineA ? 0x8000 : 0) | (lineB ? 0x4000 : 0));
  };
  for (int reading : readings) {
    const bool wasLaunched = logic.Launched();
    logic.Feed(reading);
    if (!logic.Launched()) {
      beforeLaunch.push_back(word(reading, false, false));
      if (beforeLaunch.size() > static_cast<std::size_t>(kPreLaunchSamples)) beforeLaunch.erase(beforeLaunch.begin());
      continue;
    }
    if (!wasLaunched) words = beforeLaunch;
    words.push_back(word(reading, logic.LineAOn(), logic.LineBOn()));
    if (logic.Ended()) break;
  }

  PacketList packets;
  for (std::size_t at = 0; at < words.size() && packets.size() < maxPackets; at += kSamplesPerPacket) {
    FlightPacket packet;
    packet.bytes.fill(0xFF);  // unwritten words stay erased: 0xFFFF ends the packet early
    packet.bytes[0] = packets.empty() ? kPacketTypeFlightStart : kPacketTypeContinuation;
    packet.bytes[1] = flightTag;
    for (int j = 0; j < kSamplesPerPacket && at + j < words.size(); ++j) packet.SetWord(j + 1, words[at + j]);
    packets.push_back(packet);
  }
  return packets;
}

const std::vector<FlightProfile>& SampleFlightProfiles() {
  static const std::vector<FlightProfile> profiles = [] {
    std::vector<FlightProfile> v;
    FlightProfile hop;
    hop.name = "hop";
    hop.groundMsl = 40;
    hop.liftoffMassKg = 0.35;
    hop.propellantKg = 0.02;
    hop.thrustN = 22;
    hop.burnSeconds = 0.8;
    hop.descentRate = 5;
    hop.seed = 11;
    v.push_back(hop);

    FlightProfile park = hop;
    park.name = "park";
    park.groundMsl = 210;
    park.liftoffMassKg = 0.5;
    park.propellantKg = 0.05;
    park.thrustN = 25;
    park.burnSeconds = 1.6;
    park.descentRate = 6;
    park.seed = 22;
    v.push_back(park);

    FlightProfile sport = park;
    sport.name = "sport";
    sport.groundMsl = 620;
    sport.liftoffMassKg = 0.9;
    sport.propellantKg = 0.12;
    sport.thrustN = 60;
    sport.burnSeconds = 2.2;
    sport.dragArea = 0.0015;
    sport.descentRate = 9;
    sport.seed = 33;
    v.push_back(sport);

    FlightProfile high = sport;
    high.name = "high";
    high.groundMsl = 1350;
    high.liftoffMassKg = 1.4;
    high.propellantKg = 0.35;
    high.thrustN = 140;
    high.burnSeconds = 3.2;
    high.dragArea = 0.0018;
    high.descentRate = 25;
    high.seed = 44;
    v.push_back(high);
    return v;
  }();
  return profiles;
}

const FlightProfile* FindSampleFlight(const std::string& name) {
  for (const auto& p : SampleFlightProfiles())
    if (p.name == name) return &p;
  return nullptr;
}

PacketList RecordMemory(const std::vector<FlightProfile>& flights, const FlightSettings& settings) {
  PacketList memory;
  std::uint8_t tag = 1;
  for (const auto& profile : flights) {
    if (memory.size() >= kMemoryPackets) break;
    const PacketList flight = RecordFlight(FlyFlight(profile), settings, tag++, kMemoryPackets - memory.size());
    memory.insert(memory.end(), flight.begin(), flight.end());
  }
  return memory;
}

PacketList RecordFullMemory(const FlightSettings& settings) {
  std::vector<FlightProfile> flights;
  for (int round = 0; round < 16; ++round)
    for (auto p : SampleFlightProfiles()) {
      p.seed += static_cast<std::uint32_t>(round) * 1000;  // each flight its own noise
      flights.push_back(p);
    }
  return RecordMemory(flights, settings);
}

}  // namespace tev::sim
