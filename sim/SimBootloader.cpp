#include "sim/SimBootloader.h"

#include <algorithm>

namespace tev {
namespace {

constexpr std::uint8_t kQueryHardware = 1;
constexpr std::uint8_t kWriteBlock = 2;
constexpr std::size_t kBlock = 64;

}  // namespace

bool SimBootloader::OnOutput(const std::uint8_t* report, std::size_t length, SimReplies& replies) {
  if (length != kReportLength) return false;
  std::vector<std::uint8_t> answer(kReportLength, 0);
  switch (step_) {
    case Step::Command:
      if (report[1] == kQueryHardware) {
        answer[1] = static_cast<std::uint8_t>(state_.hardwareVersion & 0xFF);
        answer[2] = static_cast<std::uint8_t>(state_.hardwareVersion >> 8);
        replies.AddReport(std::move(answer), replies.IntervalMs() + state_.bootloaderDelayMs);
      } else if (report[1] == kWriteBlock) {
        step_ = Step::Address;
      }
      // Anything else is taken and ignored.
      return true;
    case Step::Address:
      address_ = static_cast<std::uint32_t>(report[1] | (report[2] << 8));
      step_ = Step::Data;
      return true;
    case Step::Data: {
      step_ = Step::Command;
      // Our flash takes whole, aligned blocks only; anything else is refused (byte 1 = 0).
      const bool fits = address_ % kBlock == 0 && address_ + kBlock <= state_.programmedImage.size();
      if (fits) {
        std::copy(report + 1, report + 1 + kBlock, state_.programmedImage.begin() + address_);
        ++state_.blocksProgrammed;
      }
      answer[1] = fits ? 1 : 0;
      replies.AddReport(std::move(answer), replies.IntervalMs() + state_.bootloaderDelayMs);
      return true;
    }
  }
  return true;
}

}  // namespace tev
