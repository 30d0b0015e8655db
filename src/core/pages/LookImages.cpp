#include "pages/LookImages.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

#include "pages/PageSkeleton.h"
#include "util/AppError.h"
#include "util/Make.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"
#include "util/UserFolders.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;

// A character that has no place in an image path typed into the look settings: it would be
// read differently by the browser (a back slash, a percent escape, a query or a fragment), it
// names a drive or a scheme (a colon), or it is a control character.
bool IsRefusedCharacter(unsigned char c) {
  return c < 0x20 || c == 0x7f || c == '\\' || c == ':' || c == '%' || c == '?' || c == '#';
}

// The setting's text as a relative path inside the output folder, or nothing when it is not
// one (see the header).
std::optional<std::string> RelativeImagePath(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || text.front() == ' ' || text.front() == '/') return std::nullopt;
  for (char c : text) {
    if (IsRefusedCharacter(static_cast<unsigned char>(c))) return std::nullopt;
  }
  for (const std::string& part : Split(text, '/')) {
    if (part.empty() || part == "." || part == "..") return std::nullopt;
  }
  return std::string(text);
}

// True when the file exists as a regular file (following links).
bool IsRegularFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// True when anything at all is at the path, a dangling link included.
bool IsAnythingAt(const std::string& path) {
  std::error_code ec;
  fs::file_status st = fs::symlink_status(path, ec);
  return !ec && st.type() != fs::file_type::not_found;
}

// True when target, with every link of its existing part resolved, lies inside folder.
bool StaysInside(const std::string& folder, const std::string& target) {
  std::error_code ec;
  fs::path base = fs::weakly_canonical(fs::absolute(folder, ec), ec);
  if (ec) return false;
  fs::path full = fs::weakly_canonical(fs::absolute(target, ec), ec);
  if (ec) return false;
  auto b = base.begin();
  auto f = full.begin();
  for (; b != base.end(); ++b, ++f) {
    if (b->empty()) continue;  // the empty last part of a folder written with a closing "/"
    if (f == full.end() || *b != *f) return false;
  }
  return f != full.end();
}

std::string ReadShippedImage(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open())
    throw AppError(kErrFile, "CopyLookImages", "画像ファイルを読み込めません：" + path);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

std::vector<std::string> CopyLookImages(const WindowSettings& look, const std::string& out_folder) {
  std::vector<std::string> copied;
  if (out_folder.empty()) return copied;
  std::string shipped = GetProgramFolder() + "jpg/";
  std::string base = AddPathSeparator(out_folder);

  std::vector<const std::string*> named;
  if (look.Background.find('.') != std::string::npos) named.push_back(&look.Background);
  for (const std::string* s : {&look.Frame1, &look.Frame2, &look.Strike, &look.Spare, &look.Space})
    named.push_back(s);

  for (const std::string* setting : named) {
    if (IsSettingEmpty(*setting)) continue;
    std::optional<std::string> relative = RelativeImagePath(*setting);
    if (!relative) continue;
    std::string source = shipped + GetFileName(*relative);
    if (!IsRegularFile(source)) continue;
    std::string target = base + *relative;
    if (IsAnythingAt(target) || !StaysInside(base, target)) continue;
    MakeFile(target, ReadShippedImage(source));
    copied.push_back(target);
  }
  return copied;
}

void ProvideLookImages(PageContext& context) {
  if (context.images_provided) return;
  context.images_provided = true;
  std::vector<std::string> copied = CopyLookImages(context.look, context.out_folder);
  context.images_copied.insert(context.images_copied.end(), copied.begin(), copied.end());
}

std::string ImagesCopiedText(const std::vector<std::string>& copied,
                             const std::string& out_folder) {
  if (copied.empty()) return "";
  // The folder the copies share, which is the output folder's jpg/ for the settings as they
  // come; the output folder itself when they went to several.
  std::string folder = GetParentFolder(copied.front());
  for (const std::string& path : copied)
    if (GetParentFolder(path) != folder) folder = AddPathSeparator(out_folder);
  return "出力先にない画像 " + std::to_string(copied.size()) + " 個をコピーしました：" + folder;
}

}  // namespace lanereport
