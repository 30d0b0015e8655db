#include "util/FileChooserRules.h"

#include <stdexcept>

#include "util/Cp932.h"
#include "util/IniControl.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"
#include "util/UserFolders.h"

namespace lanereport {
namespace {

constexpr std::string_view kSection = "COMMON";

// The last count characters of text (all of it when it is shorter).
std::u32string LastChars(std::string_view text, std::size_t count) {
  std::u32string chars = DecodeUtf8(text);
  if (chars.size() > count) chars.erase(0, chars.size() - count);
  return chars;
}

std::string Utf8(const std::u32string& chars) {
  std::string out;
  for (char32_t c : chars) out += EncodeUtf8(c);
  return out;
}

}  // namespace

bool IsChooserMode(int mode) {
  return mode >= kChooseFolder && mode <= kSaveFile;
}

std::string AddMaskExtension(std::string_view name, std::string_view mask) {
  std::string out(name);
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*") return out;
  std::string extension = Utf8(LastChars(mask, 4));
  if (extension.empty() || extension.find_first_of("*?") != std::string::npos) return out;
  if (EqualsIgnoreCase(Utf8(LastChars(name, 4)), extension)) return out;
  return out + extension;
}

ChooserDecision DecideChooserOk(int mode, std::string_view folder_view, std::string_view name_box,
                                std::string_view mask) {
  if (!IsChooserMode(mode)) throw std::invalid_argument("not a chooser mode");
  std::string folder = AddPathSeparator(folder_view);
  if (mode == kChooseFolder)
    return {IsExistFolder(folder) ? ChooserStep::kAccept : ChooserStep::kAskCreateFolder, folder};
  std::string name(Trim(name_box));
  if (name.empty()) return {ChooserStep::kNoFileName, ""};
  // A whole path typed into the name box (as pasted from a terminal) names the file itself, not
  // one under the folder shown.
  if (name.front() == '/') folder.clear();
  if (mode == kOpenFile) {
    std::string path = folder + name;
    return {IsExistFile(path) ? ChooserStep::kAccept : ChooserStep::kFileMissing, path};
  }
  std::string path = folder + AddMaskExtension(name, mask);
  if (mode == kSaveFile && IsExistFile(path)) return {ChooserStep::kAskOverwrite, path};
  return {ChooserStep::kAccept, path};
}

std::string DialogBoxIniFile() {
  return GetSettingsFolder() + "DialogBox.ini";
}

std::string RememberedKey(std::string_view user) {
  return "PREV_" + std::string(user.empty() ? std::string_view("USER") : user);
}

std::optional<RememberedPlace> ReadRememberedPlace(std::string_view user) {
  std::string value = ReadIni(DialogBoxIniFile(), kSection, RememberedKey(user));
  if (value.empty()) return std::nullopt;
  RememberedPlace place{GetParentFolder(value), GetFileName(value)};
  if (place.folder.empty() || !IsExistFolder(place.folder)) return std::nullopt;
  return place;
}

bool RememberChosenPath(std::string_view user, std::string_view full_path) {
  std::string folder = GetParentFolder(full_path);
  if (folder.empty()) return false;
  MakeSettingsFolder();
  return WriteIni(DialogBoxIniFile(), kSection, RememberedKey(user), folder);
}

}  // namespace lanereport
