#include "util/PlainName.h"

#include <cstdio>

namespace lanereport {
namespace {

// The value with control characters made visible, so the message shows what is stored.
std::string Visible(std::string_view value) {
  std::string out;
  for (char c : value) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (u < 0x20 || u == 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof(hex), "\\x%02X", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string PlainFileNameProblem(std::string_view name) {
  if (name.empty()) return "空です";
  if (name == "." || name == "..") return "「.」「..」は使えません";
  if (name.size() > kMaxFileNameBytes)
    return "長すぎます（" + std::to_string(kMaxFileNameBytes) + "バイトまで）";
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\') return "「/」「\\」は使えません";
    if (u < 0x20 || u == 0x7f) return "制御文字は使えません";
  }
  return "";
}

void RequirePlainFileName(std::string_view name, std::string_view subject, std::string_view value,
                          std::string_view source) {
  std::string problem = PlainFileNameProblem(name);
  if (problem.empty()) return;
  throw UnsafeNameError(kErrInvalidValue, std::string(source),
                        std::string(subject) + "「" + Visible(value) +
                            "」はファイル名に使えません（" + problem + "）");
}

}  // namespace lanereport
