#include "sim/SimLinkDevice.h"

#include <algorithm>
#include <thread>

namespace tev {

bool SimLinkDevice::Plug(std::uint16_t port) {
  Unplug();
  socket_ = SimSocket::Connect(port);
  if (!socket_.Valid()) return false;
  socket_.SetSendTimeout(kSendTimeoutMs);
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
  decoder_ = SimFrameDecoder{};
  frames_.Reset();
}

SimLinkDevice::Clock::time_point SimLinkDevice::NextSendTime() const {
  return frames_.FrameFor(pending_.front().at);
}

bool SimLinkDevice::Serve(std::uint32_t ms) {
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
  while (Plugged()) {
    if (!SendDue()) return false;
    const Clock::time_point now = Clock::now();
    if (now >= end) return true;
    Clock::time_point wake = end;
    if (!pending_.empty()) wake = std::min(wake, NextSendTime());
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(std::max(wake - now, Clock::duration::zero()));
    if (Busy()) {
      // Output reports wait in the host's socket until there is room again.
      std::this_thread::sleep_for(wait);
      continue;
    }
    if (socket_.WaitReadable(static_cast<std::uint32_t>(wait.count())) && !ReadOutput()) {
      Unplug();
      return false;
    }
  }
  return false;
}

// Reads what has arrived of the frame in progress, never more: a host that sends part of a
// frame and stops costs a wait of one readiness check, not a hang.
bool SimLinkDevice::ReadOutput() {
  std::uint8_t buffer[512];
  const long got = socket_.ReceiveSome(buffer, std::min(decoder_.Needed(), sizeof buffer));
  if (got <= 0) return false;
  decoder_.Feed(buffer, static_cast<std::size_t>(got));
  if (!decoder_.Complete()) return true;
  return TakeOutput(decoder_.Take());
}

bool SimLinkDevice::TakeOutput(const SimFrame& frame) {
  if (frame.type != kFrameOutput) return true;  // nothing else is meant for a device
  // No device has a report of no bytes or one longer than the bootloader's: the host is broken.
  if (frame.payload.empty() || frame.payload.size() > kMaxReportLength) return false;
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
  while (!pending_.empty()) {
    const Clock::time_point frame = NextSendTime();
    if (frame > Clock::now()) break;
    frames_.Take(frame);
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
