#include "workbook/xlsx/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <tuple>
#include <vector>

#include "util/StringUtil.h"

namespace lanereport {
namespace {

// ---- decimal digits -------------------------------------------------------------------

// |value| cut to 15 significant digits: |value| = 0.d1d2d3... x 10^exponent. digits has no
// leading and no trailing zeros; it is empty for zero.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

Decimal ToDecimal(double value) {
  Decimal d;
  value = std::fabs(value);
  if (value == 0 || !std::isfinite(value)) return d;
  char buf[64];
  auto result = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::scientific, 14);
  std::string_view text(buf, static_cast<std::size_t>(result.ptr - buf));  // d.dddddddddddddde+XX
  auto e = text.find('e');
  d.digits += text[0];
  d.digits += text.substr(2, e - 2);
  d.exponent = std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// The value rounded to frac decimals, half away from zero: the whole part's digits ("" for
// zero) and exactly frac decimal digits.
void RoundDecimal(Decimal d, int frac, std::string& whole, std::string& decimals) {
  std::string& all = d.digits;
  int keep = d.exponent + frac;
  if (keep < 0) {
    all.clear();
  } else if (static_cast<std::size_t>(keep) < all.size()) {
    bool up = all[static_cast<std::size_t>(keep)] >= '5';
    all.resize(static_cast<std::size_t>(keep));
    if (up) {
      int i = keep - 1;
      while (i >= 0 && all[static_cast<std::size_t>(i)] == '9')
        all[static_cast<std::size_t>(i--)] = '0';
      if (i >= 0) {
        ++all[static_cast<std::size_t>(i)];
      } else {
        all.insert(all.begin(), '1');
        ++d.exponent;
      }
    }
  }
  whole.clear();
  if (d.exponent > 0 && !all.empty()) {
    for (int i = 0; i < d.exponent; ++i) {
      whole += static_cast<std::size_t>(i) < all.size() ? all[static_cast<std::size_t>(i)] : '0';
    }
    std::size_t nonzero = whole.find_first_not_of('0');
    whole = nonzero == std::string::npos ? std::string() : whole.substr(nonzero);
  }
  decimals.assign(static_cast<std::size_t>(std::max(frac, 0)), '0');
  for (int i = 0; i < frac; ++i) {
    int index = d.exponent + i;
    if (index >= 0 && static_cast<std::size_t>(index) < all.size()) {
      decimals[static_cast<std::size_t>(i)] = all[static_cast<std::size_t>(index)];
    }
  }
}

std::string GroupThousands(const std::string& digits) {
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

// ---- format code tokens ---------------------------------------------------------------

enum class Tok {
  kLiteral,
  kDigit,  // 0 # ?
  kPoint,
  kComma,
  kPercent,
  kExponent,  // text "+" or "-"
  kDate,      // text: the lower-case run ("yyyy", "m", "aaa", "ggg", "e", ...)
  kElapsed,   // text: "h", "m" or "s"
  kAmPm,      // text "AM/PM" or "A/P"
  kText,      // @
  kGeneral,
};

struct Token {
  Tok kind;
  std::string text;
};

struct Section {
  std::vector<Token> tokens;
  std::string color;
  std::optional<std::pair<std::string, double>> condition;  // operator, operand
  bool is_date = false;
  bool has_digits = false;
  bool has_text = false;
  bool has_general = false;
  bool is_fraction = false;
};

std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead >> 5) == 6) return 2;
  if ((lead >> 4) == 14) return 3;
  if ((lead >> 3) == 30) return 4;
  return 1;
}

std::string ColorOf(std::string_view name) {
  static const std::pair<const char*, const char*> kColors[] = {
      {"black", "#000000"},   {"blue", "#0000FF"}, {"cyan", "#00FFFF"},  {"green", "#00FF00"},
      {"magenta", "#FF00FF"}, {"red", "#FF0000"},  {"white", "#FFFFFF"}, {"yellow", "#FFFF00"}};
  std::string lower = ToLowerAscii(name);
  for (const auto& [key, css] : kColors) {
    if (lower == key) return css;
  }
  return "";
}

