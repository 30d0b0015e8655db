#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "scoring/MarkRates.h"

namespace lanereport {

class Database;
class YearGames;
class clsResult_List;

// What a statistics sheet shows of one selection of games, worked out once from the list:
// totals, high and low game and series, the score distribution, the mark rates and the monthly
// sums. The values are the list's own (clsResult_List), so a sheet filled from the summary shows
// what it would show from the list.
struct StatisticsSummary {
  long count = 0;
  long total = 0;
  long max_score = 0;
  long min_score = 300;
  long max_series = 0;
  long min_series = 900;
  std::array<long, 31> distribution{};  // [k]: the games scoring 10k to 10k + 9
  MarkRates rates;
  std::string start_month = "9999/99";
  std::string end_month = "0000/00";
  // The month averages: "YYYYMM" to the average of the games of that month.
  std::map<std::string, double, std::less<>> month_avgs;

  // -1 when there are no games.
  double Avg() const;
  // The average of the month "YYYYMM"; -1 when the selection has no game in it.
  double MonthAvg(std::string_view yyyymm) const;
};

// The summary of the games of the list; computes the list's mark rates.
StatisticsSummary Summarize(clsResult_List& games);

// The summaries of the statistics selections of one workbook run, each selected and worked out
// at its first use: the sheets that select the same games (bowler, centre, level, period and
// number of latest games) share one. The games of a period are selected once for every bowler
// and worked out bowler by bowler, when the stored values let the engine's selections of each
// bowler be cut from them (YearGames); else each bowler's are selected. The games must not
// change while the cache is used.
class StatisticsCache {
 public:
  // With the year's games of a bulk run, a bowler's games of the counted levels at every centre
  // within the year are taken from them instead of being selected.
  explicit StatisticsCache(Database& db, const YearGames* year = nullptr) : db_(db), year_(year) {}

  // The summary of SelectStatisticsGames(db, bowler, alley, level, start, end, past_count).
  const StatisticsSummary& Get(std::string_view bowler, std::string_view alley,
                               std::string_view level, std::string_view start, std::string_view end,
                               long past_count);

 private:
  using BowlerSummaries = std::map<std::string, StatisticsSummary, std::less<>>;
  // The summaries of every bowler (by the name in lower case) of one centre, level and period;
  // nothing when the selection cannot serve every bowler.
  std::optional<BowlerSummaries> SummarizeEveryBowler(std::string_view alley,
                                                      std::string_view level,
                                                      const std::string& first,
                                                      const std::string& last);

  Database& db_;
  const YearGames* year_;
  std::map<std::string, StatisticsSummary, std::less<>> summaries_;
  std::map<std::string, std::optional<BowlerSummaries>, std::less<>> periods_;
  std::optional<StatisticsSummary> none_;  // the summary of no games
};

}  // namespace lanereport
