#pragma once
// An in-process HID bus on virtual time, for tests: simulated altimeters plug into it, every
// wait advances a clock instead of sleeping, and every transfer is recorded with the time-out it
// asked for.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/HidBus.h"
#include "sim/ShareModes.h"
#include "sim/SimAltimeter.h"

namespace tev {

class VirtualBus : public HidBus {
 public:
  static constexpr std::size_t kInputRing = 32;  // unread reports kept per open device

  struct Transfer {
    enum class Kind { Write, Read };
    Kind kind;
    std::uint32_t timeoutMs;
    std::vector<std::uint8_t> bytes;  // written, or received
    bool ok;
    std::uint64_t endMs;  // virtual time when the call returned
  };

  // Plugs a device in after those present; returns its interface path.
  std::wstring Plug(std::shared_ptr<SimAltimeter> device);
  void Unplug(const std::wstring& path);
  // arrived, path: called without the bus's lock held.
  void SetChangeCallback(std::function<void(bool, std::wstring)> callback);
  // Called before every transfer starts, without the bus's lock held (tests set flags here).
  void SetBeforeTransfer(std::function<void(Transfer::Kind, std::uint32_t timeoutMs)> hook);

  std::uint64_t NowMs() const;
  std::vector<Transfer> Transfers() const;
  std::vector<std::uint32_t> Sleeps() const;
  void ClearRecords();

  std::vector<std::wstring> EnumerateInterfaces() override;
  std::optional<HidAttributes> ReadAttributes(const std::wstring& path) override;
  HidHandle OpenForReading(const std::wstring& path) override;
  HidHandle OpenForWriting(const std::wstring& path) override;
  void Close(HidHandle handle) override;
  bool WriteReport(HidHandle handle, const std::uint8_t* data, std::size_t length, std::uint32_t timeoutMs) override;
  bool ReadReport(HidHandle handle, std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) override;
  void DiscardInput(HidHandle handle) override;
  void Sleep(std::uint32_t ms) override;

 private:
  struct Timed {
    std::uint64_t dueMs;
    SimInput input;
  };
  struct Slot {
    std::shared_ptr<SimAltimeter> device;
    std::wstring path;
    bool present = true;
    std::deque<Timed> pending;
    std::deque<std::vector<std::uint8_t>> ring;
    std::uint64_t lastDueMs = 0;
  };
  struct OpenHandle {
    std::shared_ptr<Slot> slot;
    OpenMode mode;
  };

  using Lock = std::unique_lock<std::mutex>;
  std::shared_ptr<Slot> FindPresent(const std::wstring& path) const;
  HidHandle OpenLocked(const std::wstring& path, OpenMode mode);
  bool ReaderOpen(const Slot& slot) const;
  // Moves the clock to `ms`, delivering what falls due; returns the removals it caused.
  void AdvanceTo(std::uint64_t ms, std::vector<std::wstring>& removed);
  void UnplugLocked(Slot& slot, std::vector<std::wstring>& removed);
  void Record(Transfer::Kind kind, std::uint32_t timeoutMs, std::vector<std::uint8_t> bytes, bool ok);
  void Notify(bool arrived, const std::vector<std::wstring>& paths);

  mutable std::mutex mutex_;
  std::uint64_t nowMs_ = 0;
  std::vector<std::shared_ptr<Slot>> slots_;
  std::map<HidHandle, OpenHandle> handles_;
  HidHandle nextHandle_ = 1;
  std::vector<Transfer> transfers_;
  std::vector<std::uint32_t> sleeps_;
  std::function<void(bool, std::wstring)> changeCallback_;
  std::function<void(Transfer::Kind, std::uint32_t)> beforeTransfer_;
};

}  // namespace tev
