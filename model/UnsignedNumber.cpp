#include "model/UnsignedNumber.h"

namespace tev {
namespace {

template <class Char>
int DigitValue(Char c, unsigned radix) {
  if (c >= '0' && c <= '9') return c - '0';
  if (radix == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (radix == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

template <class Char>
std::optional<std::uint64_t> Read(std::basic_string_view<Char> text, std::uint64_t max, NumberBase base) {
  unsigned radix = 10;
  if (base == NumberBase::DecimalOrHex && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    radix = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (Char c : text) {
    const int digit = DigitValue(c, radix);
    // Checked before it is added, so that no number of digits can wrap round past the bound.
    if (digit < 0 || static_cast<std::uint64_t>(digit) > max ||
        value > (max - static_cast<std::uint64_t>(digit)) / radix) return std::nullopt;
    value = value * radix + static_cast<std::uint64_t>(digit);
  }
  return value;
}

}  // namespace

std::optional<std::uint64_t> ReadUnsigned(std::string_view text, std::uint64_t max, NumberBase base) {
  return Read(text, max, base);
}

std::optional<std::uint64_t> ReadUnsigned(std::wstring_view text, std::uint64_t max, NumberBase base) {
  return Read(text, max, base);
}

}  // namespace tev
