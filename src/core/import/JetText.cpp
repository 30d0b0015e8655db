#include "import/JetText.h"

#include <iconv.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "util/AppError.h"
#include "util/Cp932.h"

namespace lanereport {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);

// Decodes UTF-16LE units into text, pairing surrogates.
void AppendUtf16(std::u16string_view units, DecodedText& out) {
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
      ++out.replaced;
    }
    out.utf8 += EncodeUtf8(c);
  }
}

// Days from 1970/01/01 to a civil date and back (proleptic Gregorian calendar).
void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
}

}  // namespace

DecodedText DecodeJet4Text(std::string_view bytes) {
  DecodedText out;
  std::u16string units;
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
    bool compressed = true;
    std::size_t i = 2;
    while (i < bytes.size()) {
      if (byte(i) == 0) {
        compressed = !compressed;
        ++i;
      } else if (compressed) {
        units.push_back(byte(i));
        ++i;
      } else if (i + 1 < bytes.size()) {
        units.push_back(static_cast<char16_t>(byte(i) | byte(i + 1) << 8));
        i += 2;
      } else {
        ++out.replaced;
        units.push_back(static_cast<char16_t>(kReplacement));
        ++i;
      }
    }
  } else {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
      units.push_back(static_cast<char16_t>(byte(i) | byte(i + 1) << 8));
    if (bytes.size() % 2) {
      ++out.replaced;
      units.push_back(static_cast<char16_t>(kReplacement));
    }
  }
  AppendUtf16(units, out);
  return out;
}

CodePageText::CodePageText(std::string_view code_page) {
  bool digits = !code_page.empty();
  for (char c : code_page) digits = digits && c >= '0' && c <= '9';
  name_ = digits ? "CP" + std::string(code_page) : std::string(code_page);
  cd_ = iconv_open("UTF-8", name_.c_str());
  if (cd_ == kNoIconv)
    throw AppError(kErrInvalidValue, "CodePageText", "文字コードが分かりません：" + name_);
}

CodePageText::~CodePageText() {
  iconv_close(static_cast<iconv_t>(cd_));
}

DecodedText CodePageText::Decode(std::string_view bytes) {
  DecodedText out;
  auto cd = static_cast<iconv_t>(cd_);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string buffer(bytes.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  while (in_left > 0) {
    char* o = buffer.data();
    std::size_t out_left = buffer.size();
    std::size_t rc = iconv(cd, &in, &in_left, &o, &out_left);
    out.utf8.append(buffer.data(), o);
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // A byte that starts no character (or an incomplete one at the end): one replacement.
    ++in;
    --in_left;
    ++out.replaced;
    out.utf8 += EncodeUtf8(kReplacement);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  char* o = buffer.data();
  std::size_t out_left = buffer.size();
  iconv(cd, nullptr, nullptr, &o, &out_left);
  out.utf8.append(buffer.data(), o);
  return out;
}

std::optional<std::string> JetDateText(double days) {
  if (!std::isfinite(days) || days < -657434.0 || days >= 2958466.0) return std::nullopt;
  double whole = std::trunc(days);
  auto seconds = static_cast<long long>(std::llround(std::fabs(days - whole) * 86400.0));
  auto day = static_cast<long long>(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++day;
  }
  long long y = 0;
  unsigned m = 0, d = 0;
  CivilFromDays(day - 25569, y, m, d);  // 1899/12/30 is 25569 days before 1970/01/01
  if (y < 100 || y > 9999) return std::nullopt;
  char text[64];
  std::snprintf(text, sizeof text, "%04d/%02u/%02u %02d:%02d:%02d", static_cast<int>(y), m, d,
                static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                static_cast<int>(seconds % 60));
  return std::string(text);
}

std::string CurrencyText(std::int64_t ten_thousandths) {
  bool negative = ten_thousandths < 0;
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(ten_thousandths)
                                     : static_cast<std::uint64_t>(ten_thousandths);
  std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000);
  std::string fraction = std::to_string(magnitude % 10000 + 10000).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

std::string NumericText(const std::uint8_t* bytes17, int scale) {
  unsigned __int128 magnitude = 0;
  for (int word = 0; word < 4; ++word) {
    const std::uint8_t* w = bytes17 + 1 + 4 * word;
    std::uint32_t value = w[0] | w[1] << 8 | w[2] << 16 | static_cast<std::uint32_t>(w[3]) << 24;
    magnitude = magnitude << 32 | value;
  }
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  } while (magnitude != 0);
  if (scale < 0) scale = 0;
  if (scale > 38) scale = 38;
  auto places = static_cast<std::size_t>(scale);
  if (places > 0) {
    if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
    digits.insert(digits.size() - places, ".");
  }
  bool zero = digits.find_first_not_of("0.") == std::string::npos;
  return (bytes17[0] != 0 && !zero ? "-" : "") + digits;
}

std::string RealText(double value) {
  char text[64];
  auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

}  // namespace lanereport
