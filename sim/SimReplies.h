#pragma once
// The input reports a simulated device produces in answer to one output report, each with the
// time it takes after the one before.
#include <cstdint>
#include <vector>

#include "device/HidReport.h"

namespace tev {

struct SimInput {
  std::vector<std::uint8_t> report;  // report id byte first
  std::uint32_t delayMs = 0;         // after the previous input (or after the output report)
  bool unplug = false;               // the device leaves the bus here instead of sending a report
};

struct SimReaction {
  bool accepted = true;
  std::vector<SimInput> inputs;
};

class SimReplies {
 public:
  explicit SimReplies(std::uint32_t intervalMs) : intervalMs_(intervalMs) {}

  void AddReport(std::vector<std::uint8_t> report, std::uint32_t delayMs) {
    inputs_.push_back({std::move(report), delayMs, false});
  }
  // One application reply after the usual report interval.
  void Reply(std::uint16_t value, std::uint8_t code) { ReplyAfter(intervalMs_, value, code); }
  void ReplyAfter(std::uint32_t delayMs, std::uint16_t value, std::uint8_t code) {
    auto bytes = HidReport{0, value, code}.Bytes();
    AddReport({bytes.begin(), bytes.end()}, delayMs);
  }
  std::uint32_t IntervalMs() const { return intervalMs_; }
  std::vector<SimInput>& Inputs() { return inputs_; }

 private:
  std::uint32_t intervalMs_;
  std::vector<SimInput> inputs_;
};

}  // namespace tev
