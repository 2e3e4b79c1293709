#pragma once
// The device end of the sim link: plugs one simulated altimeter into a host, takes its output
// reports and sends the device's input reports when they fall due.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>

#include "sim/SimAltimeter.h"
#include "sim/SimFrameClock.h"
#include "sim/SimLinkFrame.h"
#include "sim/SimSocket.h"

namespace tev {

class SimLinkDevice {
 public:
  // Replies waiting to go out at which the device takes no more output reports, as a busy
  // endpoint does: the host's write sees no ACCEPT. A read-packet exchange fits twice.
  static constexpr std::size_t kMaxQueuedReplies = 64;
  // A host that reads nothing for this long is treated as gone.
  static constexpr std::uint32_t kSendTimeoutMs = 1000;

  explicit SimLinkDevice(SimAltimeter& device) : device_(device) {}

  // Connects to the host on 127.0.0.1:port and attaches; false when there is no host.
  bool Plug(std::uint16_t port);
  void Unplug();
  bool Plugged() const { return socket_.Valid(); }

  // Serves the host for `ms` milliseconds, never longer: whatever the host sends or leaves
  // unsent. False once the connection has ended, by the host, by a lost connection, by a
  // malformed frame, or by the device unplugging itself (a fault).
  bool Serve(std::uint32_t ms);

  // Input reports accepted for sending and not sent yet.
  std::size_t QueuedReplies() const { return pending_.size(); }

 private:
  using Clock = SimFrameClock::Clock;
  struct Due {
    Clock::time_point at;
    SimInput input;
  };
  bool Busy() const { return pending_.size() >= kMaxQueuedReplies; }
  Clock::time_point NextSendTime() const;
  bool ReadOutput();
  bool TakeOutput(const SimFrame& frame);
  bool SendDue();

  SimAltimeter& device_;
  SimSocket socket_;
  SimFrameDecoder decoder_;
  std::deque<Due> pending_;
  Clock::time_point lastDue_{};
  // At most one input report a frame, whatever the report interval.
  SimFrameClock frames_;
};

}  // namespace tev
