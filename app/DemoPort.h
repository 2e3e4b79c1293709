#pragma once
// The sim-link port of the demo build: TEV_SIM_PORT when it names a port, else the default.
#include <cstdint>
#include <string>

namespace tev {

inline constexpr std::uint16_t kDefaultSimPort = 47001;

// text is the variable's value or null when it is not set; `problem` says why a value was not used.
std::uint16_t ParseSimPort(const char* text, std::string& problem);

}  // namespace tev