void AddLiteral(Section& section, std::string_view text) {
  if (!section.tokens.empty() && section.tokens.back().kind == Tok::kLiteral) {
    section.tokens.back().text += text;
  } else {
    section.tokens.push_back({Tok::kLiteral, std::string(text)});
  }
}

void ParseBracket(Section& section, std::string_view content) {
  if (content.empty()) return;
  if (content.front() == '$') {
    // [$¥-411]: the currency text before the locale.
    std::string_view symbol = content.substr(1);
    symbol = symbol.substr(0, symbol.find('-'));
    if (!symbol.empty()) AddLiteral(section, symbol);
    return;
  }
  std::string lower = ToLowerAscii(content);
  if (!ColorOf(lower).empty()) {
    section.color = ColorOf(lower);
    return;
  }
  if (lower.find_first_not_of('h') == std::string::npos ||
      lower.find_first_not_of('m') == std::string::npos ||
      lower.find_first_not_of('s') == std::string::npos) {
    section.tokens.push_back({Tok::kElapsed, std::string(1, lower[0])});
    section.is_date = true;
    return;
  }
  if (content.front() == '<' || content.front() == '>' || content.front() == '=') {
    std::size_t op_len = 1;
    if (content.size() > 1 && (content[1] == '=' || content[1] == '>')) op_len = 2;
    if (auto number = ParseNumber(content.substr(op_len))) {
      section.condition = std::make_pair(std::string(content.substr(0, op_len)), *number);
    }
  }
  // Anything else ([DBNum1], [ColorN], ...) does not change the text.
}

Section ParseSection(std::string_view code) {
  Section section;
  std::size_t i = 0;
  auto lower_at = [&](std::size_t k) -> char {
    char c = k < code.size() ? code[k] : '\0';
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  };
  while (i < code.size()) {
    char c = code[i];
    char lc = lower_at(i);
    if (c == '"') {
      auto end = code.find('"', i + 1);
      if (end == std::string_view::npos) end = code.size();
      AddLiteral(section, code.substr(i + 1, end - i - 1));
      i = end + 1;
    } else if (c == '\\' || c == '!') {
      if (i + 1 < code.size()) {
        std::size_t len = Utf8Length(static_cast<unsigned char>(code[i + 1]));
        AddLiteral(section, code.substr(i + 1, len));
        i += 1 + len;
      } else {
        ++i;
      }
    } else if (c == '_') {
      AddLiteral(section, " ");
      i += i + 1 < code.size() ? 1 + Utf8Length(static_cast<unsigned char>(code[i + 1])) : 1;
    } else if (c == '*') {
      i += i + 1 < code.size() ? 1 + Utf8Length(static_cast<unsigned char>(code[i + 1])) : 1;
    } else if (c == '[') {
      auto end = code.find(']', i + 1);
      if (end == std::string_view::npos) end = code.size();
      ParseBracket(section, code.substr(i + 1, end - i - 1));
      i = end + 1;
    } else if (c == '0' || c == '#' || c == '?') {
      section.tokens.push_back({Tok::kDigit, std::string(1, c)});
      section.has_digits = true;
      ++i;
    } else if (c == '.') {
      section.tokens.push_back({Tok::kPoint, "."});
      ++i;
    } else if (c == ',') {
      section.tokens.push_back({Tok::kComma, ","});
      ++i;
    } else if (c == '%') {
      section.tokens.push_back({Tok::kPercent, "%"});
      ++i;
    } else if (c == '@') {
      section.tokens.push_back({Tok::kText, "@"});
      section.has_text = true;
      ++i;
    } else if (lc == 'e' && (i + 1 < code.size()) && (code[i + 1] == '+' || code[i + 1] == '-')) {
      section.tokens.push_back({Tok::kExponent, std::string(1, code[i + 1])});
      i += 2;
    } else if (lc == 'g' && ToLowerAscii(code.substr(i, 7)) == "general") {
      section.tokens.push_back({Tok::kGeneral, ""});
      section.has_general = true;
      i += 7;
    } else if (lc == 'a' && ToLowerAscii(code.substr(i, 5)) == "am/pm") {
      section.tokens.push_back({Tok::kAmPm, "AM/PM"});
      section.is_date = true;
      i += 5;
    } else if (lc == 'a' && ToLowerAscii(code.substr(i, 3)) == "a/p") {
      section.tokens.push_back({Tok::kAmPm, "A/P"});
      section.is_date = true;
      i += 3;
    } else if (lc == 'y' || lc == 'm' || lc == 'd' || lc == 'h' || lc == 's' || lc == 'g' ||
               lc == 'e' || (lc == 'a' && lower_at(i + 1) == 'a' && lower_at(i + 2) == 'a')) {
      std::size_t end = i;
      while (end < code.size() && lower_at(end) == lc) ++end;
      section.tokens.push_back({Tok::kDate, std::string(end - i, lc)});
      section.is_date = true;
      i = end;
    } else if (c == '/' && section.has_digits && !section.is_date) {
      section.is_fraction = true;
      AddLiteral(section, "/");
      ++i;
    } else {
      std::size_t len = Utf8Length(static_cast<unsigned char>(c));
      AddLiteral(section, code.substr(i, len));
      i += len;
    }
  }
  return section;
}

