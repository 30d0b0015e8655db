#include "util/VisibleText.h"

namespace lanereport {
namespace {

// The length of the well-formed UTF-8 sequence starting at text[at], or 0 when none starts there
// (a stray continuation byte, a cut or overlong sequence, a surrogate, beyond U+10FFFF).
std::size_t SequenceLength(std::string_view text, std::size_t at) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at);
  std::size_t n = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (lead >= 0xF5 || n == 0 || at + n > text.size()) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  }
  unsigned char second = byte(at + 1);
  if (lead == 0xE0 && second < 0xA0) return 0;
  if (lead == 0xED && second >= 0xA0) return 0;
  if (lead == 0xF0 && second < 0x90) return 0;
  if (lead == 0xF4 && second >= 0x90) return 0;
  return n;
}

}  // namespace

std::string VisibleText(std::string_view value) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size());
  for (std::size_t at = 0; at < value.size();) {
    char c = value[at];
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (u < 0x20 || u == 0x7f) {
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else if (u >= 0x80) {
      // A byte that starts no well-formed character is shown by its value, so a terminal never
      // gets broken UTF-8.
      std::size_t n = SequenceLength(value, at);
      if (n == 0) {
        out += "\\x";
        out += kHex[u >> 4];
        out += kHex[u & 0xF];
        ++at;
      } else {
        out.append(value.substr(at, n));
        at += n;
      }
      continue;
    } else {
      out += c;
    }
    ++at;
  }
  return out;
}

}  // namespace lanereport
