#pragma once
// Unsigned numbers as people type them on command lines and in environment variables: digits
// only (no sign, no space), at most `max`; "0x"/"0X" hexadecimal only where the caller takes it
// (version words and ids are written that way). Leading zeros are decimal, never octal.
#include <cstdint>
#include <optional>
#include <string_view>

namespace tev {

enum class NumberBase { Decimal, DecimalOrHex };

std::optional<std::uint64_t> ReadUnsigned(std::string_view text, std::uint64_t max, NumberBase base = NumberBase::Decimal);
std::optional<std::uint64_t> ReadUnsigned(std::wstring_view text, std::uint64_t max, NumberBase base = NumberBase::Decimal);

}  // namespace tev
