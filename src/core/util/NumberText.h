#pragma once

#include <string>

namespace lanereport {

// Decimal texts of the kind the pages and sheets show with the format "#0.0": at least one
// integer digit and exactly the given number of decimals. The value is first cut to 15
// significant digits, then rounded half away from zero, so 150.25 gives "150.3", 149.96 gives
// "150.0" and 1.15 gives "1.2". A result of zero carries no sign. Not-a-number and infinities
// give "0" followed by the decimals.
std::string FormatFixed(double value, int decimals);

// FormatFixed(value, 1): the format "#0.0".
std::string FormatFixed1(double value);

// The number that FormatFixed1 shows, read back: 149.96 gives 150.0. Callers colour averages by
// this value so that the colour agrees with the text.
double RoundFixed1(double value);

}  // namespace lanereport
