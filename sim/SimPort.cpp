#include "sim/SimPort.h"

namespace tev {

std::uint16_t ParseSimPort(const char* text, std::string& problem) {
  problem.clear();
  if (!text || !*text) return kDefaultSimPort;
  unsigned long value = 0;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9' || value > 65535) {
      value = 0;
      break;
    }
    value = value * 10 + static_cast<unsigned long>(*c - '0');
  }
  if (value == 0 || value > 65535) {
    problem = "TEV_SIM_PORT is not a port number: " + std::string(text) + "; using " + std::to_string(kDefaultSimPort) + ".";
    return kDefaultSimPort;
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace tev
