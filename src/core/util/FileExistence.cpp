#include "util/FileExistence.h"

#include <sys/stat.h>

#include <filesystem>

#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {

bool FileExistence::IsExistFile(std::string_view path) {
  std::string p(path);
  struct stat st {};
  if (::stat(p.c_str(), &st) == 0) return S_ISREG(st.st_mode);
  std::string name = ToLowerAscii(GetFileName(path));
  if (name.empty()) return false;
  std::string folder = GetParentFolder(path);
  auto found = folders_.find(folder);
  if (found == folders_.end()) {
    std::set<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec);
    if (!ec) {
      for (const auto& entry : it) {
        if (entry.is_regular_file(ec)) names.insert(ToLowerAscii(entry.path().filename().string()));
      }
    }
    found = folders_.emplace(std::move(folder), std::move(names)).first;
  }
  return found->second.count(name) > 0;
}

void FileExistence::Written(std::string_view path) {
  auto found = folders_.find(GetParentFolder(path));
  if (found != folders_.end()) found->second.insert(ToLowerAscii(GetFileName(path)));
}

}  // namespace lanereport
