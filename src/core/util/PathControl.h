#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// Path splitting and joining. "/" is the only separator. A relative path stays relative to the
// current folder: nothing here ever turns it into a path from the root.

// The text followed by "/" unless its last character already is "/".
std::string AddPathSeparator(std::string_view path);
// The folder of a path, ending with "/": "/work/page.html" gives "/work/", "/page.html" gives
// "/", "op/page.html" gives "op/". Empty (the current folder) for an empty path or a path
// without any separator.
std::string GetParentFolder(std::string_view path);
// What follows the last "/" (the whole text when there is none); empty for an empty path.
std::string GetFileName(std::string_view path);
// The root a path starts from: "/" for an absolute path, empty for a relative one.
std::string GetDriveRoot(std::string_view path);
// The parent folder without the drive part. The root is the only drive and is kept, so this is
// the whole parent folder (GetParentFolder), relative when the path is.
std::string GetFolderWithoutDrive(std::string_view path);
// True when the path's folder holds a regular file whose name equals the path's file name,
// ignoring letter case.
bool IsExistFile(std::string_view path);
// True when the path names an existing folder.
bool IsExistFolder(std::string_view path);

// The file name without its folder and without its extension: "/data/score.db" gives "score".
std::string BaseNameWithoutExtension(std::string_view path);

}  // namespace lanereport
