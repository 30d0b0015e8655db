#pragma once

#include <string>

namespace lanereport {

// A number written with the format "#0.0": one decimal, halves rounded away from zero
// (150.25 gives "150.3", 149.96 gives "150.0", -0.25 gives "-0.3").
std::string FormatFixed1(double value);

// The value with the given number of decimals, exactly as printf's "%.*f" writes it (the
// decimal nearest the stored value, ties to even), without its cost.
std::string FixedText(double value, int decimals);

}  // namespace lanereport
