#include "util/FileExistence.h"

#include <sys/stat.h>

#include <filesystem>

#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {

bool FileExistence::IsExistFile(std::string_view path) {
  std::string folder = GetParentFolder(path);
  auto found = folders_.find(folder);
  if (found == folders_.end()) {
    struct stat st {};
    if (::stat(std::string(path).c_str(), &st) == 0) return S_ISREG(st.st_mode);
    Listing listing;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec);
    if (!ec) {
      for (const auto& entry : it) {
        // The type the listing gives; only a link is looked up.
        bool regular = entry.is_regular_file(ec);
        if (ec) continue;  // a link to nothing: neither a file nor anything else
        std::string name = entry.path().filename().string();
        if (regular)
          listing.files.insert(ToLowerAscii(name));
        else
          listing.others.insert(std::move(name));
      }
    }
    found = folders_.emplace(std::move(folder), std::move(listing)).first;
  }
  // What a stat of the name would find first; else a regular file under another letter case.
  std::string name = GetFileName(path);
  if (name.empty() || found->second.others.count(name) > 0) return false;
  return found->second.files.count(ToLowerAscii(name)) > 0;
}

bool FileExistence::IsSeenFree(std::string_view path) const {
  auto found = folders_.find(GetParentFolder(path));
  if (found == folders_.end()) return false;
  std::string name = GetFileName(path);
  return !name.empty() && found->second.others.count(name) == 0 &&
         found->second.files.count(ToLowerAscii(name)) == 0;
}

void FileExistence::Written(std::string_view path) {
  auto found = folders_.find(GetParentFolder(path));
  if (found != folders_.end()) found->second.files.insert(ToLowerAscii(GetFileName(path)));
}

}  // namespace lanereport
