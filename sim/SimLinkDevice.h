#pragma once
// The device end of the sim link: plugs one simulated altimeter into a host, takes its output
// reports and sends the device's input reports when they fall due.
#include <chrono>
#include <cstdint>
#include <deque>

#include "sim/SimAltimeter.h"
#include "sim/SimSocket.h"

namespace tev {

class SimLinkDevice {
 public:
  explicit SimLinkDevice(SimAltimeter& device) : device_(device) {}

  // Connects to the host on 127.0.0.1:port and attaches; false when there is no host.
  bool Plug(std::uint16_t port);
  void Unplug();
  bool Plugged() const { return socket_.Valid(); }

  // Serves the host for `ms` milliseconds. False once the connection has ended, by the host,
  // by a lost connection, or by the device unplugging itself (a fault).
  bool Serve(std::uint32_t ms);

 private:
  using Clock = std::chrono::steady_clock;
  struct Due {
    Clock::time_point at;
    SimInput input;
  };
  bool TakeOutput();
  bool SendDue();

  SimAltimeter& device_;
  SimSocket socket_;
  std::deque<Due> pending_;
  Clock::time_point lastDue_{};
};

}  // namespace tev
