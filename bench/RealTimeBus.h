#pragma once
// One simulated altimeter on a bus that keeps real time: each input report is delivered when it
// falls due on the steady clock, one report interval after the one before. For benchmarks only:
// the unit tests use the virtual-time bus.
#include <chrono>
#include <cstring>
#include <deque>
#include <memory>
#include <thread>

#include "device/HidBus.h"
#include "sim/SimAltimeter.h"
#include "sim/SimPath.h"

namespace tev {

class RealTimeBus : public HidBus {
 public:
  using Clock = std::chrono::steady_clock;

  explicit RealTimeBus(std::shared_ptr<SimAltimeter> device) : device_(std::move(device)) {
    const HidAttributes a = device_->Attributes();
    path_ = SimInterfacePath(a.VendorID, a.ProductID, device_->Config().serial);
  }

  std::vector<std::wstring> EnumerateInterfaces() override { return {path_}; }
  std::optional<HidAttributes> ReadAttributes(const std::wstring&) override { return device_->Attributes(); }
  HidHandle OpenForReading(const std::wstring&) override { return 1; }
  HidHandle OpenForWriting(const std::wstring&) override { return 2; }
  void Close(HidHandle) override {}

  bool WriteReport(HidHandle, const std::uint8_t* data, std::size_t length, std::uint32_t timeoutMs) override {
    SimReaction reaction = device_->OnOutputReport(data, length);
    if (!reaction.accepted) {
      std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
      return false;
    }
    Clock::time_point due = std::max(Clock::now(), lastDue_);
    for (SimInput& input : reaction.inputs) {
      due += std::chrono::milliseconds(input.delayMs);
      pending_.push_back({due, std::move(input.report)});
    }
    lastDue_ = due;
    return true;
  }

  // No 32-report ring here: at interval 0 a whole packet's replies are due at once, and the
  // benchmark measures the host's own cost, not the driver's buffer.
  bool ReadReport(HidHandle, std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) override {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (pending_.empty() || pending_.front().due > deadline) {
      std::this_thread::sleep_until(deadline);
      return false;
    }
    std::this_thread::sleep_until(pending_.front().due);
    std::memset(buffer, 0, length);
    std::memcpy(buffer, pending_.front().report.data(), std::min(length, pending_.front().report.size()));
    pending_.pop_front();
    return true;
  }

  void DiscardInput(HidHandle) override {
    while (!pending_.empty() && pending_.front().due <= Clock::now()) pending_.pop_front();
  }

  void Sleep(std::uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

 private:
  struct Due {
    Clock::time_point due;
    std::vector<std::uint8_t> report;
  };
  std::shared_ptr<SimAltimeter> device_;
  std::wstring path_;
  std::deque<Due> pending_;
  Clock::time_point lastDue_{};
};

}  // namespace tev
