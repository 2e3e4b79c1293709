#include "sim/SimPort.h"

#include <gtest/gtest.h>

#include "tools/altimeter-sim/AltimeterSimOptions.h"

namespace tev {
namespace {

// The demo listens where ParseSimPort says and the altimeter-sim connects where its options say:
// for every value of TEV_SIM_PORT both must take the same port or both refuse it.
TEST(SimPort, TheDemoAndTheAltimeterSimTakeOrRefuseTheVariableAlike) {
  const struct {
    const char* text;
    std::uint16_t port;
    bool problem;
  } cases[] = {
      {nullptr, 47001, false}, {"", 47001, false},      {"47123", 47123, false}, {"1", 1, false},
      {"65535", 65535, false}, {"0", 47001, true},      {"65536", 47001, true},  {"-5", 47001, true},
      {"12ab", 47001, true},   {" 4700", 47001, true},  {"99999999999999999999", 47001, true},
      {"0xB000", 47001, true}, {"0XB000", 47001, true}, {"047001", 47001, false},
  };
  for (const auto& c : cases) {
    const char* label = c.text ? c.text : "(unset)";
    std::string problem;
    EXPECT_EQ(ParseSimPort(c.text, problem), c.port) << label;
    EXPECT_EQ(!problem.empty(), c.problem) << label;

    const AltimeterSimOptions sim = ParseAltimeterSimOptions({}, c.text);
    EXPECT_EQ(!sim.error.empty(), c.problem) << label;
    if (!c.problem) EXPECT_EQ(sim.port, c.port) << label;
    else EXPECT_EQ(sim.error, "TEV_SIM_PORT is not a port number: " + std::string(c.text)) << label;
  }
}

TEST(SimPort, TheDemoSaysWhichPortItUsesInstead) {
  std::string problem;
  ParseSimPort("0xB000", problem);
  EXPECT_EQ(problem, "TEV_SIM_PORT is not a port number: 0xB000; using 47001.");
}

}  // namespace
}  // namespace tev
