#pragma once

#include <string>

namespace lanereport {

// The name of the Japanese public holiday that falls on the given date, as UTF-8 text, or ""
// when the day is an ordinary day. Holidays follow the law of each year: the imperial feasts
// from 1873, the national holidays from 1948 with their later changes, the one-off ceremony
// days, the substitute holiday ("振替休日") for a holiday on a Sunday from 1973-04-12 and the
// day between two holidays ("国民の休日") from 1985-12-27.
//
// weekday is the weekday of the date, Monday = 1, Tuesday = 2, ... Sunday = 7; the weekdays of
// the neighbouring days that the substitute and in-between rules look at are counted from it.
// The routine keeps no state between calls, so the result does not depend on which dates were
// asked before or in what order. A date that does not exist, or a weekday outside 1 to 7, gives
// "".
std::string HolidayName(int year, int month, int day, int weekday);

// The same, with the weekday taken from the calendar.
std::string HolidayName(int year, int month, int day);

}  // namespace lanereport
