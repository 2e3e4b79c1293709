#pragma once
// A small physical model of a model-rocket flight (boost, coast, apogee, descent under a
// parachute) sampled by the simulated altimeter's sensor, and the recorder that turns those
// samples into flight packets exactly as the device stores them.
#include <cstdint>
#include <string>
#include <vector>

#include "model/FlightPacket.h"
#include "sim/FlightLogic.h"

namespace tev::sim {

inline constexpr std::size_t kMemoryPackets = 128;
inline constexpr std::uint8_t kPacketTypeContinuation = 1;  // our choice; the host only knows 2 and 0xFF
inline constexpr int kPreLaunchSamples = 10;                // kept from before launch: the first is the ground

struct FlightProfile {
  std::string name;
  double groundMsl = 100;      // m above sea level
  double liftoffMassKg = 0.5;  // with propellant
  double propellantKg = 0.06;
  double thrustN = 20;
  double burnSeconds = 1.5;
  double dragArea = 0.0012;    // drag coefficient × frontal area, m²
  double descentRate = 6;      // m/s under the parachute
  double padSeconds = 4;       // on the pad before ignition
  std::uint32_t seed = 1;      // sensor noise
  double noiseCounts = 0.35;   // standard deviation of the sensor noise, ADC counts
};

// 10-bit readings every 0.1 s from the pad until a few seconds after touchdown.
std::vector<int> FlyFlight(const FlightProfile& profile);

// Runs the flight logic over the readings and records what the device keeps: the second before
// launch and everything up to the end of the flight, at most maxPackets packets. The last packet
// ends early with 0xFFFF. flightTag goes into byte 1 of every packet.
PacketList RecordFlight(const std::vector<int>& readings, const FlightSettings& settings, std::uint8_t flightTag,
                        std::size_t maxPackets);

// The sample flights: different heights and lengths.
const std::vector<FlightProfile>& SampleFlightProfiles();
const FlightProfile* FindSampleFlight(const std::string& name);

// A flight memory holding the given flights one after another, each recorded with the settings.
PacketList RecordMemory(const std::vector<FlightProfile>& flights, const FlightSettings& settings);
// A memory filled to all 128 packets (the sample flights over and over, the last one cut short).
PacketList RecordFullMemory(const FlightSettings& settings);

}  // namespace tev::sim