std::vector<std::string_view> SplitSections(std::string_view code) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  bool quoted = false;
  bool bracket = false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    char c = code[i];
    if (quoted) {
      if (c == '"') quoted = false;
    } else if (bracket) {
      if (c == ']') bracket = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == '[') {
      bracket = true;
    } else if (c == '\\') {
      ++i;
    } else if (c == ';') {
      parts.push_back(code.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(code.substr(start));
  return parts;
}

bool ConditionHolds(const std::pair<std::string, double>& condition, double value) {
  const auto& [op, operand] = condition;
  if (op == "<") return value < operand;
  if (op == "<=") return value <= operand;
  if (op == ">") return value > operand;
  if (op == ">=") return value >= operand;
  if (op == "<>") return value != operand;
  return value == operand;
}

// ---- numbers --------------------------------------------------------------------------

std::string FormatScientific(double value, const std::vector<Token>& tokens) {
  // Mantissa placeholders before and after the point, exponent sign and digits.
  int whole_places = 0;
  int frac_places = 0;
  int exp_places = 0;
  bool after_point = false;
  bool after_exp = false;
  bool engineering = false;
  std::string exp_sign;
  for (const Token& t : tokens) {
    if (t.kind == Tok::kExponent) {
      after_exp = true;
      exp_sign = t.text;
    } else if (t.kind == Tok::kPoint && !after_exp) {
      after_point = true;
    } else if (t.kind == Tok::kDigit) {
      if (after_exp) {
        ++exp_places;
      } else if (after_point) {
        ++frac_places;
      } else {
        ++whole_places;
        if (t.text == "#") engineering = true;
      }
    }
  }
  whole_places = std::max(whole_places, 1);
  double magnitude = std::fabs(value);
  int exponent = 0;
  if (magnitude != 0) {
    int order = static_cast<int>(std::floor(std::log10(magnitude)));
    if (engineering && whole_places > 1) {
      exponent =
          static_cast<int>(std::floor(static_cast<double>(order) / whole_places)) * whole_places;
    } else {
      exponent = order - (whole_places - 1);
    }
  }
  std::string whole;
  std::string decimals;
  RoundDecimal(ToDecimal(magnitude / std::pow(10.0, exponent)), frac_places, whole, decimals);
  if (!engineering && static_cast<int>(whole.size()) > whole_places) {
    ++exponent;
    RoundDecimal(ToDecimal(magnitude / std::pow(10.0, exponent)), frac_places, whole, decimals);
  }
  if (whole.empty()) whole = "0";
  std::string out;
  for (const Token& t : tokens) {
    if (t.kind == Tok::kLiteral) out += t.text;
  }
  std::string mantissa = whole;
  if (after_point) mantissa += "." + decimals;
  std::string exp_digits = std::to_string(std::abs(exponent));
  while (static_cast<int>(exp_digits.size()) < exp_places)
    exp_digits.insert(exp_digits.begin(), '0');
  std::string sign = exponent < 0 ? "-" : (exp_sign == "+" ? "+" : "");
  return out + mantissa + "E" + sign + exp_digits;
}

std::string FormatDigits(double value, const Section& section) {
  const std::vector<Token>& tokens = section.tokens;
  for (const Token& t : tokens) {
    if (t.kind == Tok::kExponent) return FormatScientific(value, tokens);
  }
  // Where the point is, and which commas group and which scale.
  std::size_t point = tokens.size();
  std::size_t last_digit = tokens.size();
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind == Tok::kPoint && point == tokens.size()) point = i;
    if (tokens[i].kind == Tok::kDigit && point == tokens.size()) last_digit = i;
  }
  bool grouping = false;
  int scale = 0;
  int percent = 0;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind == Tok::kPercent) ++percent;
    if (tokens[i].kind != Tok::kComma) continue;
    bool digit_before = false;
    bool digit_after = false;
    for (std::size_t k = 0; k < i; ++k) digit_before |= tokens[k].kind == Tok::kDigit;
    for (std::size_t k = i + 1; k < std::min(point, tokens.size()); ++k) {
      digit_after |= tokens[k].kind == Tok::kDigit;
    }
    if (digit_before && digit_after) {
      grouping = true;
    } else if (digit_before && (last_digit == tokens.size() || i > last_digit)) {
      ++scale;
    }
  }
  double magnitude = std::fabs(value) * std::pow(100.0, percent) / std::pow(1000.0, scale);

  int frac_places = 0;
  for (std::size_t i = point; i < tokens.size(); ++i) frac_places += tokens[i].kind == Tok::kDigit;
  std::string whole;
  std::string decimals;
  RoundDecimal(ToDecimal(magnitude), frac_places, whole, decimals);

  // The whole part: digits fill the placeholders from the right; extra digits go in front of
  // the first placeholder.
  std::vector<std::size_t> places;
  for (std::size_t i = 0; i < point; ++i) {
    if (tokens[i].kind == Tok::kDigit) places.push_back(i);
  }
  std::vector<std::string> shown(tokens.size());
  if (grouping) {
    std::size_t zeros = 0;
    for (std::size_t p : places) zeros += tokens[p].text == "0";
    std::string digits = whole;
    while (digits.size() < zeros) digits.insert(digits.begin(), '0');
    if (!places.empty()) shown[places.front()] = GroupThousands(digits);
  } else {
    std::size_t used = 0;
    for (std::size_t k = places.size(); k-- > 0;) {
      const std::string& kind = tokens[places[k]].text;
      if (used < whole.size()) {
        shown[places[k]] = whole[whole.size() - 1 - used];
        ++used;
      } else if (kind == "0") {
        shown[places[k]] = "0";
      } else if (kind == "?") {
        shown[places[k]] = " ";
      }
      if (k == 0 && used < whole.size()) {
        shown[places[k]] = whole.substr(0, whole.size() - used) + shown[places[k]];
      }
    }
    if (places.empty() && !whole.empty() && point < tokens.size()) {
      // "#.00" style without whole placeholders still shows nothing for the whole part; a
      // format like ".00" does the same, as spreadsheet applications do.
    }
  }
  // The decimal part: trailing zeros vanish under # and become blanks under ?.
  std::vector<std::size_t> frac_places_at;
  for (std::size_t i = point; i < tokens.size(); ++i) {
    if (tokens[i].kind == Tok::kDigit) frac_places_at.push_back(i);
  }
  bool trailing = true;
  for (std::size_t k = frac_places_at.size(); k-- > 0;) {
    const std::string& kind = tokens[frac_places_at[k]].text;
    char digit = decimals[k];
    if (trailing && digit == '0' && kind != "0") {
      shown[frac_places_at[k]] = kind == "?" ? " " : "";
    } else {
      trailing = false;
      shown[frac_places_at[k]] = std::string(1, digit);
    }
  }
  std::string out;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    switch (tokens[i].kind) {
      case Tok::kLiteral:
        out += tokens[i].text;
        break;
      case Tok::kDigit:
        out += shown[i];
        break;
      case Tok::kPoint:
        out += i == point ? "." : "";
        break;
      case Tok::kPercent:
        out += '%';
        break;
      default:
        break;
    }
  }
  return out;
}

