#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// A stored value as a message or a listing shows it: tab, line feed and carriage return as
// \t, \n and \r, every other control character (below 0x20, and 0x7F) as \xNN in upper-case
// hex, and so is every byte that starts no well-formed UTF-8 character; all other characters
// as they are. The score database is shared
// with other programs, so a value may hold anything, and a raw control byte printed to a
// terminal would move the cursor, clear the screen or break the line of a listing.
std::string VisibleText(std::string_view value);

}  // namespace lanereport
