#include "util/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lanereport {

std::string FormatFixed(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  if (!std::isfinite(value)) value = 0;
  // Fifteen significant digits: d.dddddddddddddde±x.
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
  std::string digits;
  const char* p = buffer;
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits += *p;
  }
  int exponent = std::atoi(p + 1);

  // The digits kept: those down to the last decimal. Position 0 of digits has the place value
  // 10^exponent.
  int kept = exponent + 1 + decimals;
  std::string result;  // the kept digits, the last one having the place value 10^-decimals
  if (kept < 0) {
    result = "0";
  } else {
    if (kept < static_cast<int>(digits.size())) {
      bool up = digits[static_cast<std::size_t>(kept)] >= '5';
      result = digits.substr(0, static_cast<std::size_t>(kept));
      if (up) {
        int i = static_cast<int>(result.size()) - 1;
        for (; i >= 0 && result[static_cast<std::size_t>(i)] == '9'; --i) {
          result[static_cast<std::size_t>(i)] = '0';
        }
        if (i >= 0) {
          ++result[static_cast<std::size_t>(i)];
        } else {
          result.insert(result.begin(), '1');
        }
      }
    } else {
      result = digits + std::string(static_cast<std::size_t>(kept) - digits.size(), '0');
    }
    if (result.empty()) result = "0";
  }
  // At least one integer digit and no leading zeros before it.
  std::size_t fraction = static_cast<std::size_t>(decimals);
  if (result.size() < fraction + 1) result.insert(0, fraction + 1 - result.size(), '0');
  std::size_t leading = 0;
  while (result.size() - leading > fraction + 1 && result[leading] == '0') ++leading;
  result.erase(0, leading);
  std::size_t integer_digits = result.size() - fraction;
  bool zero = result.find_first_not_of('0') == std::string::npos;
  std::string text = (value < 0 && !zero) ? "-" : "";
  text += result.substr(0, integer_digits);
  if (decimals > 0) text += "." + result.substr(integer_digits);
  return text;
}

std::string FormatFixed1(double value) {
  return FormatFixed(value, 1);
}

double RoundFixed1(double value) {
  return std::strtod(FormatFixed1(value).c_str(), nullptr);
}

}  // namespace lanereport
