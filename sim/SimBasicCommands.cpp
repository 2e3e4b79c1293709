// The short commands of the simulated application firmware.
#include "device/HidReport.h"
#include "sim/SimApplication.h"

namespace tev {
namespace {

// Firing holds both outputs for two seconds before confirming.
constexpr std::uint32_t kFireDurationMs = 2000;

// Command 9 is followed by the 16 bytes of the block, one per command-0 report. The block is
// stored as received, checksum and all: checking it is the host's business.
class SettingsWriteSession : public SimSession {
 public:
  Outcome OnCommand(SimApplication& app, std::uint8_t code, std::uint16_t value, SimReplies& replies) override {
    if (code != kCmdSettingsData) return Outcome::NotMine;
    block_[received_++] = static_cast<std::uint8_t>(value & 0xFF);
    if (received_ < block_.size()) return Outcome::Continue;
    app.State().settingsBlock = block_;
    // Storing the block may take a while (a bench option, to hold a write open).
    if (app.State().settingsWriteMs > 0) replies.ReplyAfter(app.State().settingsWriteMs, 0, kReplyComplete);
    else replies.Reply(0, kReplyComplete);
    return Outcome::Finished;
  }

 private:
  std::array<std::uint8_t, 16> block_{};
  std::size_t received_ = 0;
};

void ReadSettings(SimApplication& app, std::uint16_t, SimReplies& replies) {
  for (std::uint8_t byte : app.State().settingsBlock) replies.Reply(byte, kReplyData);
  replies.Reply(0, kReplyComplete);
}

void WriteSettings(SimApplication& app, std::uint16_t, SimReplies&) {
  app.BeginSession(std::make_unique<SettingsWriteSession>());
}

void ClearData(SimApplication& app, std::uint16_t, SimReplies& replies) {
  app.State().flightMemory.fill(0xFF);
  replies.Reply(0, kReplyComplete);
}

void ReadAdc(SimApplication& app, std::uint16_t, SimReplies& replies) {
  replies.Reply(app.State().adcCount, kReplyData);
  replies.Reply(0, kReplyComplete);
}

void ReadBattery(SimApplication& app, std::uint16_t, SimReplies& replies) {
  replies.Reply(app.State().batteryTenths, kReplyData);
  replies.Reply(0, kReplyComplete);
}

void FireLines(SimApplication& app, std::uint16_t, SimReplies& replies) {
  ++app.State().lineFirings;
  replies.ReplyAfter(kFireDurationMs, 0, kReplyComplete);
}

}  // namespace

void RegisterBasicCommands(SimCommandTable& table) {
  table[kCmdReadSettings] = ReadSettings;
  table[kCmdWriteSettings] = WriteSettings;
  table[kCmdClearData] = ClearData;
  table[kCmdReadAdc] = ReadAdc;
  table[kCmdReadBattery] = ReadBattery;
  table[kCmdFireLines] = FireLines;
}

}  // namespace tev
