#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lanereport {

class clsBowler_Data;

// The bowler profile page: the bowler's titles, photograph and mail link, and a ticker that
// types the bowler's details into a box when the page loads. Its functions live in the script
// "profiles.js" beside the pages. Lines of both end with CR alone, except the "made" link line
// of the page, which ends with CR LF. Stored values are escaped for where they land (text,
// attribute, address, the ticker's scripts), so each shows as stored and none becomes markup.

// The name of the ticker script beside the profile pages.
inline constexpr const char* kTickerScriptName = "profiles.js";

// The text of profiles.js. Its ticker writes into the element "lmsg" through document.all or
// document.layers, where a browser has them, and otherwise through document.getElementById
// (today's browsers, where document.all is there but counts as false).
std::string MakeTickerScript();

// The profile page of the bowler (UTF-8). db_name is the database name: on the league
// database (kLeagueDbName) the ticker starts with "Zepa-". The bowler's own Pathstyle,
// Pathback, Pathchar and Photo are written without a folder prefix; one that cannot go into
// its attribute (an address IsSafeLinkTarget refuses, a colour or background that
// IsSafeStyleValue refuses) is left out, with a line saying so added to
// replaced when it is given.
std::string MakeProfilePage(const clsBowler_Data& bowler, std::string_view db_name,
                            std::vector<std::string>* replaced = nullptr);

// The age in whole years on today's date of the clock in use (Clock.h), from a birth date
// written as ParseDateToYmd takes it; 0 when the text is empty or not a date. A birthday later
// in the current month than today counts as not yet reached.
long BowlerAge(std::string_view birth);

}  // namespace lanereport