// ---- dates ----------------------------------------------------------------------------

struct DateTime {
  int year = 1900, month = 1, day = 0;
  int hour = 0, minute = 0, second = 0;
  int weekday = 0;  // 0 = Sunday
  double serial = 0;
};

// Days since 1970-01-01 to a civil date.
void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long yy = yoe + era * 400;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

std::optional<DateTime> SerialToDateTime(double serial, bool date1904) {
  if (date1904) serial += 1462;
  if (!(serial >= 0) || serial >= 2958466) return std::nullopt;
  DateTime dt;
  dt.serial = serial;
  long long days = static_cast<long long>(std::floor(serial));
  long long seconds = std::llround((serial - static_cast<double>(days)) * 86400.0);
  if (seconds >= 86400) {
    ++days;
    seconds -= 86400;
  }
  dt.hour = static_cast<int>(seconds / 3600);
  dt.minute = static_cast<int>(seconds / 60 % 60);
  dt.second = static_cast<int>(seconds % 60);
  if (days == 0) {
    dt.year = 1900, dt.month = 1, dt.day = 0;
  } else if (days == 60) {
    dt.year = 1900, dt.month = 2, dt.day = 29;  // the day the 1900 date system counts
  } else {
    // Serial 61 is 1900-03-01; days before it are one off because of the counted 29th.
    long long unix_days = days - 25569 + (days < 60 ? 1 : 0);
    CivilFromDays(unix_days, dt.year, dt.month, dt.day);
  }
  // Serial 1 counts as a Sunday; from serial 61 on this is the true weekday.
  dt.weekday = static_cast<int>((days + 6) % 7);
  return dt;
}

