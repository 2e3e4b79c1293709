#pragma once
// A simulated altimeter as a reactive state machine: an output report goes in, the device takes
// it or not and answers with timed input reports. The buses (in-process and sim link) carry the
// reports; this class knows nothing of time or transport.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/HidBus.h"
#include "sim/SimConfig.h"
#include "sim/SimPersonality.h"
#include "sim/SimReplies.h"
#include "sim/SimState.h"

namespace tev {

// The firmware a personality runs; one line per personality.
std::unique_ptr<SimPersonality> MakeSimPersonality(Personality personality, SimState& state);

class SimAltimeter {
 public:
  explicit SimAltimeter(SimConfig config = {});

  const SimConfig& Config() const { return config_; }
  SimState& State() { return state_; }
  SimPersonality& Firmware() { return *personality_; }
  // Vendor, product and version as the personality running now reports them.
  HidAttributes Attributes() const;

  // Restarts in the other firmware; the state (memory, settings) survives.
  void SwitchPersonality(Personality personality);
  void SetVersions(std::uint16_t firmware, std::uint16_t bootloader, std::uint16_t hardware);
  void SetRefuseOpen(bool refuse) { config_.refuseOpen = refuse; }
  void SetAttributesUnreadable(bool unreadable) { config_.attributesUnreadable = unreadable; }
  void SetReportInterval(std::uint32_t ms) { config_.reportIntervalMs = ms; }

  void InjectFault(SimFault fault);
  void ClearFaults() { faults_.clear(); }

  SimReaction OnOutputReport(const std::uint8_t* report, std::size_t length);

  // Every output report taken so far, as written (report id byte first).
  const std::vector<std::vector<std::uint8_t>>& Received() const { return received_; }

 private:
  struct PendingFault {
    SimFault fault;
    std::uint64_t index;  // absolute output or input count
  };
  bool TakeFault(SimFaultKind kind, std::uint64_t index, SimFault* found = nullptr);
  void ApplyInputFaults(std::vector<SimInput>& inputs);

  SimConfig config_;
  SimState state_;
  std::unique_ptr<SimPersonality> personality_;
  std::vector<PendingFault> faults_;
  std::uint64_t outputs_ = 0;
  std::uint64_t inputs_ = 0;
  std::vector<std::vector<std::uint8_t>> received_;
};

}  // namespace tev
