#include "util/NumberFormat.h"

#include <cmath>
#include <cstdio>

namespace lanereport {

std::string FormatFixed1(double value) {
  // Round on the decimal text of the value, so 150.25 (stored a little below) still rounds up.
  char exact[64];
  std::snprintf(exact, sizeof exact, "%.10f", std::fabs(value));
  double tenths = std::floor(std::strtod(exact, nullptr) * 10.0 + 0.5 + 1e-7);
  char out[64];
  std::snprintf(out, sizeof out, "%s%.1f", value < 0 && tenths > 0 ? "-" : "", tenths / 10.0);
  return out;
}

}  // namespace lanereport
