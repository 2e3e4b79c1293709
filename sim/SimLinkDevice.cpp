#include "sim/SimLinkDevice.h"

#include <algorithm>

#include "sim/SimLinkFrame.h"

namespace tev {

bool SimLinkDevice::Plug(std::uint16_t port) {
  Unplug();
  socket_ = SimSocket::Connect(port);
  if (!socket_.Valid()) return false;
  const SimConfig& config = device_.Config();
  const HidAttributes attrs = device_.Attributes();
  SimAttach attach{attrs.VendorID, attrs.ProductID, attrs.VersionNumber, 0, config.serial};
  if (config.refuseOpen) attach.flags |= kAttachRefuseOpen;
  if (config.attributesUnreadable) attach.flags |= kAttachAttributesUnreadable;
  const std::vector<std::uint8_t> payload = EncodeAttach(attach);
  if (!WriteFrame(socket_, kFrameAttach, payload.data(), payload.size())) {
    Unplug();
    return false;
  }
  return true;
}

void SimLinkDevice::Unplug() {
  socket_.Close();
  pending_.clear();
}

bool SimLinkDevice::Serve(std::uint32_t ms) {
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
  while (Plugged()) {
    if (!SendDue()) return false;
    const Clock::time_point now = Clock::now();
    if (now >= end) return true;
    Clock::time_point wake = end;
    if (!pending_.empty()) wake = std::min(wake, pending_.front().at);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now).count();
    if (socket_.WaitReadable(static_cast<std::uint32_t>(std::max<long long>(wait, 0))) && !TakeOutput()) {
      Unplug();
      return false;
    }
  }
  return false;
}

bool SimLinkDevice::TakeOutput() {
  SimFrame frame;
  if (!ReadFrame(socket_, frame)) return false;
  if (frame.type != kFrameOutput) return true;  // nothing else is meant for a device
  SimReaction reaction = device_.OnOutputReport(frame.payload.data(), frame.payload.size());
  if (!reaction.accepted) return true;
  if (!WriteFrame(socket_, kFrameAccept, nullptr, 0)) return false;
  Clock::time_point due = std::max(Clock::now(), lastDue_);
  for (SimInput& input : reaction.inputs) {
    due += std::chrono::milliseconds(input.delayMs);
    pending_.push_back({due, std::move(input)});
  }
  lastDue_ = due;
  return true;
}

bool SimLinkDevice::SendDue() {
  while (!pending_.empty() && pending_.front().at <= Clock::now()) {
    Due next = std::move(pending_.front());
    pending_.pop_front();
    if (next.input.unplug) {
      Unplug();
      return false;
    }
    if (!WriteFrame(socket_, kFrameInput, next.input.report.data(), next.input.report.size())) {
      Unplug();
      return false;
    }
  }
  return true;
}

}  // namespace tev
