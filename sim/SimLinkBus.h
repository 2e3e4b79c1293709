#pragma once
// The host end of the sim link: a virtual HID bus over loopback TCP. Simulated devices plug in by
// connecting and unplug by closing; each connection has a reader thread that drains it into the
// device's input ring, so that a read is a wait on memory, not a socket call.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/HidBus.h"
#include "sim/ShareModes.h"
#include "sim/SimPort.h"
#include "sim/SimSocket.h"

namespace tev {

class SimLinkBus : public HidBus {
 public:
  static constexpr std::uint16_t kDefaultPort = kDefaultSimPort;
  // Unread reports kept per open device: the system's default, and what a read handle of the
  // program asks for (as Win32HidBus does of the system's driver).
  static constexpr std::size_t kInputRing = 32;
  static constexpr std::size_t kRequestedInputRing = kInputReportBuffers;

  // arrived, path. Called on the link's own threads with no lock held; it may call the bus.
  using ChangeCallback = std::function<void(bool arrived, std::wstring path)>;

  SimLinkBus() = default;
  ~SimLinkBus() override;
  SimLinkBus(const SimLinkBus&) = delete;
  SimLinkBus& operator=(const SimLinkBus&) = delete;

  // Listens on 127.0.0.1 only; port 0 takes any free port. False when the port cannot be had.
  bool Listen(std::uint16_t port);
  std::uint16_t Port() const { return port_; }
  // Closes every connection and stops listening; no callback is made from then on.
  void Stop();
  void SetChangeCallback(ChangeCallback callback);

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
  struct Connection;
  struct OpenHandle {
    std::shared_ptr<Connection> connection;
    OpenMode mode;
  };
  using Lock = std::unique_lock<std::mutex>;

  void AcceptLoop();
  void ReadLoop(std::shared_ptr<Connection> connection);
  bool HandleFrame(Connection& connection, std::uint8_t type, const std::vector<std::uint8_t>& payload);
  std::shared_ptr<Connection> FindAttached(const std::wstring& path) const;
  HidHandle Open(const std::wstring& path, OpenMode mode);
  bool ReaderOpen(const Connection& connection) const;
  void ReapFinished();
  void Notify(bool arrived, const std::wstring& path);

  SimSocket listener_;
  std::uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptThread_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::shared_ptr<Connection>> connections_;  // in the order they connected
  std::map<HidHandle, OpenHandle> handles_;
  HidHandle nextHandle_ = 1;
  ChangeCallback callback_;
};

}  // namespace tev
