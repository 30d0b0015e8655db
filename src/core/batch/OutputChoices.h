#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "util/Clock.h"

namespace lanereport {

class Database;

// The entries of the output window's lists and the checks of its period, taken from the master
// tables and the clock so that the window only shows them.

// The bowlers' names in Number order; empty when the table has none or cannot be read.
std::vector<std::string> BowlerChoices(Database& db);

// The centre choices: the blank marker (no condition), "ホームレーン", "ホームレーン以外", the
// blank marker again, then every centre's Name in Number order. With no centre (or a table
// that cannot be read) only the four fixed entries.
std::vector<std::string> AlleyChoices(Database& db);

// The level choices: the blank marker (only the calculation-target levels),
// "成績算出レベル外含むすべて" (every level), the blank marker again, then every level's Name in
// Number order.
std::vector<std::string> LevelChoices(Database& db);

// The years of the bulk run: from ten years before today's year up to it, "YYYY", oldest first.
std::vector<std::string> YearChoices(CivilDate today);

// The months of the monthly tables: from ten months before today's month up to it, "YYYY/MM",
// oldest first.
std::vector<std::string> MonthChoices(CivilDate today);

// A date as "YYYY/MM/DD", a month as "YYYY/MM", a year as "YYYY".
std::string SlashedDate(CivilDate date);
std::string SlashedMonth(CivilDate date);
std::string YearText(CivilDate date);

// True when a period given as two "YYYY/MM/DD" texts is in order: the start does not sort after
// the end. Compared as texts, as stored dates are.
bool PeriodInOrder(std::string_view start, std::string_view end);

// True for a text the date fields accept (year, month and day as ParseDateToYmd reads them),
// blanks around allowed.
bool IsDateText(std::string_view text);

}  // namespace lanereport
