#pragma once
// Real numbers as files written by other programs hold them: an optional sign, decimal digits
// with a decimal point anywhere among them, an optional exponent ("-12.5", "+.5", "1e3"). Read
// as the C locale reads them, whatever the user's: the point is '.', never ','. No spaces, no
// second sign, no "nan" or "inf", no hexadecimal. The nearest double to the text; beyond a
// double's range it is an infinity of its sign, below its normal range (about 2.2e-308) a zero
// of its sign, the same on every system.
#include <optional>
#include <string_view>

namespace tev {

std::optional<double> ReadReal(std::string_view text);

}  // namespace tev
