#include "util/DataChange.h"

#include "util/Cp932.h"
#include "util/StringUtil.h"

namespace lanereport {

Value NullToValue(const Value& value, bool numeric) {
  if (numeric) {
    if (auto n = value.Number()) return Value(*n);
    return Value(0);
  }
  if (value.IsNull()) return Value("");
  return Value(std::string(Trim(value.Text())));
}

std::string HtmlColorToVb(std::string_view html) {
  std::string upper = ToUpperAscii(html);
  if (upper.size() != 7 || upper[0] != '#') return "";
  for (std::size_t i = 1; i < 7; ++i) {
    char c = upper[i];
    bool digit = c >= '0' && c <= '9';
    bool hex_letter = c >= 'A' && c <= 'F';
    if (!digit && !hex_letter) return "";
  }
  return "&H" + upper.substr(5, 2) + upper.substr(3, 2) + upper.substr(1, 2);
}

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
  if (find.empty()) return std::string(text);
  std::string out;
  std::size_t start = 0;
  while (true) {
    std::size_t pos = text.find(find, start);
    if (pos == std::string_view::npos) break;
    out.append(text.substr(start, pos - start));
    out.append(replacement);
    start = pos + find.size();
  }
  out.append(text.substr(start));
  return out;
}

std::string PasswordShift(std::string_view mode, std::string_view text) {
  int shift = 0;
  if (EqualsIgnoreCase(mode, "SET"))
    shift = -15;
  else if (EqualsIgnoreCase(mode, "RESET"))
    shift = 15;
  else
    return "";
  std::string out;
  for (char32_t cp : DecodeUtf8(text)) {
    long shifted = static_cast<long>(cp) + shift;
    // A character that would fall below code 0 is kept as it is.
    out += EncodeUtf8(shifted < 0 ? cp : static_cast<char32_t>(shifted));
  }
  return out;
}

}  // namespace lanereport
