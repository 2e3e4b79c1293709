#include "sim/SimApplication.h"

#include "device/HidReport.h"
#include "sim/SimFlightCommands.h"

namespace tev {

SimApplication::SimApplication(SimState& state) : state_(state) {
  // Each command family registers its handlers here, one line each.
  RegisterBasicCommands(commands_);
  RegisterFlightMemoryCommands(commands_);
  RegisterLaunchEmulationCommands(commands_);
}

std::vector<std::uint8_t> SimApplication::CompletionReport() const {
  auto bytes = HidReport{0, 0, kReplyComplete}.Bytes();
  return {bytes.begin(), bytes.end()};
}

bool SimApplication::OnOutput(const std::uint8_t* report, std::size_t length, SimReplies& replies) {
  // The device's output report is 4 bytes: anything else is refused, as the system would.
  if (length != kHidReportLength) return false;
  const HidReport request = HidReport::FromBytes(report);

  if (session_) {
    switch (session_->OnCommand(*this, request.code, request.value, replies)) {
      case SimSession::Outcome::Continue:
        return true;
      case SimSession::Outcome::Finished:
        session_.reset();
        return true;
      case SimSession::Outcome::NotMine:
        session_.reset();
        break;
    }
  }

  if (request.code == kCmdReset) {
    // Ends whatever was going on; the reset itself is not answered.
    ++state_.resets;
    return true;
  }
  // Unknown commands are taken and ignored.
  if (const SimCommandHandler& handler = commands_[request.code]) handler(*this, request.value, replies);
  return true;
}

}  // namespace tev
