#include "util/DateText.h"

#include <cstdio>

#include "util/StringUtil.h"

namespace lanereport {

bool IsValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  int last = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
  return day <= last;
}

std::optional<std::string> ParseDateToYmd(std::string_view text) {
  text = Trim(text);
  int y = 0, m = 0, d = 0;
  if (text.size() == 8 && text.find_first_not_of("0123456789") == std::string_view::npos) {
    y = static_cast<int>(*ParseInteger(text.substr(0, 4)));
    m = static_cast<int>(*ParseInteger(text.substr(4, 2)));
    d = static_cast<int>(*ParseInteger(text.substr(6, 2)));
  } else {
    char sep = text.find('/') != std::string_view::npos ? '/' : '-';
    std::vector<std::string> parts = Split(text, sep);
    if (parts.size() != 3) return std::nullopt;
    for (const std::string& p : parts) {
      if (p.empty() || p.size() > 4 || p.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    }
    if (parts[0].size() != 4) return std::nullopt;
    y = static_cast<int>(*ParseInteger(parts[0]));
    m = static_cast<int>(*ParseInteger(parts[1]));
    d = static_cast<int>(*ParseInteger(parts[2]));
  }
  if (!IsValidDate(y, m, d)) return std::nullopt;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", y, m, d);
  return std::string(buffer);
}

std::string YmdToSlashed(std::string_view ymd) {
  if (ymd.size() < 8) return std::string(ymd);
  return std::string(ymd.substr(0, 4)) + "/" + std::string(ymd.substr(4, 2)) + "/" +
         std::string(ymd.substr(6, 2));
}

}  // namespace lanereport