struct Era {
  int year, month, day;
  const char* name;
  const char* short_name;
  const char* letter;
};

const Era* EraOf(const DateTime& dt) {
  static const Era kEras[] = {{2019, 5, 1, "令和", "令", "R"},
                              {1989, 1, 8, "平成", "平", "H"},
                              {1926, 12, 25, "昭和", "昭", "S"},
                              {1912, 7, 30, "大正", "大", "T"},
                              {1868, 9, 8, "明治", "明", "M"}};
  for (const Era& era : kEras) {
    if (std::make_tuple(dt.year, dt.month, dt.day) >=
        std::make_tuple(era.year, era.month, era.day)) {
      return &era;
    }
  }
  return nullptr;
}

std::string Pad2(int value) {
  return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string FormatDate(double value, const Section& section, bool date1904) {
  auto dt = SerialToDateTime(value, date1904);
  if (!dt) return "########";
  const std::vector<Token>& tokens = section.tokens;
  bool twelve_hour = false;
  for (const Token& t : tokens) twelve_hour |= t.kind == Tok::kAmPm;
  static const char* kMonths[] = {"January",   "February", "March",    "April",
                                  "May",       "June",     "July",     "August",
                                  "September", "October",  "November", "December"};
  static const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                "Thursday", "Friday", "Saturday"};
  static const char* kJapaneseDays[] = {"日", "月", "火", "水", "木", "金", "土"};

  // An "m" run means minutes right after an hour or right before a second.
  auto is_minute = [&](std::size_t index) {
    for (std::size_t k = index; k-- > 0;) {
      if (tokens[k].kind == Tok::kDate || tokens[k].kind == Tok::kElapsed) {
        if (tokens[k].text[0] == 'h') return true;
        break;
      }
    }
    for (std::size_t k = index + 1; k < tokens.size(); ++k) {
      if (tokens[k].kind == Tok::kDate || tokens[k].kind == Tok::kElapsed) {
        return tokens[k].text[0] == 's';
      }
    }
    return false;
  };

  std::string out;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    const std::string& run = t.text;
    switch (t.kind) {
      case Tok::kLiteral:
        out += run;
        break;
      case Tok::kPoint:
        out += '.';
        break;
      case Tok::kDigit:
        out += run == "0" ? "0" : "";
        break;
      case Tok::kComma:
        out += ',';
        break;
      case Tok::kPercent:
        out += '%';
        break;
      case Tok::kAmPm: {
        bool pm = dt->hour >= 12;
        out += run == "AM/PM" ? (pm ? "PM" : "AM") : (pm ? "P" : "A");
        break;
      }
      case Tok::kElapsed: {
        double total_seconds = std::round(dt->serial * 86400.0);
        if (run == "h") out += std::to_string(static_cast<long long>(total_seconds / 3600));
        if (run == "m") out += std::to_string(static_cast<long long>(total_seconds / 60));
        if (run == "s") out += std::to_string(static_cast<long long>(total_seconds));
        break;
      }
      case Tok::kDate: {
        char c = run[0];
        std::size_t n = run.size();
        if (c == 'y') {
          out += n <= 2 ? Pad2(dt->year % 100) : std::to_string(dt->year);
        } else if (c == 'm' && n <= 2 && is_minute(i)) {
          out += n == 2 ? Pad2(dt->minute) : std::to_string(dt->minute);
        } else if (c == 'm') {
          const char* name = kMonths[dt->month - 1];
          if (n == 1)
            out += std::to_string(dt->month);
          else if (n == 2)
            out += Pad2(dt->month);
          else if (n == 3)
            out += std::string(name, 3);
          else if (n == 4)
            out += name;
          else
            out += name[0];
        } else if (c == 'd') {
          if (n == 1)
            out += std::to_string(dt->day);
          else if (n == 2)
            out += Pad2(dt->day);
          else if (n == 3)
            out += std::string(kDays[dt->weekday], 3);
          else
            out += kDays[dt->weekday];
        } else if (c == 'a') {
          out += kJapaneseDays[dt->weekday];
          if (n >= 4) out += "曜日";
        } else if (c == 'h') {
          int hour = dt->hour;
          if (twelve_hour) hour = hour % 12 == 0 ? 12 : hour % 12;
          out += n >= 2 ? Pad2(hour) : std::to_string(hour);
        } else if (c == 's') {
          out += n >= 2 ? Pad2(dt->second) : std::to_string(dt->second);
        } else if (c == 'g') {
          const Era* era = EraOf(*dt);
          if (era) out += n >= 3 ? era->name : (n == 2 ? era->short_name : era->letter);
        } else if (c == 'e') {
          const Era* era = EraOf(*dt);
          int year = era ? dt->year - era->year + 1 : dt->year;
          out += n >= 2 ? Pad2(year) : std::to_string(year);
        }
        break;
      }
      default:
        break;
    }
  }
  return out;
}

