#pragma once

#include <string>
#include <string_view>

#include "pages/PageContext.h"

namespace lanereport {

class Database;

// The monthly table page ("月間表") of one bowler and month: a summary of the month, then one
// row group per play with its games in series of three, series totals, the play's average and
// total and a remarks cell; each play's date links to its score table page.

// Builds the page of the month ("yyyymm") from the bowler's games in the levels that count in
// statistics, with the look settings of context; the page text (UTF-8) goes into page. Returns
// false and leaves page unchanged when the month has no such games. On the league database
// (kLeagueDbName) the remarks carry "【昇格対戦権利獲得】" and "【角番】"; elsewhere they are "-".
bool MakeMonthlyPage(PageContext& context, std::string_view bowler, std::string_view yyyymm,
                     std::string& page);

// True when the bowler's games of the day ("yyyymmdd", every centre and level, in play order)
// are 3 or more and, after some game, hold 7 strikes or more and three strikes in a row
// somewhere.
bool HasPromotionRight(Database& db, std::string_view bowler, std::string_view yyyymmdd);

// The two quantities that the "【角番】" marker compares, kept for the whole page: a selection
// that fails leaves the value of the previous play (0 before the first).
struct LeagueMarkerState {
  double threshold = 0;    // 0.8 times the average of the last 30 games up to the day
  double day_average = 0;  // the average of the day's games in the levels that count
};

// The league markers of one play day: "【昇格対戦権利獲得】" when HasPromotionRight, then
// "【角番】" when the threshold is greater than the day's average; empty text otherwise.
std::string LeagueMarkers(Database& db, std::string_view bowler, std::string_view yyyymmdd,
                          LeagueMarkerState& state);

}  // namespace lanereport
