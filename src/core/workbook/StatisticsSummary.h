#pragma once

#include <array>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

class StatisticsCache;

// The summaries of every bowler for periods of a workbook run, worked out on a second thread
// ahead of the sheets that need them. Each period is worked out once, by whichever side claims
// it first; the other side takes it, waiting while it is being worked out.
class PeriodsAhead {
 public:
  // Works out, on the calling thread, the summaries of the period (centre, level, first and
  // last day "yyyy/mm/dd") for the run's cache, from the given database; nothing when the run
  // has claimed the period already.
  void Prepare(Database& db, std::string_view alley, std::string_view level, std::string_view start,
               std::string_view end);
  // Works out, on the calling thread, the summary of each bowler's latest past_count games (of
  // the centre and level, between the dates "yyyy/mm/dd") for the run's cache, bowler by bowler;
  // a bowler the run has claimed already is left to it.
  void PrepareLatest(Database& db, const std::vector<std::string>& bowlers, std::string_view alley,
                     std::string_view level, std::string_view start, std::string_view end,
                     long past_count);
  // The run needs no more periods: none is worked out ahead after this.
  void Close();

 private:
  friend class StatisticsCache;
  using BowlerSummaries = std::map<std::string, StatisticsSummary, std::less<>>;
  struct Period {
    bool done = false;
    bool failed = false;  // the run works it out itself
    std::optional<BowlerSummaries> summaries;
    std::optional<StatisticsSummary> latest;  // one bowler's latest games
  };
  // True when the calling side is the first to claim the period.
  bool Claim(const std::string& key);
  void Deliver(const std::string& key, std::optional<BowlerSummaries> summaries, bool failed);
  // The summaries of a period claimed by the other side, once they are there; nothing when
  // it failed.
  std::optional<std::optional<BowlerSummaries>> Await(const std::string& key);
  // The summary of one bowler's latest games claimed by the other side, once it is there;
  // nothing when it failed.
  std::optional<StatisticsSummary> AwaitLatest(const std::string& key);
  // False once the run needs no more periods.
  bool Open();

  std::mutex mutex_;
  std::condition_variable delivered_;
  std::map<std::string, Period> periods_;
  bool closed_ = false;
};

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
  // The periods another thread works out ahead: taken from there instead of being worked out.
  void UsePeriodsAhead(PeriodsAhead* ahead) { ahead_ = ahead; }

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

  friend class PeriodsAhead;
  // The key of the summaries of every bowler for a period (dates "yyyymmdd").
  static std::string PeriodKey(std::string_view alley, std::string_view level,
                               const std::string& first, const std::string& last);
  // The key of one summary, as Get is asked for it.
  static std::string SummaryKey(std::string_view bowler, std::string_view alley,
                                std::string_view level, std::string_view start,
                                std::string_view end, long past_count);

  Database& db_;
  const YearGames* year_;
  PeriodsAhead* ahead_ = nullptr;
  std::map<std::string, StatisticsSummary, std::less<>> summaries_;
  std::map<std::string, std::optional<BowlerSummaries>, std::less<>> periods_;
  std::optional<StatisticsSummary> none_;  // the summary of no games
};

}  // namespace lanereport
