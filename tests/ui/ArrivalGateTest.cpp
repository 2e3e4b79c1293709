#include "ui/logic/ArrivalGate.h"

#include <gtest/gtest.h>

namespace tev {
namespace {

TEST(ArrivalGate, AnArrivalDuringAWorkerWaitsForItsEndAndIsDroppedWhenClosing) {
  ArrivalGate gate;
  EXPECT_TRUE(gate.OnArrival(/*workerRunning=*/false));
  EXPECT_FALSE(gate.OnWorkerEnded(false)) << "nothing was remembered";

  EXPECT_FALSE(gate.OnArrival(true));
  EXPECT_FALSE(gate.OnArrival(true));  // two arrivals, one connect
  EXPECT_TRUE(gate.OnWorkerEnded(false));
  EXPECT_FALSE(gate.OnWorkerEnded(false)) << "acted on twice";

  EXPECT_FALSE(gate.OnArrival(true));
  EXPECT_FALSE(gate.OnWorkerEnded(/*closing=*/true));
  EXPECT_FALSE(gate.Pending());
}

}  // namespace
}  // namespace tev
