#pragma once
// The sim-link port: TEV_SIM_PORT when it names a port, else the default. The demo and the
// altimeter-sim read the variable through this one parser, so that both ends agree on the port.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/UnsignedNumber.h"

namespace tev {

inline constexpr std::uint16_t kDefaultSimPort = 47001;

// A port number, 1 to 65535, or nothing.
template <class Text>
std::optional<std::uint16_t> ReadPort(const Text& text, NumberBase base = NumberBase::Decimal) {
  const auto value = ReadUnsigned(text, 0xFFFF, base);
  if (!value || *value == 0) return std::nullopt;
  return static_cast<std::uint16_t>(*value);
}

// text is the variable's value or null when it is not set: decimal, 1 to 65535. `problem` says why
// a value was not used (the default is returned then).
std::uint16_t ParseSimPort(const char* text, std::string& problem);

}  // namespace tev
