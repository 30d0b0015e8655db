#include "util/PlainName.h"

#include "util/VisibleText.h"

namespace lanereport {

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
                        std::string(subject) + "「" + VisibleText(value) +
                            "」はファイル名に使えません（" + problem + "）");
}

}  // namespace lanereport
