#pragma once
// Reading single figures out of tevtool stats --json in tests. (Whether the output is valid JSON
// is checked by a real parser in the command-line test.)
#include <cstdlib>
#include <stdexcept>
#include <optional>
#include <string>

namespace tev::testing {

// The number under key, looked for after the key `within` when given; empty for null.
// Fails the lookup (throws) when the key is missing, so a renamed key cannot pass as null.
inline std::optional<double> JsonField(const std::string& json, const std::string& key,
                                       const std::string& within = "") {
  std::size_t from = 0;
  if (!within.empty()) {
    from = json.find("\"" + within + "\":");
    if (from == std::string::npos) throw std::runtime_error("no " + within + " in " + json);
  }
  const std::string quoted = "\"" + key + "\":";
  const std::size_t at = json.find(quoted, from);
  if (at == std::string::npos) throw std::runtime_error("no " + key + " in " + json);
  const std::size_t valueAt = at + quoted.size();
  if (json.compare(valueAt, 4, "null") == 0) return std::nullopt;
  const char* value = json.c_str() + valueAt;
  char* end = nullptr;
  const double number = std::strtod(value, &end);
  if (end == value) throw std::runtime_error("not a number: " + key + " in " + json);
  return number;
}

}  // namespace tev::testing
