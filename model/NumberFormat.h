#pragma once
// Every real number the program shows or writes goes through here, so that the Windows build
// and the native build produce the same text: 6 significant digits, %g rules, trailing zeros
// dropped, and an exponent of at least three digits (2.5e-005), as Windows' own runtime prints it.
#include <string>

namespace tev {

std::string FormatReal(double value);
std::wstring FormatRealW(double value);

// Lower-case hexadecimal without prefix, padded with zeros to at least minDigits.
std::string FormatHex(unsigned value, int minDigits = 1);

}  // namespace tev
