#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lanereport {

// The value formats of a Jet database file turned into the program's text, each from the
// stored bytes, so nothing depends on how the Jet library prints a value.

// Text as read: UTF-8 and the number of characters that could not be decoded and were
// replaced by U+FFFD.
struct DecodedText {
  std::string utf8;
  std::size_t replaced = 0;
};

// Jet 4 text: UTF-16 little-endian, or the compressed form (the bytes FF FE, then runs of
// one-byte characters and two-byte characters, each 00 byte switching between them). Unpaired
// surrogates and a last odd byte are replaced.
DecodedText DecodeJet4Text(std::string_view bytes);

// Jet 3 text: bytes in a code page, converted with iconv. Not copyable.
class CodePageText {
 public:
  // code_page is a number ("932") or an iconv name ("CP932", "SHIFT_JIS"). Raises AppError
  // (kErrInvalidValue) when iconv does not know it.
  explicit CodePageText(std::string_view code_page);
  ~CodePageText();
  CodePageText(const CodePageText&) = delete;
  CodePageText& operator=(const CodePageText&) = delete;

  // The iconv name used ("CP932" for "932").
  const std::string& Name() const { return name_; }
  // Each byte that does not start a character of the code page becomes one U+FFFD.
  DecodedText Decode(std::string_view bytes);

 private:
  std::string name_;
  void* cd_;
};

// A Jet date (days since 1899/12/30, the fraction the time of day; before that day the whole
// part counts back and the fraction still counts forward in magnitude) as "YYYY/MM/DD
// HH:MM:SS", to the nearest second. Nothing for a value outside the years 100 to 9999 or not a
// number.
std::optional<std::string> JetDateText(double days);

// A currency value (a signed count of ten-thousandths) as exact decimal text without trailing
// zeros after the point: 123400 gives "12.34", -50000 gives "-5".
std::string CurrencyText(std::int64_t ten_thousandths);

// A decimal value as stored by Jet 4 (17 bytes: a sign byte, nonzero for negative, then a
// 128-bit magnitude as four 32-bit little-endian words, the most significant word first) with
// its scale (digits after the point, 0 to 28), as exact decimal text: all scale digits are
// kept ("1.50" for 150 with scale 2).
std::string NumericText(const std::uint8_t* bytes17, int scale);

// The shortest text that reads back as the same double ("0.1", "1e+300").
std::string RealText(double value);

}  // namespace lanereport
