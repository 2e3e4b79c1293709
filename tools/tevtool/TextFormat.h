#pragma once
#include <string>

namespace tev::tool {

// A figure rounded to a fixed number of decimals, as people read them in a report ("592.8");
// "unknown" for what is not a number. Never "-0.0".
std::string Fixed(double value, int decimals);

}  // namespace tev::tool
