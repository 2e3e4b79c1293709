#pragma once
// The HID bus of Linux: the kernel's hidraw nodes, found through sysfs and used with read, write
// and poll. hidraw gives input reports without the report id byte when the device numbers none,
// as the altimeter does; this bus puts the 0 back, so that AltimeterDevice sees the same layout
// as on Windows. Output reports go out as they are, report id byte first, as hidraw wants them.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "device/HidBus.h"
#include "device/linux/HidrawSysfs.h"

namespace tev::hidraw {

class HidrawBus : public HidBus {
 public:
  // Opens a device node for reading and writing: a descriptor, or -1 with errno set.
  using NodeOpener = std::function<int(const std::string& node)>;
  static int OpenNode(const std::string& node);

  explicit HidrawBus(std::filesystem::path sysfsRoot = "/sys", NodeOpener opener = OpenNode);
  ~HidrawBus() override;
  HidrawBus(const HidrawBus&) = delete;
  HidrawBus& operator=(const HidrawBus&) = delete;

  std::vector<std::wstring> EnumerateInterfaces() override;
  std::optional<HidAttributes> ReadAttributes(const std::wstring& path) override;
  HidHandle OpenForReading(const std::wstring& path) override;
  HidHandle OpenForWriting(const std::wstring& path) override;
  void Close(HidHandle handle) override;
  bool WriteReport(HidHandle handle, const std::uint8_t* data, std::size_t length, std::uint32_t timeoutMs) override;
  bool ReadReport(HidHandle handle, std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) override;
  void DiscardInput(HidHandle handle) override;
  void Sleep(std::uint32_t ms) override;

  // What sysfs says about an interface now; nullopt once it has gone.
  std::optional<HidrawInterface> Describe(const std::wstring& path) const;
  // errno of the last open that failed (EBUSY: another program holds the node); 0 before any.
  int LastOpenError() const { return lastOpenError_; }

 private:
  struct Node;
  struct Handle;
  enum class Wait { Ready, TimedOut, Closed, Gone };

  HidHandle Open(const std::wstring& path, std::uint8_t access);
  std::shared_ptr<Node> OpenNodeLocked(const std::string& path);
  std::shared_ptr<Handle> Find(HidHandle handle, std::uint8_t access);
  static Wait WaitFor(Handle& handle, short events, std::chrono::steady_clock::time_point deadline);

  const std::filesystem::path sysfsRoot_;
  const NodeOpener opener_;
  std::atomic<int> lastOpenError_{0};

  std::mutex mutex_;  // guards the two maps and each node's `held`
  std::map<std::string, std::shared_ptr<Node>> nodes_;  // by path, while a handle holds one
  std::map<HidHandle, std::shared_ptr<Handle>> handles_;
  HidHandle nextHandle_ = 1;
};

}  // namespace tev::hidraw