FormattedText FormatWithSection(double value, const Section& section, bool negative_sign,
                                bool date1904) {
  FormattedText result;
  result.color = section.color;
  if (section.is_date) {
    result.text = FormatDate(value, section, date1904);
    return result;
  }
  if (section.is_fraction || (!section.has_digits && section.has_general) ||
      (!section.has_digits && section.has_text)) {
    std::string general = FormatGeneral(negative_sign ? value : std::fabs(value));
    std::string out;
    bool placed = false;
    for (const Token& t : section.tokens) {
      if (t.kind == Tok::kLiteral && !section.is_fraction) {
        out += t.text;
      } else if (!placed &&
                 (t.kind == Tok::kGeneral || t.kind == Tok::kText || section.is_fraction)) {
        out += general;
        placed = true;
      }
    }
    result.text = placed ? out : general;
    return result;
  }
  if (!section.has_digits) {
    // Only literal text: the value itself is not shown.
    for (const Token& t : section.tokens) {
      if (t.kind == Tok::kLiteral) result.text += t.text;
      if (t.kind == Tok::kPercent) result.text += '%';
    }
    if (negative_sign && value < 0) result.text = "-" + result.text;
    return result;
  }
  std::string digits = FormatDigits(value, section);
  bool nonzero = digits.find_first_of("123456789") != std::string::npos;
  result.text = (negative_sign && value < 0 && nonzero) ? "-" + digits : digits;
  return result;
}

}  // namespace

