#pragma once
// Real-to-integer conversion that cannot fault: an undefined altitude (not a number) or a value
// beyond the 32-bit range would otherwise be undefined behaviour in a plain cast.
#include <cmath>
#include <cstdint>
#include <limits>

namespace tev {

// Truncates toward zero; NaN gives 0, values beyond the range give its nearest end.
inline std::int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace tev
