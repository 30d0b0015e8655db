#include "util/Cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "util/PackedBytes.h"

namespace lanereport {
namespace {

// One iconv conversion descriptor, opened once per thread and direction.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  iconv_t Get() {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return cd_;
  }
  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

 private:
  iconv_t cd_;
};

std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

// Decodes the character at the front of text; returns its length through len. An invalid
// sequence gives U+FFFD with length 1.
char32_t DecodeOne(std::string_view text, std::size_t& len) {
  auto lead = static_cast<unsigned char>(text[0]);
  len = Utf8SequenceLength(lead);
  if (len == 1) {
    if (lead >= 0x80) return 0xFFFD;
    return lead;
  }
  if (len > text.size()) {
    len = 1;
    return 0xFFFD;
  }
  char32_t cp = lead & (0x7F >> len);
  for (std::size_t i = 1; i < len; ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) != 0x80) {
      len = 1;
      return 0xFFFD;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  return cp;
}

bool IsHalfWidth(char32_t cp) {
  return cp < 0x80 || (cp >= 0xFF61 && cp <= 0xFF9F);
}

}  // namespace

std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    std::size_t len = 0;
    out.push_back(DecodeOne(utf8, len));
    utf8.remove_prefix(len);
  }
  return out;
}

std::string EncodeUtf8(char32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

namespace {

// Converts input with the handle, appending to out. At a sequence the conversion cannot take,
// on_invalid appends its replacement and returns how many input bytes it stands for.
template <class OnInvalid>
void Convert(IconvHandle& handle, std::string_view input, std::string& out, OnInvalid on_invalid) {
  iconv_t cd = handle.Get();
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char buffer[4096];
  while (in_left > 0) {
    char* outp = buffer;
    std::size_t out_left = sizeof buffer;
    std::size_t rc =
        handle.Ok() ? iconv(cd, &in, &in_left, &outp, &out_left) : static_cast<std::size_t>(-1);
    int err = handle.Ok() ? errno : EILSEQ;
    out.append(buffer, static_cast<std::size_t>(outp - buffer));
    if (rc != static_cast<std::size_t>(-1)) break;
    if (err == E2BIG) continue;
    std::size_t skip = std::min(in_left, on_invalid(std::string_view(in, in_left), out));
    in += skip;
    in_left -= skip;
    cd = handle.Get();
  }
}

}  // namespace

namespace {

// The end of the run of ASCII bytes that starts at pos: the position of the next byte of 0x80
// or above, or the size. Tests eight bytes at a time (pages are mostly ASCII markup).
std::size_t AsciiRunEnd(std::string_view text, std::size_t pos) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  while (pos + 8 <= text.size()) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + pos, sizeof word);
    if (word & kHighBits) break;
    pos += 8;
  }
  while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) ++pos;
  return pos;
}

// What a character of the code page's plane converts to, learnt from iconv the first time the
// character is met on a thread: pages repeat a few hundred characters (marks, names, captions)
// thousands of times. An entry holds up to three bytes packed (PackBytes); 0 is a
// character not met yet, kNotKept one whose conversion is longer (a numeric reference).
class PlaneCache {
 public:
  static constexpr std::uint32_t kNotKept = 0xFFFFFFFF;
  std::uint32_t& At(char32_t cp) {
    if (!entries_) entries_ = std::make_unique<std::uint32_t[]>(0x10000);
    return entries_[cp];
  }
  // The packed conversion (PackBytes), kNotKept when it is longer.
  static std::uint32_t Packed(std::string_view bytes) {
    return bytes.empty() || bytes.size() > kMostPackedBytes ? kNotKept : PackBytes(bytes);
  }

 private:
  std::unique_ptr<std::uint32_t[]> entries_;
};

// The shortest form of a character of the plane below U+10000, other than a surrogate: the
// sequences the cache may stand for (iconv refuses the others, and each is converted alone).
bool IsPlainPlaneSequence(char32_t cp, std::size_t len) {
  return (len == 2 && cp >= 0x80) || (len == 3 && cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF));
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
  thread_local IconvHandle handle("CP932", "UTF-8");
  thread_local PlaneCache cache;
  std::string out;
  out.reserve(utf8.size());
  // A character the code page cannot hold (or broken UTF-8) becomes a numeric reference.
  auto convert = [](IconvHandle& h, std::string_view bytes, std::string& o) {
    Convert(h, bytes, o, [](std::string_view rest, std::string& r) {
      std::size_t len = 0;
      char32_t cp = DecodeOne(rest, len);
      r += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
      return len;
    });
  };
  // ASCII passes through unchanged; other characters are converted one by one (the code page
  // has no shift states, so alone or in a run they give the same bytes), through the cache.
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
      std::size_t end = AsciiRunEnd(utf8, pos);
      out.append(utf8.data() + pos, end - pos);
      pos = end;
      continue;
    }
    std::size_t len = 0;
    const char32_t cp = DecodeOne(utf8.substr(pos), len);
    const std::string_view bytes = utf8.substr(pos, len);
    pos += len;
    if (!IsPlainPlaneSequence(cp, len)) {
      convert(handle, bytes, out);
      continue;
    }
    std::uint32_t& known = cache.At(cp);
    if (known == 0) {
      std::string converted;
      convert(handle, bytes, converted);
      known = PlaneCache::Packed(converted);
      out += converted;
    } else if (known == PlaneCache::kNotKept) {
      convert(handle, bytes, out);
    } else {
      AppendPackedBytes(known, out);
    }
  }
  return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
  thread_local IconvHandle handle("UTF-8", "CP932");
  std::string out;
  out.reserve(cp932.size() * 3 / 2);
  Convert(handle, cp932, out, [](std::string_view, std::string& o) {
    o += "\xEF\xBF\xBD";
    return std::size_t{1};
  });
  return out;
}

std::size_t ByteLength(std::string_view utf8) {
  std::size_t bytes = 0;
  while (!utf8.empty()) {
    std::size_t len = 0;
    char32_t cp = DecodeOne(utf8, len);
    bytes += IsHalfWidth(cp) ? 1 : 2;
    utf8.remove_prefix(len);
  }
  return bytes;
}

std::string FitByteWidth(int width, int alignment, std::string_view utf8) {
  std::u32string chars = DecodeUtf8(utf8);
  std::size_t bytes = 0;
  std::string text;
  for (char32_t cp : chars) {
    std::size_t w = IsHalfWidth(cp) ? 1 : 2;
    if (static_cast<long>(bytes + w) > width) break;
    bytes += w;
    text += EncodeUtf8(cp);
  }
  long missing = width - static_cast<long>(bytes);
  if (missing <= 0) return text;
  switch (alignment) {
    case 0:
      return text + std::string(missing, ' ');
    case 1:
      return std::string(missing, ' ') + text;
    case 2: {
      // Each half is the missing count divided by two, rounded half to even.
      auto half = static_cast<std::size_t>(std::nearbyint(missing / 2.0));
      return std::string(half, ' ') + text + std::string(half, ' ');
    }
    default:
      return text;
  }
}

}  // namespace lanereport
