#include "sim/VirtualBus.h"

#include <algorithm>
#include <cstring>

#include "sim/SimPath.h"

namespace tev {

std::wstring VirtualBus::Plug(std::shared_ptr<SimAltimeter> device) {
  auto slot = std::make_shared<Slot>();
  const HidAttributes attrs = device->Attributes();
  slot->path = SimInterfacePath(attrs.VendorID, attrs.ProductID, device->Config().serial);
  slot->device = std::move(device);
  {
    Lock lock(mutex_);
    slot->lastDueMs = nowMs_;
    slots_.push_back(slot);
  }
  Notify(true, {slot->path});
  return slot->path;
}

void VirtualBus::Unplug(const std::wstring& path) {
  std::vector<std::wstring> removed;
  {
    Lock lock(mutex_);
    if (auto slot = FindPresent(path)) UnplugLocked(*slot, removed);
  }
  Notify(false, removed);
}

void VirtualBus::SetChangeCallback(std::function<void(bool, std::wstring)> callback) {
  Lock lock(mutex_);
  changeCallback_ = std::move(callback);
}

void VirtualBus::SetBeforeTransfer(std::function<void(Transfer::Kind, std::uint32_t)> hook) {
  Lock lock(mutex_);
  beforeTransfer_ = std::move(hook);
}

std::uint64_t VirtualBus::NowMs() const {
  Lock lock(mutex_);
  return nowMs_;
}

std::vector<VirtualBus::Transfer> VirtualBus::Transfers() const {
  Lock lock(mutex_);
  return transfers_;
}

std::vector<std::uint32_t> VirtualBus::Sleeps() const {
  Lock lock(mutex_);
  return sleeps_;
}

void VirtualBus::ClearRecords() {
  Lock lock(mutex_);
  transfers_.clear();
  sleeps_.clear();
}

std::vector<std::wstring> VirtualBus::EnumerateInterfaces() {
  Lock lock(mutex_);
  std::vector<std::wstring> paths;
  for (const auto& slot : slots_) {
    if (slot->present) paths.push_back(slot->path);
  }
  return paths;
}

std::optional<HidAttributes> VirtualBus::ReadAttributes(const std::wstring& path) {
  Lock lock(mutex_);
  auto slot = FindPresent(path);
  if (!slot || slot->device->Config().attributesUnreadable) return std::nullopt;
  return slot->device->Attributes();
}

HidHandle VirtualBus::OpenForReading(const std::wstring& path) {
  Lock lock(mutex_);
  return OpenLocked(path, kReadOpenMode);
}

HidHandle VirtualBus::OpenForWriting(const std::wstring& path) {
  Lock lock(mutex_);
  return OpenLocked(path, kWriteOpenMode);
}

HidHandle VirtualBus::OpenLocked(const std::wstring& path, OpenMode mode) {
  auto slot = FindPresent(path);
  if (!slot || slot->device->Config().refuseOpen) return kInvalidHidHandle;
  std::vector<OpenMode> held;
  for (const auto& [id, open] : handles_) {
    if (open.slot == slot) held.push_back(open.mode);
  }
  if (!CanOpenAlongside(held, mode)) return kInvalidHidHandle;
  const HidHandle handle = nextHandle_++;
  handles_[handle] = {slot, mode};
  return handle;
}

void VirtualBus::Close(HidHandle handle) {
  Lock lock(mutex_);
  auto it = handles_.find(handle);
  if (it == handles_.end()) return;
  const std::shared_ptr<Slot> slot = it->second.slot;
  handles_.erase(it);
  // Like the system's driver, unread reports go with the last reader.
  if (!ReaderOpen(*slot)) slot->ring.clear();
}

bool VirtualBus::WriteReport(HidHandle handle, const std::uint8_t* data, std::size_t length,
                             std::uint32_t timeoutMs) {
  {
    Lock lock(mutex_);
    if (beforeTransfer_) {
      auto hook = beforeTransfer_;
      lock.unlock();
      hook(Transfer::Kind::Write, timeoutMs);
    }
  }
  std::vector<std::wstring> removed;
  bool ok = false;
  {
    Lock lock(mutex_);
    AdvanceTo(nowMs_, removed);
    auto it = handles_.find(handle);
    const bool usable = it != handles_.end() && (it->second.mode.access & kAccessWrite) && it->second.slot->present;
    if (usable) {
      Slot& slot = *it->second.slot;
      SimReaction reaction = slot.device->OnOutputReport(data, length);
      ok = reaction.accepted;
      if (ok) {
        std::uint64_t due = std::max(nowMs_, slot.lastDueMs);
        for (SimInput& input : reaction.inputs) {
          due += input.delayMs;
          slot.pending.push_back({due, std::move(input)});
        }
        slot.lastDueMs = due;
      } else {
        AdvanceTo(nowMs_ + timeoutMs, removed);
      }
    }
    // A handle whose device has gone fails at once, as the system's does.
    Record(Transfer::Kind::Write, timeoutMs, std::vector<std::uint8_t>(data, data + length), ok);
  }
  Notify(false, removed);
  return ok;
}

bool VirtualBus::ReadReport(HidHandle handle, std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) {
  {
    Lock lock(mutex_);
    if (beforeTransfer_) {
      auto hook = beforeTransfer_;
      lock.unlock();
      hook(Transfer::Kind::Read, timeoutMs);
    }
  }
  std::vector<std::wstring> removed;
  bool ok = false;
  std::vector<std::uint8_t> got;
  {
    Lock lock(mutex_);
    AdvanceTo(nowMs_, removed);
    auto it = handles_.find(handle);
    if (it != handles_.end() && (it->second.mode.access & kAccessRead)) {
      const std::shared_ptr<Slot> slot = it->second.slot;
      const std::uint64_t deadline = nowMs_ + timeoutMs;
      // Step from one due report to the next until one is readable, the device goes, or time is up.
      while (slot->present && slot->ring.empty() && !slot->pending.empty() && slot->pending.front().dueMs <= deadline) {
        AdvanceTo(slot->pending.front().dueMs, removed);
      }
      if (!slot->ring.empty()) {
        got = std::move(slot->ring.front());
        slot->ring.pop_front();
        std::memset(buffer, 0, length);
        std::memcpy(buffer, got.data(), std::min(length, got.size()));
        ok = true;
      } else if (slot->present) {
        AdvanceTo(deadline, removed);
      }
    }
    Record(Transfer::Kind::Read, timeoutMs, got, ok);
  }
  Notify(false, removed);
  return ok;
}

void VirtualBus::DiscardInput(HidHandle handle) {
  std::vector<std::wstring> removed;
  {
    Lock lock(mutex_);
    AdvanceTo(nowMs_, removed);
    auto it = handles_.find(handle);
    // Only what has arrived: replies still on their way are the device's, not yet the queue's.
    if (it != handles_.end() && (it->second.mode.access & kAccessRead)) it->second.slot->ring.clear();
  }
  Notify(false, removed);
}

void VirtualBus::Sleep(std::uint32_t ms) {
  std::vector<std::wstring> removed;
  {
    Lock lock(mutex_);
    sleeps_.push_back(ms);
    AdvanceTo(nowMs_ + ms, removed);
  }
  Notify(false, removed);
}

std::shared_ptr<VirtualBus::Slot> VirtualBus::FindPresent(const std::wstring& path) const {
  for (const auto& slot : slots_) {
    if (slot->present && slot->path == path) return slot;
  }
  return nullptr;
}

bool VirtualBus::ReaderOpen(const Slot& slot) const {
  return std::any_of(handles_.begin(), handles_.end(), [&](const auto& entry) {
    return entry.second.slot.get() == &slot && (entry.second.mode.access & kAccessRead);
  });
}

void VirtualBus::AdvanceTo(std::uint64_t ms, std::vector<std::wstring>& removed) {
  nowMs_ = std::max(nowMs_, ms);
  for (const auto& slot : slots_) {
    while (slot->present && !slot->pending.empty() && slot->pending.front().dueMs <= nowMs_) {
      Timed next = std::move(slot->pending.front());
      slot->pending.pop_front();
      if (next.input.unplug) {
        UnplugLocked(*slot, removed);
        break;
      }
      // Reports arriving while nobody reads are lost; a full ring loses its oldest.
      if (!ReaderOpen(*slot)) continue;
      slot->ring.push_back(std::move(next.input.report));
      if (slot->ring.size() > kInputRing) slot->ring.pop_front();
    }
  }
}

void VirtualBus::UnplugLocked(Slot& slot, std::vector<std::wstring>& removed) {
  slot.present = false;
  slot.pending.clear();
  slot.ring.clear();
  removed.push_back(slot.path);
}

void VirtualBus::Record(Transfer::Kind kind, std::uint32_t timeoutMs, std::vector<std::uint8_t> bytes, bool ok) {
  transfers_.push_back({kind, timeoutMs, std::move(bytes), ok, nowMs_});
}

void VirtualBus::Notify(bool arrived, const std::vector<std::wstring>& paths) {
  std::function<void(bool, std::wstring)> callback;
  {
    Lock lock(mutex_);
    callback = changeCallback_;
  }
  if (!callback) return;
  for (const std::wstring& path : paths) callback(arrived, path);
}

}  // namespace tev
