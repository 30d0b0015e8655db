#pragma once

#include <string>

namespace lanereport {

// A number written with the format "#0.0": one decimal, halves rounded away from zero
// (150.25 gives "150.3", 149.96 gives "150.0", -0.25 gives "-0.3").
std::string FormatFixed1(double value);

}  // namespace lanereport
