#pragma once
// How a test waits for another thread or process: polls the condition until it holds or the time
// is up.
#include <chrono>
#include <functional>
#include <thread>

namespace tev::testing {

inline bool WaitUntil(unsigned long timeoutMs, const std::function<bool()>& condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace tev::testing
