#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

namespace lanereport {

// IsExistFile for the many pages of one run. A folder is listed once, when a file is first
// looked for in it; every look in that folder is answered from the listing. The files the run
// writes are recorded as it writes them, so the listing stays what the folder holds, as long as
// no other program changes the folder in the middle of the run: one object serves one pass over
// a folder (a driver's run).
class FileExistence {
 public:
  // True when the path's folder holds a regular file whose name equals the path's file name,
  // ignoring letter case (IsExistFile).
  bool IsExistFile(std::string_view path);
  // The run has written a regular file at path.
  void Written(std::string_view path);
  // True when the path's folder, as listed, held nothing under the path's name (no regular
  // file in any letter case, nothing else under the name itself) and the run has not written
  // it since; false when the folder was not listed.
  bool IsSeenFree(std::string_view path) const;

 private:
  struct Listing {
    std::set<std::string> files;   // the regular files, names in lower case
    std::set<std::string> others;  // what else is there under a name (folders...), as named
  };
  // Folder (as GetParentFolder gives it) to what it held when listed.
  std::map<std::string, Listing, std::less<>> folders_;
};

}  // namespace lanereport
