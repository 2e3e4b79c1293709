#include "sim/SimPort.h"

namespace tev {

std::uint16_t ParseSimPort(const char* text, std::string& problem) {
  problem.clear();
  if (!text || !*text) return kDefaultSimPort;
  if (const auto port = ReadPort(std::string_view(text))) return *port;
  problem = "TEV_SIM_PORT is not a port number: " + std::string(text) + "; using " + std::to_string(kDefaultSimPort) + ".";
  return kDefaultSimPort;
}

}  // namespace tev