std::string BuiltinNumberFormat(int id) {
  switch (id) {
    case 1:
      return "0";
    case 2:
      return "0.00";
    case 3:
      return "#,##0";
    case 4:
      return "#,##0.00";
    case 5:
      return "\"¥\"#,##0;\"¥\"\\-#,##0";
    case 6:
      return "\"¥\"#,##0;[Red]\"¥\"\\-#,##0";
    case 7:
      return "\"¥\"#,##0.00;\"¥\"\\-#,##0.00";
    case 8:
      return "\"¥\"#,##0.00;[Red]\"¥\"\\-#,##0.00";
    case 9:
      return "0%";
    case 10:
      return "0.00%";
    case 11:
      return "0.00E+00";
    case 12:
      return "# ?/?";
    case 13:
      return "# ?\?/?\?";
    case 14:
      return "yyyy/m/d";
    case 15:
      return "d-mmm-yy";
    case 16:
      return "d-mmm";
    case 17:
      return "mmm-yy";
    case 18:
      return "h:mm AM/PM";
    case 19:
      return "h:mm:ss AM/PM";
    case 20:
      return "h:mm";
    case 21:
      return "h:mm:ss";
    case 22:
      return "yyyy/m/d h:mm";
    case 27:
    case 36:
    case 50:
    case 57:
      return "[$-411]ge.m.d";
    case 28:
    case 29:
    case 54:
    case 58:
      return "[$-411]ggge\"年\"m\"月\"d\"日\"";
    case 30:
      return "m/d/yy";
    case 31:
      return "yyyy\"年\"m\"月\"d\"日\"";
    case 32:
      return "h\"時\"mm\"分\"";
    case 33:
      return "h\"時\"mm\"分\"ss\"秒\"";
    case 34:
    case 52:
    case 55:
      return "yyyy\"年\"m\"月\"";
    case 35:
    case 53:
    case 56:
      return "m\"月\"d\"日\"";
    case 37:
      return "#,##0 ;(#,##0)";
    case 38:
      return "#,##0 ;[Red](#,##0)";
    case 39:
      return "#,##0.00;(#,##0.00)";
    case 40:
      return "#,##0.00;[Red](#,##0.00)";
    case 45:
      return "mm:ss";
    case 46:
      return "[h]:mm:ss";
    case 47:
      return "mm:ss.0";
    case 48:
      return "##0.0E+0";
    case 49:
      return "@";
    case 51:
      return "[$-411]ggge\"年\"m\"月\"";
    default:
      return "General";
  }
}

bool IsDateFormat(std::string_view code) {
  for (std::string_view part : SplitSections(code)) {
    if (ParseSection(part).is_date) return true;
  }
  return false;
}

