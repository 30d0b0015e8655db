#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lanereport {

// A calendar date typed as year, month and day separated by "/" or "-" ("2008/5/4",
// "2008-05-04") or as eight digits ("20080504"): the date as "YYYYMMDD", or nothing when the text
// is not a real date.
std::optional<std::string> ParseDateToYmd(std::string_view text);

// "YYYYMMDD" shown as "YYYY/MM/DD" (anything shorter is returned as it is).
std::string YmdToSlashed(std::string_view ymd);

// True for a real calendar date.
bool IsValidDate(int year, int month, int day);

}  // namespace lanereport
