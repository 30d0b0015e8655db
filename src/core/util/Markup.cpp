#include "util/Markup.h"

#include <array>

namespace lanereport {
namespace {

// Which bytes each kind of escaping treats, so a value without any is copied in one piece.
// kUrl: what no URL holds; kName: what a name in a URL path must not hold as it is.
enum : unsigned char { kText = 1, kAttr = 2, kApos = 4, kJs = 8, kUrl = 16, kName = 32 };

constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> c{};
  for (int b = 0; b < 256; ++b) {
    if (IsControlByte(static_cast<unsigned char>(b)))
      c[b] = kText | kAttr | kApos | kJs | kUrl | kName;
  }
  c['\t'] = kUrl | kName;
  for (unsigned char b : {'&', '<', '>'}) c[b] |= kText | kAttr | kApos;
  c['"'] |= kAttr | kApos | kJs;
  c['\''] |= kApos | kJs | kName;
  c['\\'] |= kJs | kName;
  c['<'] |= kJs;
  c[0xE2] |= kJs;  // the lead byte of U+2028 and U+2029
  for (unsigned char b : {' ', '"', '<', '>', '^', '`', '{', '|', '}'}) c[b] |= kUrl | kName;
  for (unsigned char b : {'#', '%', '/', '?'}) c[b] |= kName;
  return c;
}

constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

std::size_t FirstOf(std::string_view text, unsigned char mask) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kClasses[static_cast<unsigned char>(text[i])] & mask) return i;
  }
  return text.size();
}

void AppendMarkup(std::string& out, std::string_view text, unsigned char mask) {
  std::size_t start = FirstOf(text, mask);
  out.append(text.substr(0, start));
  for (std::size_t i = start; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (!(kClasses[c] & mask)) {
      out += static_cast<char>(c);
    } else if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '"') {
      out += "&quot;";
    } else if (c == '\'') {
      out += "&#39;";
    } else {
      out += kControlReference;
    }
  }
}

}  // namespace

void AppendHtmlText(std::string& out, std::string_view text) {
  AppendMarkup(out, text, kText);
}

std::string HtmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendHtmlText(out, text);
  return out;
}

void AppendHtmlAttr(std::string& out, std::string_view text, bool apostrophes) {
  AppendMarkup(out, text, apostrophes ? kApos : kAttr);
}

std::string HtmlAttr(std::string_view text, bool apostrophes) {
  std::string out;
  out.reserve(text.size());
  AppendHtmlAttr(out, text, apostrophes);
  return out;
}

std::string JsString(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (!(kClasses[c] & kJs)) {
      out += static_cast<char>(c);
    } else if (c == 0xE2) {
      // U+2028 and U+2029 end a line inside a script, whatever the quotes.
      if (text.substr(i, 3) == "\xE2\x80\xA8") {
        out += "\\u2028";
        i += 2;
      } else if (text.substr(i, 3) == "\xE2\x80\xA9") {
        out += "\\u2029";
        i += 2;
      } else {
        out += static_cast<char>(c);
      }
    } else if (c == '\\' || c == '\'' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '<') {
      out += "\\x3C";
    } else {
      out += "\\uFFFD";
    }
  }
  return out;
}

namespace {

std::string PercentEncoded(std::string_view text, unsigned char mask) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (kClasses[c] & mask) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace

std::string UrlSegment(std::string_view name) {
  return PercentEncoded(name, kName);
}

std::string UrlAddress(std::string_view address) {
  return PercentEncoded(address, kUrl);
}

bool IsSafeLinkTarget(std::string_view text) {
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (IsControlByte(c) || c == '"' || c == '\'' || c == '<' || c == '>' || c == '`') return false;
  }
  // A scheme is letters, digits, "+", "-" and "." before the first ":", starting with a letter;
  // a ":" after a "/", "?" or "#" belongs to the path.
  std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return true;
  std::string_view head = text.substr(0, colon);
  if (head.find_first_of("/?#") != std::string_view::npos) return true;
  std::string scheme;
  for (char ch : head) scheme += static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
  return scheme == "http" || scheme == "https";
}

bool IsSafeStyleValue(std::string_view text, bool apostrophes) {
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (IsControlByte(c) || std::string_view("\"<>;{}\\").find(ch) != std::string_view::npos)
      return false;
    if (ch == '\'' && !apostrophes) return false;
  }
  return true;
}

}  // namespace lanereport
