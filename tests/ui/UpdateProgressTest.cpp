#include "ui/logic/UpdateProgress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/LogCapture.h"

namespace tev {
namespace {

using Texts = std::vector<std::wstring>;

// The lines an update of blocks 0..n shows, when it stops before block `stopBefore`.
Texts Update(int n, int stopBefore) {
  Texts lines;
  for (int b = 0; b <= n && b < stopBefore; ++b) {
    if (auto line = ProgressLine(b, n)) lines.push_back(*line);
  }
  return lines;
}

TEST(UpdateProgress, PercentOfTheBlocksBeforeThisOne) {
  EXPECT_EQ(ProgressPercent(0, 20), 0);
  EXPECT_EQ(ProgressPercent(3, 20), 15);
  EXPECT_EQ(ProgressPercent(20, 20), 100);
  EXPECT_EQ(ProgressPercent(1, 3), 33);
  EXPECT_EQ(ProgressPercent(0, 0), 100) << "a single block";
  EXPECT_EQ(ProgressPercent(1023, 1024), 99);
}

// The last step shown lives as long as the process and nothing resets it, so the order of the
// updates below matters: they run in one test, in this order, and no other test of this program
// shows progress. The first update must come first.
TEST(UpdateProgress, StepsOfTenPercentEachOnceAndZeroOnlyAfterAnUpdateThatStoppedElsewhere) {
  ASSERT_EQ(lastProgressStep.load(), 0) << "another test showed progress before this one";
  LogCapture log;
  const Texts tenToHundred = {L"10%\r\n", L"20%\r\n", L"30%\r\n", L"40%\r\n", L"50%\r\n",
                              L"60%\r\n", L"70%\r\n", L"80%\r\n", L"90%\r\n", L"100%\r\n"};
  EXPECT_EQ(Update(20, 100), tenToHundred) << "the first update of the process shows no 0%";
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 21u) << "one percent line per block";
  EXPECT_EQ(lines[3], "15");

  Texts zeroToHundred = tenToHundred;
  zeroToHundred.insert(zeroToHundred.begin(), L"0%\r\n");
  EXPECT_EQ(Update(20, 100), zeroToHundred) << "the one before ended at 100%";

  EXPECT_EQ(Update(20, 7), (Texts{L"0%\r\n", L"10%\r\n", L"20%\r\n", L"30%\r\n"})) << "stops in block 6";
  EXPECT_EQ(Update(20, 100), zeroToHundred) << "the one before stopped at 30%";

  EXPECT_EQ(Update(30, 3), (Texts{L"0%\r\n"})) << "stops at 6%";
  EXPECT_EQ(Update(30, 100).front(), L"10%\r\n") << "the one before stopped at 0%: no 0% line";

  EXPECT_EQ(Update(0, 100), Texts{}) << "one block, already at 100%";
}

}  // namespace
}  // namespace tev
