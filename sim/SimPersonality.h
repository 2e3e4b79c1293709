#pragma once
// One firmware of the simulated altimeter: turns an output report into the device's reaction.
#include <cstddef>
#include <cstdint>

#include "sim/SimReplies.h"

namespace tev {

class SimPersonality {
 public:
  virtual ~SimPersonality() = default;
  // Whether the report is taken; replies go to `replies`.
  virtual bool OnOutput(const std::uint8_t* report, std::size_t length, SimReplies& replies) = 0;
  // Which byte of an input report carries its code, and the report that ends an exchange early.
  virtual std::size_t CodeByte() const = 0;
  virtual std::vector<std::uint8_t> CompletionReport() const = 0;
};

}  // namespace tev
