#include "util/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace lanereport {

std::string FixedText(double value, int decimals) {
  char buffer[400];  // the widest double written in full, with its decimals
  if (std::isfinite(value)) {
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error == std::errc()) return std::string(buffer, end);
  }
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

std::string FormatFixed1(double value) {
  // Round on the decimal text of the value, so 150.25 (stored a little below) still rounds up.
  const std::string exact = FixedText(std::fabs(value), 10);
  double read = 0;
  if (std::from_chars(exact.data(), exact.data() + exact.size(), read).ec != std::errc())
    read = std::strtod(exact.c_str(), nullptr);  // not a plain number (nan, inf)
  double tenths = std::floor(read * 10.0 + 0.5 + 1e-7);
  return (value < 0 && tenths > 0 ? "-" : "") + FixedText(tenths / 10.0, 1);
}

}  // namespace lanereport
