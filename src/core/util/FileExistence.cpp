#include "util/FileExistence.h"

#include <dirent.h>
#include <sys/stat.h>

#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {

namespace {

// What the folder holds: each regular file (a link to one too) in lower case, anything else
// under its own name. A link to nothing is neither; a folder that cannot be listed holds
// nothing.
void ListFolder(const std::string& folder, std::set<std::string>& files,
                std::set<std::string>& others) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  const int fd = ::dirfd(dir);
  while (const struct dirent* entry = ::readdir(dir)) {
    std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      // The type of what the name leads to.
      struct stat st {};
      if (::fstatat(fd, entry->d_name, &st, 0) != 0) continue;
      regular = S_ISREG(st.st_mode);
    }
    if (regular)
      files.insert(ToLowerAscii(name));
    else
      others.emplace(name);
  }
  ::closedir(dir);
}

}  // namespace

bool FileExistence::IsExistFile(std::string_view path) {
  // The folder is listed at the first look into it: a run looks for many names in each of its
  // folders, and one listing costs less than a few stats.
  std::string folder = GetParentFolder(path);
  auto found = folders_.find(folder);
  if (found == folders_.end()) {
    Listing listing;
    ListFolder(folder, listing.files, listing.others);
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
