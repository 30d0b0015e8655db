#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// One value of a private-profile (INI) file in code page 932: "[section]" lines and "key=value"
// lines, section and key names compared ignoring letter case. A missing file, section or key
// reads as "", and so does every key of a file that cannot be read or is not code page 932 text
// (damaged, binary or in another encoding). Values are cut to 255 characters.
std::string ReadIni(std::string_view file, std::string_view section, std::string_view key);

// Writes one value, creating the file, section or key as needed. The file is made writable
// first and left read-only afterwards; it is written whole. A file that reads as empty because
// it is not code page 932 text is replaced by one that holds only this value. Errors are
// swallowed: the result tells whether the value was written.
bool WriteIni(std::string_view file, std::string_view section, std::string_view key,
              std::string_view value);

}  // namespace lanereport
