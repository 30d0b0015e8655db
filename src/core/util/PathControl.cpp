#include "util/PathControl.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "util/StringUtil.h"

namespace lanereport {

std::string AddPathSeparator(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != '/') out += '/';
  return out;
}

std::string GetParentFolder(std::string_view path) {
  if (Trim(path).empty()) return "";
  auto last = path.rfind('/');
  if (last == std::string_view::npos) return "";
  // A relative path's folder stays relative: "op/page.html" gives "op/", never "/op/".
  return std::string(path.substr(0, last + 1));
}

std::string GetFileName(std::string_view path) {
  if (Trim(path).empty()) return "";
  auto last = path.rfind('/');
  if (last == std::string_view::npos) return std::string(path);
  return std::string(path.substr(last + 1));
}

std::string GetDriveRoot(std::string_view path) {
  return !path.empty() && path.front() == '/' ? "/" : "";
}

std::string GetFolderWithoutDrive(std::string_view path) {
  // The root is the only drive, and it belongs to the folder: "/work/" stays "/work/".
  return GetParentFolder(path);
}

bool IsExistFile(std::string_view path) {
  std::string p(path);
  struct stat st {};
  if (::stat(p.c_str(), &st) == 0) return S_ISREG(st.st_mode);
  // Not there under this exact name: look for one that differs only in letter case.
  std::string folder = GetParentFolder(path);
  std::string name = GetFileName(path);
  if (name.empty()) return false;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  bool found = false;
  while (const struct dirent* entry = ::readdir(dir)) {
    if (!EqualsIgnoreCase(entry->d_name, name)) continue;
    if (entry->d_type == DT_REG) {
      found = true;
    } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      // The type of what the name leads to.
      found = ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }
    if (found) break;
  }
  ::closedir(dir);
  return found;
}

bool IsExistFolder(std::string_view path) {
  struct stat st {};
  return ::stat(std::string(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string BaseNameWithoutExtension(std::string_view path) {
  std::string name = GetFileName(path);
  auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace lanereport
