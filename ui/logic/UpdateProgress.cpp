#include "ui/logic/UpdateProgress.h"

#include "model/DebugLog.h"

namespace tev {

std::atomic<int> lastProgressStep{0};

int ProgressPercent(int blockIndex, int highestBlockIndex) {
  if (highestBlockIndex == 0) return 100;
  // In 64 bits: the block index times 100 must not overflow.
  return static_cast<int>(static_cast<long long>(blockIndex) * 100 / highestBlockIndex);
}

std::optional<std::wstring> ProgressLine(int blockIndex, int highestBlockIndex) {
  const int percent = ProgressPercent(blockIndex, highestBlockIndex);
  DebugLog(std::to_string(percent));
  const int step = percent / 10 * 10;
  if (lastProgressStep.exchange(step) == step) return std::nullopt;
  return std::to_wstring(step) + L"%\r\n";
}

}  // namespace tev
