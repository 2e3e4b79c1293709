#include "model/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace tev {

std::string FormatReal(double value) {
  // The runtimes disagree on how they spell these; pick one spelling for both.
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";

  char text[64];
  std::snprintf(text, sizeof text, "%.6g", value);
  std::string out(text);

  const auto e = out.find_first_of("eE");
  if (e == std::string::npos) return out;

  // Rewrite the exponent with a sign and at least three digits, whatever the runtime gave.
  std::string mantissa = out.substr(0, e);
  std::size_t pos = e + 1;
  char sign = '+';
  if (pos < out.size() && (out[pos] == '+' || out[pos] == '-')) sign = out[pos++];
  std::string digits = out.substr(pos);
  const auto firstNonZero = digits.find_first_not_of('0');
  digits = firstNonZero == std::string::npos ? "0" : digits.substr(firstNonZero);
  while (digits.size() < 3) digits.insert(digits.begin(), '0');
  return mantissa + "e" + sign + digits;
}

std::string FormatHex(unsigned value, int minDigits) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  do {
    text.insert(text.begin(), digits[value & 0xF]);
    value >>= 4;
  } while (value != 0 || static_cast<int>(text.size()) < minDigits);
  return text;
}

std::wstring FormatRealW(double value) {
  const std::string narrow = FormatReal(value);
  return std::wstring(narrow.begin(), narrow.end());
}

}  // namespace tev
