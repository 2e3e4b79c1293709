#pragma once
// A TCP socket on the loopback interface, for the sim link: BSD sockets on Linux, Winsock on
// Windows (SimSocketPosix.cpp / SimSocketWinsock.cpp). Blocking, with a readiness wait.
#include <cstddef>
#include <cstdint>

#include "model/Unique.h"

namespace tev {

// A descriptor on Linux, a SOCKET on Windows; closed by the platform's file.
struct SocketTraits {
  static std::intptr_t Invalid() { return -1; }
  static bool Valid(std::intptr_t handle) { return handle != -1; }
  static void Release(std::intptr_t handle);
};

// Moves, never copies; closes its socket when it ends.
class SimSocket {
 public:
  SimSocket() = default;

  // Listens on 127.0.0.1 only (port 0: any free port). Invalid on failure.
  static SimSocket Listen(std::uint16_t port);
  // Connects to 127.0.0.1:port, with Nagle's delay off. Invalid on failure.
  static SimSocket Connect(std::uint16_t port);

  bool Valid() const;
  std::uint16_t LocalPort() const;
  SimSocket Accept();
  // True when a read (or an accept) would not block; false after `ms` or on error.
  bool WaitReadable(std::uint32_t ms);
  void SetNoDelay();
  bool SendAll(const std::uint8_t* data, std::size_t length);
  // Fills all of `data`; false at the end of the stream or on error.
  bool ReceiveAll(std::uint8_t* data, std::size_t length);
  // Takes what has arrived, up to `length` bytes, waiting only when nothing has: the count, 0 at
  // the end of the stream, negative on error.
  long ReceiveSome(std::uint8_t* data, std::size_t length);
  // A send that cannot go out within `ms` (a peer that reads nothing) fails instead of blocking.
  void SetSendTimeout(std::uint32_t ms);
  // Ends both directions, waking a thread blocked in ReceiveAll; the socket stays allocated.
  void Shutdown();
  void Close();

 private:
  explicit SimSocket(std::intptr_t handle) : handle_(handle) {}
  Unique<std::intptr_t, SocketTraits> handle_;
};

}  // namespace tev
