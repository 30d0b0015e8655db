#pragma once

#include <string>
#include <string_view>

#include "database/Value.h"

namespace lanereport {

// Normalises a field value read from the database. numeric: a value that reads as a number
// becomes that number as a double, anything else 0. Otherwise: null becomes "", anything else
// its text trimmed of blanks.
Value NullToValue(const Value& value, bool numeric);

// "#rrggbb" (any letter case) to the window colour literal "&HBBGGRR"; "" for anything else.
std::string HtmlColorToVb(std::string_view html);

// Replaces every occurrence of find, left to right; inserted text is never searched again.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement);

// The stored form of a bowler password. Mode "SET" (any letter case) lowers every character's
// code by 15, "RESET" raises it by 15; any other mode returns "".
std::string PasswordShift(std::string_view mode, std::string_view text);

}  // namespace lanereport
