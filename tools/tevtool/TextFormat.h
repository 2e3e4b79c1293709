#pragma once
#include <string>

namespace tev::tool {

// A figure rounded to a fixed number of decimals, as people read them in a report ("592.8");
// "unknown" for what is not a number. Never "-0.0".
std::string Fixed(double value, int decimals);

// A name (UTF-8) set apart in a text between the marks that isolate it from the text's direction,
// so that a name holding a right-to-left override turns only itself around, never the words after
// it. (A web page's own text uses <bdi> instead.)
std::string Isolated(const std::string& name);

}  // namespace tev::tool
