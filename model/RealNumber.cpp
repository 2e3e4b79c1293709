#include "model/RealNumber.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <sstream>
#include <string>

namespace tev {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The powers of ten a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// An exponent past this is out of any double's range whatever the digits; clamping it keeps the
// sums below from overflowing on "1e99999999999999999999".
constexpr long long kExponentBound = 100000;

struct Decimal {
  bool negative = false;
  std::uint64_t leading = 0;  // the first 15 significant digits: exact in a double
  int significant = 0;        // significant digits, the first non-zero one on
  long long scale = 0;        // value = leading * 10^scale, once no digit was dropped
};

// The text's digits, or nothing when it is not a number of the form above.
std::optional<Decimal> Parse(std::string_view text) {
  Decimal d;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) d.negative = text[i++] == '-';
  std::size_t mantissa = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (!IsDigit(c)) break;
    ++mantissa;
    if (d.significant == 0 && c == '0') {
      if (point) --d.scale;
      continue;
    }
    ++d.significant;
    if (d.significant <= 15) {
      d.leading = d.leading * 10 + static_cast<std::uint64_t>(c - '0');
      if (point) --d.scale;
    } else if (!point) {
      ++d.scale;  // a dropped digit before the point still counts for the magnitude
    }
  }
  if (mantissa == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t from = i;
    long long exponent = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
      if (exponent < kExponentBound) exponent = exponent * 10 + (text[i] - '0');
    if (i == from) return std::nullopt;
    d.scale += negative ? -exponent : exponent;
  }
  if (i != text.size()) return std::nullopt;
  return d;
}

// Any number of digits, rounded to the nearest double by the C library in the C locale.
std::optional<double> ConvertInClassicLocale(std::string_view text) {
  std::istringstream in{std::string(text)};
  in.imbue(std::locale::classic());
  double value = 0;
  in >> value;
  if (in.fail() || in.peek() != std::char_traits<char>::eof()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<double> ReadReal(std::string_view text) {
  const auto d = Parse(text);
  if (!d) return std::nullopt;
  const double sign = d->negative ? -1.0 : 1.0;
  if (d->significant == 0) return sign * 0.0;
  // Up to 15 digits and a power of ten a double holds: one correctly rounded operation on exact
  // operands, which is what almost every file holds.
  if (d->significant <= 15 && d->scale >= -22 && d->scale <= 22) {
    const double digits = static_cast<double>(d->leading);
    return sign * (d->scale < 0 ? digits / kExactPowers[-d->scale] : digits * kExactPowers[d->scale]);
  }
  // The power of ten of the first significant digit decides what is out of range.
  const long long magnitude = d->scale + (d->significant < 15 ? d->significant : 15) - 1;
  const double infinity = std::numeric_limits<double>::infinity();
  if (magnitude > 309) return sign * infinity;
  if (magnitude < -325) return sign * 0.0;
  const auto value = ConvertInClassicLocale(text);
  // The library refuses what it cannot hold; near the ends of the range that is all it refuses.
  if (!value) return magnitude > 0 ? sign * infinity : sign * 0.0;
  // Some libraries refuse a number below the normal range, others give it with fewer bits: a
  // zero everywhere reads the same file the same on every system.
  if (std::fabs(*value) < std::numeric_limits<double>::min()) return sign * 0.0;
  return value;
}

}  // namespace tev
