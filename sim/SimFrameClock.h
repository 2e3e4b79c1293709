#pragma once
// When the simulated altimeter's input reports go out: as from an interrupt endpoint the host
// polls once a frame, at most one report a frame, on a grid that starts with the first report.
// Report k after the first is due no earlier than the first's time + k frames, and a report sent
// late does not push the ones after it later: the grid, not the moment of sending, sets the pace.
#include <chrono>
#include <optional>

namespace tev {

class SimFrameClock {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kFrame = std::chrono::milliseconds(1);

  // The frame in which the next report goes when it falls due at `due`.
  Clock::time_point FrameFor(Clock::time_point due) const;
  // The next report went in `frame` (as FrameFor gave it): later ones go in later frames.
  void Take(Clock::time_point frame);
  // A new connection: the next report starts a new grid.
  void Reset() { origin_.reset(); }

 private:
  std::optional<Clock::time_point> origin_;
  Clock::time_point next_{};
};

}  // namespace tev
