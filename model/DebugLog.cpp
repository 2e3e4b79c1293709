#include "model/DebugLog.h"

#include <cstdio>
#include <mutex>

namespace tev {
namespace {

std::mutex& LogMutex() {
  static std::mutex m;
  return m;
}

DebugLogSink& CurrentSink() {
  static DebugLogSink sink = StandardOutputSink();
  return sink;
}

}  // namespace

DebugLogSink StandardOutputSink() {
  return [](std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  };
}

void DebugLog(std::string_view line) {
  // The lock spans the whole write so that two threads' lines never mix.
  std::lock_guard lock(LogMutex());
  if (CurrentSink()) CurrentSink()(line);
}

DebugLogSink SetDebugLogSink(DebugLogSink sink) {
  std::lock_guard lock(LogMutex());
  DebugLogSink previous = std::move(CurrentSink());
  CurrentSink() = std::move(sink);
  return previous;
}

bool DebugLogEnabled() {
  std::lock_guard lock(LogMutex());
  return static_cast<bool>(CurrentSink());
}

}  // namespace tev
