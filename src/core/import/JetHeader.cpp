#include "import/JetHeader.h"

#include <sys/stat.h>

#include <array>
#include <cstring>
#include <fstream>

#include "util/AppError.h"
#include "util/Cp932.h"

namespace lanereport {
namespace {

constexpr const char* kSource = "JetHeader";
constexpr std::size_t kVersionOffset = 0x14;
constexpr std::size_t kMaskedStart = 0x18;
constexpr std::size_t kCodePageOffset = 0x3C;
constexpr std::size_t kPasswordOffset = 0x42;
constexpr std::size_t kCreationDateOffset = 0x72;
constexpr std::size_t kFirstPages = 3;  // the header, the free map, the catalog's definition

// The header from offset 0x18 on is masked with the RC4 key stream of one fixed key.
std::array<std::uint8_t, 128> HeaderMask() {
  const std::uint8_t key[4] = {0xC7, 0xDA, 0x39, 0x6B};
  std::array<std::uint8_t, 256> s{};
  for (int i = 0; i < 256; ++i) s[i] = static_cast<std::uint8_t>(i);
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + s[i] + key[i % 4]) & 0xFF;
    std::swap(s[i], s[j]);
  }
  std::array<std::uint8_t, 128> mask{};
  for (int n = 0, i = 0, j = 0; n < 128; ++n) {
    i = (i + 1) & 0xFF;
    j = (j + s[i]) & 0xFF;
    std::swap(s[i], s[j]);
    mask[n] = s[(s[i] + s[j]) & 0xFF];
  }
  return mask;
}

[[noreturn]] void NotJet(std::string_view name, const std::string& why) {
  throw AppError(kErrInvalidValue, kSource, std::string(name) + " は読み込めません：" + why);
}

std::string Utf16LeToUtf8(const std::uint8_t* bytes, std::size_t size) {
  std::string out;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    char32_t c = bytes[i] | (bytes[i + 1] << 8);
    if (c == 0) break;
    out += EncodeUtf8(c);
  }
  return out;
}

}  // namespace

JetHeader ParseJetHeader(std::string_view bytes, std::uint64_t file_size, std::string_view name) {
  const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
  static const char kJet[] = "Standard Jet DB";
  static const char kAce[] = "Standard ACE DB";
  if (bytes.size() < 0x20 || b[0] != 0 || b[1] != 1 || b[2] != 0 || b[3] != 0)
    NotJet(name, "Jet データベース（.mdb）ではありません");
  if (std::memcmp(b + 4, kAce, sizeof kAce) == 0)
    NotJet(name, "Access 2007 以降の形式（.accdb）には対応していません");
  if (std::memcmp(b + 4, kJet, sizeof kJet) != 0)
    NotJet(name, "Jet データベース（.mdb）ではありません");
  JetHeader header;
  switch (b[kVersionOffset]) {
    case 0:
      header.version = 3;
      header.page_size = 2048;
      break;
    case 1:
      header.version = 4;
      header.page_size = 4096;
      break;
    default:
      NotJet(name, "Access 2007 以降の形式（.accdb）には対応していません");
  }
  if (file_size < kFirstPages * header.page_size || bytes.size() < header.page_size ||
      file_size % header.page_size != 0)
    NotJet(name, "ファイルが途中で切れています");

  std::array<std::uint8_t, 128> page{};
  std::size_t masked = header.version == 3 ? 126 : 128;
  std::memcpy(page.data(), b + kMaskedStart, masked);
  std::array<std::uint8_t, 128> mask = HeaderMask();
  for (std::size_t i = 0; i < masked; ++i) page[i] ^= mask[i];
  auto at = [&](std::size_t offset) { return page.data() + (offset - kMaskedStart); };
  header.code_page =
      static_cast<std::uint16_t>(at(kCodePageOffset)[0] | at(kCodePageOffset)[1] << 8);

  if (header.version == 3) {
    const std::uint8_t* p = at(kPasswordOffset);
    std::size_t n = 0;
    while (n < 20 && p[n] != 0) ++n;
    header.password = Cp932ToUtf8(std::string_view(reinterpret_cast<const char*>(p), n));
  } else {
    // Jet 4 masks the password once more with the whole days of the creation date.
    double created = 0;
    std::memcpy(&created, at(kCreationDateOffset), sizeof created);
    std::int32_t days = 0;
    if (created > -2147483648.0 && created < 2147483648.0)
      days = static_cast<std::int32_t>(created);
    std::uint8_t date_mask[4];
    for (int i = 0; i < 4; ++i)
      date_mask[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(days) >> (8 * i));
    std::uint8_t password[40];
    for (int i = 0; i < 40; ++i) password[i] = at(kPasswordOffset)[i] ^ date_mask[i % 4];
    header.password = Utf16LeToUtf8(password, sizeof password);
  }
  return header;
}

JetHeader ReadJetHeader(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    throw AppError(kErrFile, kSource, "ファイルがありません：" + path);
  if (!S_ISREG(st.st_mode)) NotJet(path, "ファイルではありません");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw AppError(kErrFile, kSource, "ファイルを開けません：" + path);
  in.seekg(0, std::ios::end);
  auto size = static_cast<std::uint64_t>(in.tellg());
  in.seekg(0);
  std::string bytes(4096, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad()) throw AppError(kErrFile, kSource, "ファイルを読めません：" + path);
  return ParseJetHeader(bytes, size, path);
}

}  // namespace lanereport
