// Command 4 of the simulated firmware: the launch emulation. The device runs its flight logic on
// readings the host sends (command 20) instead of its sensor, asking for each one (code 13) at
// its own pace (one reading per 0.1 s, as in flight, unless told otherwise), and reports launch,
// lines, apogee and the end.
#include <memory>

#include "device/HidReport.h"
#include "sim/FlightLogic.h"
#include "sim/SimFlightCommands.h"

namespace tev {
namespace {

class EmulationSession : public SimSession {
 public:
  explicit EmulationSession(const sim::FlightSettings& settings) : logic_(settings) {}

  Outcome OnCommand(SimApplication& app, std::uint8_t code, std::uint16_t value, SimReplies& replies) override {
    if (code == kCmdReset) {
      // The reset that ends an emulation is answered, so the host knows the device is back.
      ++app.State().resets;
      replies.Reply(0, kReplyComplete);
      return Outcome::Finished;
    }
    if (code != kCmdAdcSample) return Outcome::NotMine;
    if (logic_.Ended()) return Outcome::Continue;  // nothing more to do until the reset
    for (const sim::FlightEvent& event : logic_.Feed(value & 0x3FF)) replies.Reply(event.value, event.code);
    if (!logic_.Ended()) replies.ReplyAfter(app.State().emulationPeriodMs, 0, kReplySampleRequest);
    return Outcome::Continue;
  }

 private:
  sim::FlightLogic logic_;
};

void BeginEmulation(SimApplication& app, std::uint16_t, SimReplies& replies) {
  app.BeginSession(std::make_unique<EmulationSession>(sim::FlightSettings::FromImage(app.State().settingsBlock)));
  replies.Reply(0, kReplySampleRequest);
}

}  // namespace

void RegisterLaunchEmulationCommands(SimCommandTable& table) { table[kCmdEmulateLaunch] = BeginEmulation; }

}  // namespace tev
