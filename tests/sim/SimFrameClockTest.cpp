// The simulated altimeter's report pace, on the schedule it computes (no wall clock): one report
// a frame, on a grid set by the first report, whatever the moment each one is actually sent.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "sim/SimFrameClock.h"

namespace tev {
namespace {

using namespace std::chrono_literals;
using Clock = SimFrameClock::Clock;
using Us = std::chrono::microseconds;

const Clock::time_point t0 = Clock::time_point{} + 1000s;

// The frame of each report, in order, given the time each falls due; times in µs after t0.
std::vector<long> Schedule(SimFrameClock& clock, const std::vector<long>& dueUs) {
  std::vector<long> sent;
  for (long due : dueUs) {
    const Clock::time_point frame = clock.FrameFor(t0 + Us(due));
    clock.Take(frame);
    sent.push_back(static_cast<long>(std::chrono::duration_cast<Us>(frame - t0).count()));
  }
  return sent;
}

TEST(SimFrameClock, AFullMemoryAllDueAtOnceTakesOneFrameAReportAndNoMore) {
  // 4,224 reports queued together: report k goes at the first's time + k ms, exactly, so the
  // whole memory takes 4,223 ms after the first report (no drift from sending each a bit late).
  SimFrameClock clock;
  const std::vector<long> sent = Schedule(clock, std::vector<long>(4224, 0));
  for (std::size_t k = 0; k < sent.size(); ++k) ASSERT_EQ(sent[k], static_cast<long>(k) * 1000) << "report " << k;
}

TEST(SimFrameClock, EachReportGoesInTheFirstFreeFrameAtOrAfterItsDueTime) {
  struct Case {
    const char* what;
    std::vector<long> dueUs;
    std::vector<long> sentUs;
  };
  const Case cases[] = {
      {"the first report opens the grid where it falls due", {300, 300, 300}, {300, 1300, 2300}},
      {"a report due within a taken frame waits for the next", {0, 200, 999}, {0, 1000, 2000}},
      {"a report due between frames waits for the next boundary", {0, 5500, 5600, 6000}, {0, 6000, 7000, 8000}},
      {"reports slower than the frames go when they fall due", {0, 3000, 6000, 9000}, {0, 3000, 6000, 9000}},
      {"after a pause the grid still holds", {0, 20000, 20000}, {0, 20000, 21000}},
  };
  for (const Case& c : cases) {
    SimFrameClock clock;
    EXPECT_EQ(Schedule(clock, c.dueUs), c.sentUs) << c.what;
  }
}

TEST(SimFrameClock, ANewConnectionStartsANewGrid) {
  SimFrameClock clock;
  Schedule(clock, {0, 0, 0});
  clock.Reset();
  EXPECT_EQ(Schedule(clock, {2400, 2400}), (std::vector<long>{2400, 3400}));
}

}  // namespace
}  // namespace tev
