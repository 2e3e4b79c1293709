#pragma once
// The bootloader firmware of the simulated altimeter: 65-byte reports, the hardware version
// query and the three-report block write. Programmed blocks land in the state's image, so tests
// can compare it with the firmware file.
#include <cstdint>

#include "sim/SimPersonality.h"
#include "sim/SimState.h"

namespace tev {

class SimBootloader : public SimPersonality {
 public:
  static constexpr std::size_t kReportLength = 65;

  explicit SimBootloader(SimState& state) : state_(state) {}

  bool OnOutput(const std::uint8_t* report, std::size_t length, SimReplies& replies) override;
  // Byte 1 carries both the query's answer and a block's acknowledgement.
  std::size_t CodeByte() const override { return 1; }
  // Cut short, a reply is a refusal: byte 1 is 0.
  std::vector<std::uint8_t> CompletionReport() const override { return std::vector<std::uint8_t>(kReportLength, 0); }

 private:
  enum class Step { Command, Address, Data };
  SimState& state_;
  Step step_ = Step::Command;
  std::uint32_t address_ = 0;
};

}  // namespace tev
