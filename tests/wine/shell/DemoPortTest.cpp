#include "app/DemoPort.h"

#include <gtest/gtest.h>

namespace tev {
namespace {

TEST(DemoPort, TakesAPortFromTheVariableAndOtherwiseTheDefaultWithAReason) {
  const struct {
    const char* text;
    std::uint16_t port;
    bool problem;
  } cases[] = {
      {nullptr, 47001, false}, {"", 47001, false},      {"47123", 47123, false}, {"1", 1, false},
      {"65535", 65535, false}, {"0", 47001, true},      {"65536", 47001, true},  {"-5", 47001, true},
      {"12ab", 47001, true},   {" 4700", 47001, true},  {"99999999999999999999", 47001, true},
  };
  for (const auto& c : cases) {
    std::string problem;
    EXPECT_EQ(ParseSimPort(c.text, problem), c.port) << (c.text ? c.text : "(unset)");
    EXPECT_EQ(!problem.empty(), c.problem) << (c.text ? c.text : "(unset)");
  }
}

}  // namespace
}  // namespace tev
