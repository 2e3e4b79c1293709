#pragma once
// The firmware update's progress in steps of ten percent. The last step shown is remembered for
// the whole process and never reset, so a step equal to it is not shown again: the first update
// of a process shows no 0% line, a later one shows it only when the update before stopped at
// another step.
#include <atomic>
#include <optional>
#include <string>

namespace tev {

// The last step shown; 0 when the process starts. Written by whichever worker runs an update.
extern std::atomic<int> lastProgressStep;

// Percent done before block b of 0..n: b * 100 / n, or 100 when n is 0.
int ProgressPercent(int blockIndex, int highestBlockIndex);

// Logs the percent and, when its step differs from the last one shown, remembers the step and
// gives its status line ("30%\r\n").
std::optional<std::wstring> ProgressLine(int blockIndex, int highestBlockIndex);

}  // namespace tev
