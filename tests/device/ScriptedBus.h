#pragma once
// A bus with one altimeter whose replies the test scripts report by report, for exchanges whose
// exact replies matter more than a plausible device.
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "device/DeviceIds.h"
#include "device/HidBus.h"
#include "device/HidReport.h"

namespace tev {

class ScriptedBus : public HidBus {
 public:
  void Reply(std::uint16_t value, std::uint8_t code) {
    const auto b = HidReport{0, value, code}.Bytes();
    replies.emplace_back(b.begin(), b.end());
  }

  std::vector<std::wstring> EnumerateInterfaces() override { return {L"scripted"}; }
  std::optional<HidAttributes> ReadAttributes(const std::wstring&) override {
    HidAttributes a;
    a.VendorID = kVendorId;
    a.ProductID = kApplicationProductId;
    a.VersionNumber = 0x0140;
    return a;
  }
  HidHandle OpenForReading(const std::wstring&) override { return 1; }
  HidHandle OpenForWriting(const std::wstring&) override { return 2; }
  void Close(HidHandle) override {}
  bool WriteReport(HidHandle, const std::uint8_t* data, std::size_t length, std::uint32_t) override {
    if (refuseWritesFrom >= 0 && static_cast<int>(written.size()) >= refuseWritesFrom) return false;
    written.emplace_back(data, data + length);
    return true;
  }
  bool ReadReport(HidHandle, std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) override {
    readTimeouts.push_back(timeoutMs);
    if (replies.empty()) return false;
    std::memset(buffer, 0, length);
    std::memcpy(buffer, replies.front().data(), std::min(length, replies.front().size()));
    replies.pop_front();
    return true;
  }
  // The script stands for replies still to come, not for a queue that a new exchange discards.
  void DiscardInput(HidHandle) override { ++discards; }
  void Sleep(std::uint32_t ms) override { sleeps.push_back(ms); }

  // Command codes (byte 3) and values of the application reports written.
  std::vector<std::pair<std::uint8_t, std::uint16_t>> Commands() const {
    std::vector<std::pair<std::uint8_t, std::uint16_t>> out;
    for (const auto& w : written) out.push_back({w.at(3), static_cast<std::uint16_t>(w[1] | (w[2] << 8))});
    return out;
  }

  std::deque<std::vector<std::uint8_t>> replies;
  std::vector<std::vector<std::uint8_t>> written;
  std::vector<std::uint32_t> readTimeouts;
  std::vector<std::uint32_t> sleeps;
  int refuseWritesFrom = -1;
  int discards = 0;
};

}  // namespace tev
