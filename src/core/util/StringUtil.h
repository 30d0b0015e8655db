#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanereport {

// Removes leading and trailing spaces (other white space and the full-width space stay).
// Inline: every stored text read and compared goes through it.
inline std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view text, std::string_view prefix);

// A whole decimal number (blanks around allowed, an optional sign, no other characters).
std::optional<long long> ParseInteger(std::string_view text);
// A number as a text reads: integers, decimals and exponents, blanks around allowed.
std::optional<double> ParseNumber(std::string_view text);

// Splits at every occurrence of the separator.
std::vector<std::string> Split(std::string_view text, char separator);

// One key of several texts, each preceded by its length, so that no two lists of texts share a
// key whatever characters they hold.
std::string JoinedKey(std::initializer_list<std::string_view> parts);

}  // namespace lanereport
