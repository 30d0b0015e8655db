#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

namespace lanereport {

// IsExistFile for the many pages of one run: a file is looked for under its own name with one
// stat; only when it is not there is its folder listed, once per folder, for a name that
// differs in letter case alone. The files the run writes are recorded as it writes them, so
// the listing stays what the folder holds, as long as no other program changes the folder
// in the middle of the run: one object serves one pass over a folder (a driver's run).
class FileExistence {
 public:
  // True when the path's folder holds a regular file whose name equals the path's file name,
  // ignoring letter case (IsExistFile).
  bool IsExistFile(std::string_view path);
  // The run has written a regular file at path.
  void Written(std::string_view path);

 private:
  // Folder (as GetParentFolder gives it) to the lower-case names of its regular files.
  std::map<std::string, std::set<std::string>, std::less<>> folders_;
};

}  // namespace lanereport