FormattedText FormatCellNumber(double value, std::string_view code, bool date1904) {
  if (!std::isfinite(value)) return {"#NUM!", ""};
  std::vector<std::string_view> parts = SplitSections(code);
  std::vector<Section> sections;
  for (std::string_view part : parts) sections.push_back(ParseSection(part));
  // A fourth section is for texts only; numbers use the first three.
  if (sections.size() > 3) sections.resize(3);
  if (sections.size() == 1 && sections[0].tokens.empty()) return {FormatGeneral(value), ""};

  if (sections[0].condition || (sections.size() > 1 && sections[1].condition)) {
    if (sections[0].condition && ConditionHolds(*sections[0].condition, value)) {
      return FormatWithSection(value, sections[0], false, date1904);
    }
    if (sections.size() > 1 && sections[1].condition &&
        ConditionHolds(*sections[1].condition, value)) {
      return FormatWithSection(value, sections[1], false, date1904);
    }
    const Section& rest = sections.size() > 2 ? sections[2] : sections.back();
    return FormatWithSection(value, rest, true, date1904);
  }
  if (sections.size() == 1 || value > 0)
    return FormatWithSection(value, sections[0], true, date1904);
  if (value < 0) return FormatWithSection(value, sections[1], false, date1904);
  return FormatWithSection(value, sections.size() > 2 ? sections[2] : sections[0], true, date1904);
}

FormattedText FormatCellText(std::string_view text, std::string_view code) {
  std::vector<std::string_view> parts = SplitSections(code);
  std::optional<Section> section;
  if (parts.size() >= 4) {
    section = ParseSection(parts[3]);
  } else {
    Section only = ParseSection(parts[0]);
    if (parts.size() == 1 && only.has_text) section = std::move(only);
  }
  if (!section) return {std::string(text), ""};
  FormattedText result;
  result.color = section->color;
  for (const Token& t : section->tokens) {
    if (t.kind == Tok::kLiteral) result.text += t.text;
    if (t.kind == Tok::kText) result.text += text;
  }
  return result;
}

std::string FormatGeneral(double value) {
  if (!std::isfinite(value)) return "#NUM!";
  if (value == 0) return "0";
  bool negative = value < 0;
  double magnitude = std::fabs(value);
  Decimal d = ToDecimal(magnitude);
  std::string sign = negative ? "-" : "";
  if (magnitude >= 1e11 || magnitude < 1e-9) {
    // One whole digit and at most five decimals.
    Decimal mantissa{d.digits, 1};
    std::string whole;
    std::string decimals;
    RoundDecimal(mantissa, 5, whole, decimals);
    int exponent = d.exponent - 1;
    if (whole.size() > 1) {  // 9.999995 rounded up to 10
      decimals = whole.substr(1) + decimals;
      decimals.resize(5);
      whole = whole.substr(0, 1);
      ++exponent;
    }
    while (!decimals.empty() && decimals.back() == '0') decimals.pop_back();
    std::string exp = std::to_string(std::abs(exponent));
    if (exp.size() < 2) exp = "0" + exp;
    return sign + whole + (decimals.empty() ? "" : "." + decimals) + "E" +
           (exponent < 0 ? "-" : "+") + exp;
  }
  int whole_length = d.exponent > 0 ? d.exponent : 1;
  int frac = 11 - static_cast<int>(sign.size()) - whole_length - 1;
  frac = std::min(frac, 15 - std::max(d.exponent, 0));
  frac = std::max(frac, 0);
  std::string whole;
  std::string decimals;
  RoundDecimal(d, frac, whole, decimals);
  while (!decimals.empty() && decimals.back() == '0') decimals.pop_back();
  if (whole.empty()) whole = "0";
  if (whole == "0" && decimals.empty()) return "0";
  return sign + whole + (decimals.empty() ? "" : "." + decimals);
}

}  // namespace lanereport
