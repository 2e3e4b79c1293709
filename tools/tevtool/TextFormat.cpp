#include "tools/tevtool/TextFormat.h"

#include <cmath>
#include <cstdio>

namespace tev::tool {

std::string Fixed(double value, int decimals) {
  if (!std::isfinite(value)) return "unknown";
  char text[64];
  // Both runtimes print %f alike; only exponents differ between them, and %f has none.
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string out(text);
  if (out.front() == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
  return out;
}

std::string Isolated(const std::string& name) { return "\u2068" + name + "\u2069"; }

}  // namespace tev::tool
