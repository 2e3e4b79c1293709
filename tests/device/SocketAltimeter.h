#pragma once
// A simulated altimeter behind one end of a socket pair that stands in for its hidraw node:
// output reports arrive as hidraw writes them (report id byte first), input reports leave as
// hidraw delivers them (without the report id byte), each when the simulation says it is due.
// SOCK_SEQPACKET keeps every report whole, as hidraw does.
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "device/linux/UniqueFd.h"
#include "sim/SimAltimeter.h"

namespace tev::testing {

class SocketAltimeter {
 public:
  explicit SocketAltimeter(std::shared_ptr<SimAltimeter> sim) : sim_(std::move(sim)) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) == 0) {
      host_.Reset(fds[0]);
      device_.Reset(fds[1]);
    }
    stop_.Reset(::eventfd(0, EFD_CLOEXEC));
    thread_ = std::thread([this] { Run(); });
  }
  ~SocketAltimeter() {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(stop_.Get(), &one, sizeof one);
    thread_.join();
  }
  SocketAltimeter(const SocketAltimeter&) = delete;
  SocketAltimeter& operator=(const SocketAltimeter&) = delete;

  // The host's end, as the node opener hands it out: each call gives a descriptor of its own.
  int OpenHostEnd() const { return ::dup(host_.Get()); }
  SimAltimeter& Sim() { return *sim_; }
  // True once the altimeter has closed its end (unplugged by a fault).
  bool Unplugged() const { return unplugged_; }

 private:
  using Clock = std::chrono::steady_clock;
  struct Due {
    Clock::time_point at;
    SimInput input;
  };

  void Run() {
    while (device_.Valid()) {
      int timeout = -1;
      if (!pending_.empty()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(pending_.front().at - Clock::now());
        timeout = static_cast<int>(std::max<long long>(left.count(), 0));
      }
      pollfd fds[2] = {{device_.Get(), POLLIN, 0}, {stop_.Get(), POLLIN, 0}};
      if (::poll(fds, 2, timeout) < 0) continue;
      if (fds[1].revents) return;
      if ((fds[0].revents & (POLLIN | POLLHUP)) && !TakeOutput()) return;
      SendDue();
    }
  }

  bool TakeOutput() {
    std::array<std::uint8_t, 128> report{};
    const ssize_t n = ::recv(device_.Get(), report.data(), report.size(), 0);
    if (n <= 0) return false;  // the host closed its end
    SimReaction reaction = sim_->OnOutputReport(report.data(), static_cast<std::size_t>(n));
    Clock::time_point due = std::max(Clock::now(), lastDue_);
    for (SimInput& input : reaction.inputs) {
      due += std::chrono::milliseconds(input.delayMs);
      pending_.push_back({due, std::move(input)});
    }
    lastDue_ = due;
    return true;
  }

  void SendDue() {
    while (device_.Valid() && !pending_.empty() && pending_.front().at <= Clock::now()) {
      const SimInput input = std::move(pending_.front().input);
      pending_.pop_front();
      if (input.unplug) {
        unplugged_ = true;  // before the host can see it
        device_.Reset();
        return;
      }
      [[maybe_unused]] ssize_t n = ::send(device_.Get(), input.report.data() + 1, input.report.size() - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    }
  }

  std::shared_ptr<SimAltimeter> sim_;
  hidraw::UniqueFd host_, device_, stop_;
  std::deque<Due> pending_;  // the thread's own
  Clock::time_point lastDue_{};
  std::atomic<bool> unplugged_{false};
  std::thread thread_;
};

}  // namespace tev::testing
