#pragma once
// DebugLog in tests: LogCapture collects the lines for the life of the object, QuietLog drops
// them (for tests that make the log noisy on purpose).
#include <mutex>
#include <string>
#include <vector>

#include "model/DebugLog.h"

namespace tev {

class LogCapture {
 public:
  LogCapture() {
    previous_ = SetDebugLogSink([this](std::string_view line) {
      std::lock_guard lock(mutex_);
      lines_.emplace_back(line);
    });
  }
  ~LogCapture() { SetDebugLogSink(std::move(previous_)); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<std::string> Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
  DebugLogSink previous_;
};

class QuietLog {
 public:
  QuietLog() : previous_(SetDebugLogSink({})) {}
  ~QuietLog() { SetDebugLogSink(std::move(previous_)); }
  QuietLog(const QuietLog&) = delete;
  QuietLog& operator=(const QuietLog&) = delete;

 private:
  DebugLogSink previous_;
};

}  // namespace tev
