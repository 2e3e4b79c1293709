#pragma once
// The application firmware of the simulated altimeter: 4-byte reports, a table of command
// handlers, and at most one multi-report exchange (a session) in progress.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "sim/SimPersonality.h"
#include "sim/SimState.h"

namespace tev {

class SimApplication;

// A multi-report exchange the device is in the middle of (a settings write, a launch emulation).
class SimSession {
 public:
  enum class Outcome { NotMine, Continue, Finished };
  virtual ~SimSession() = default;
  // Sees every report first, the reset included. NotMine ends the session and lets the command
  // run as usual: a new command abandons a half-done exchange.
  virtual Outcome OnCommand(SimApplication& app, std::uint8_t code, std::uint16_t value, SimReplies& replies) = 0;
};

using SimCommandHandler = std::function<void(SimApplication& app, std::uint16_t value, SimReplies& replies)>;
using SimCommandTable = std::array<SimCommandHandler, 256>;

// Settings read and write, clear, ADC, battery, fire lines.
void RegisterBasicCommands(SimCommandTable& table);

class SimApplication : public SimPersonality {
 public:
  explicit SimApplication(SimState& state);

  bool OnOutput(const std::uint8_t* report, std::size_t length, SimReplies& replies) override;
  std::size_t CodeByte() const override { return 3; }
  std::vector<std::uint8_t> CompletionReport() const override;

  SimState& State() { return state_; }
  void BeginSession(std::unique_ptr<SimSession> session) { session_ = std::move(session); }
  bool InSession() const { return session_ != nullptr; }

 private:
  SimState& state_;
  SimCommandTable commands_;
  std::unique_ptr<SimSession> session_;
};

}  // namespace tev
