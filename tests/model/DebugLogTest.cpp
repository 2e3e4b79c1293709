#include "model/DebugLog.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace tev {
namespace {

TEST(DebugLog, LinesFromTwoThreadsNeverMix) {
  std::string collected;
  auto previous = SetDebugLogSink([&](std::string_view line) {
    // Written in two steps on purpose: only the log's own lock keeps a line whole.
    collected.append(line.substr(0, line.size() / 2));
    std::this_thread::yield();
    collected.append(line.substr(line.size() / 2));
    collected.push_back('\n');
  });
  auto writer = [](char c) {
    for (int i = 0; i < 500; ++i) DebugLog(std::string(40, c));
  };
  std::thread a(writer, 'a'), b(writer, 'b');
  a.join();
  b.join();
  SetDebugLogSink(std::move(previous));

  std::size_t lines = 0, start = 0;
  for (std::size_t end; (end = collected.find('\n', start)) != std::string::npos; start = end + 1, ++lines) {
    const std::string line = collected.substr(start, end - start);
    ASSERT_TRUE(line == std::string(40, 'a') || line == std::string(40, 'b')) << line;
  }
  EXPECT_EQ(lines, 1000u);
}

TEST(DebugLog, SilencedLogWritesNothingAndSaysSo) {
  auto previous = SetDebugLogSink({});
  EXPECT_FALSE(DebugLogEnabled());
  DebugLog("nobody hears this");
  SetDebugLogSink(std::move(previous));
  EXPECT_TRUE(DebugLogEnabled());
}

}  // namespace
}  // namespace tev
