#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// Path splitting and joining. "/" is the only separator.

// The text followed by "/" unless its last character already is "/".
std::string AddPathSeparator(std::string_view path);
// The folder of a path, ending with "/": "/work/page.html" gives "/work/", "/page.html" gives
// "/". Empty for an empty path or a path without any separator.
std::string GetParentFolder(std::string_view path);
// What follows the last "/" (the whole text when there is none); empty for an empty path.
std::string GetFileName(std::string_view path);
// The text up to and including the first "/": "/" for an absolute path.
std::string GetDriveRoot(std::string_view path);
// The parent folder without the drive part; for ordinary paths the whole parent folder.
std::string GetFolderWithoutDrive(std::string_view path);
// True when the path's folder holds a regular file whose name equals the path's file name,
// ignoring letter case.
bool IsExistFile(std::string_view path);
// True when the path names an existing folder.
bool IsExistFolder(std::string_view path);

// The file name without its folder and without its extension: "/data/score.db" gives "score".
std::string BaseNameWithoutExtension(std::string_view path);

}  // namespace lanereport
