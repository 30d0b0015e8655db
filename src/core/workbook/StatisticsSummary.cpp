#include "workbook/StatisticsSummary.h"

#include "scoring/YearGames.h"
#include "scoring/clsResult_List.h"
#include "util/DataChange.h"
#include "util/StringUtil.h"
#include "workbook/SelectionBuilder.h"

namespace lanereport {

double StatisticsSummary::Avg() const {
  if (count == 0) return -1;
  return static_cast<double>(total) / static_cast<double>(count);
}

double StatisticsSummary::MonthAvg(std::string_view yyyymm) const {
  auto found = month_avgs.find(yyyymm.substr(0, 6));
  return found == month_avgs.end() ? -1 : found->second;
}

StatisticsSummary Summarize(clsResult_List& games) {
  StatisticsSummary s;
  games.CalcProbability();
  s.count = games.Count();
  s.total = games.ScoreTotal();
  s.max_score = games.MaxScore();
  s.min_score = games.MinScore();
  s.max_series = games.MaxSeries();
  s.min_series = games.MinSeries();
  for (std::size_t k = 0; k < s.distribution.size(); ++k)
    s.distribution[k] = games.Distribution(static_cast<long>(k) * 10);
  s.rates = games.Rates();
  s.start_month = games.getStartMonth();
  s.end_month = games.getEndMonth();
  // A month's games are those whose date begins with it; every month a date begins with is here.
  for (const clsResult_Data& game : games) {
    if (game.PlayDate().size() < 6) continue;
    std::string month = game.PlayDate().substr(0, 6);
    if (!s.month_avgs.count(month)) s.month_avgs.emplace(month, games.MonthAvg(month));
  }
  return s;
}

std::optional<StatisticsCache::BowlerSummaries> StatisticsCache::SummarizeEveryBowler(
    std::string_view alley, std::string_view level, const std::string& first,
    const std::string& last) {
  BowlerSummaries summaries;
  bool served =
      YearGames::EachBowler(db_, first, last, LevelAlleyCondition(alley, level),
                            [&](const std::string& name, std::vector<clsResult_Data>&& games) {
                              clsResult_List list(db_, std::move(games));
                              summaries.emplace(name, Summarize(list));
                            });
  if (!served) return std::nullopt;
  return summaries;
}

std::string StatisticsCache::PeriodKey(std::string_view alley, std::string_view level,
                                       const std::string& first, const std::string& last) {
  return JoinedKey({alley, level, first, last});
}

bool PeriodsAhead::Claim(const std::string& key) {
  std::lock_guard<std::mutex> lock(mutex_);
  return periods_.try_emplace(key).second;
}

void PeriodsAhead::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
}

void PeriodsAhead::Deliver(const std::string& key, std::optional<BowlerSummaries> summaries,
                           bool failed) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Period& period = periods_[key];
    period.done = true;
    period.failed = failed;
    period.summaries = std::move(summaries);
  }
  delivered_.notify_all();
}

std::optional<StatisticsSummary> PeriodsAhead::AwaitLatest(const std::string& key) {
  std::unique_lock<std::mutex> lock(mutex_);
  delivered_.wait(lock, [&] { return periods_[key].done; });
  Period& period = periods_[key];
  if (period.failed || !period.latest) return std::nullopt;
  return std::move(period.latest);
}

bool PeriodsAhead::Open() {
  std::lock_guard<std::mutex> lock(mutex_);
  return !closed_;
}

std::optional<std::optional<PeriodsAhead::BowlerSummaries>> PeriodsAhead::Await(
    const std::string& key) {
  std::unique_lock<std::mutex> lock(mutex_);
  delivered_.wait(lock, [&] { return periods_[key].done; });
  Period& period = periods_[key];
  if (period.failed) return std::nullopt;
  return std::move(period.summaries);
}

void PeriodsAhead::Prepare(Database& db, std::string_view alley, std::string_view level,
                           std::string_view start, std::string_view end) {
  const std::string first = ReplaceAll(start, "/", "");
  const std::string last = ReplaceAll(end, "/", "");
  const std::string key = StatisticsCache::PeriodKey(alley, level, first, last);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return;
  }
  if (!Claim(key)) return;
  try {
    StatisticsCache cache(db);
    Deliver(key, cache.SummarizeEveryBowler(alley, level, first, last), false);
  } catch (...) {
    Deliver(key, std::nullopt, true);
  }
}

void PeriodsAhead::PrepareLatest(Database& db, const std::vector<std::string>& bowlers,
                                 std::string_view alley, std::string_view level,
                                 std::string_view start, std::string_view end, long past_count) {
  for (const std::string& bowler : bowlers) {
    if (!Open()) return;
    const std::string key =
        StatisticsCache::SummaryKey(bowler, alley, level, start, end, past_count);
    if (!Claim(key)) continue;
    std::optional<StatisticsSummary> summary;
    try {
      auto games = SelectStatisticsGames(db, bowler, alley, level, start, end, past_count);
      summary = Summarize(*games);
    } catch (...) {
      // The run works it out itself.
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      Period& period = periods_[key];
      period.done = true;
      period.failed = !summary;
      period.latest = std::move(summary);
    }
    delivered_.notify_all();
  }
}

std::string StatisticsCache::SummaryKey(std::string_view bowler, std::string_view alley,
                                        std::string_view level, std::string_view start,
                                        std::string_view end, long past_count) {
  return JoinedKey({bowler, alley, level, start, end}) + std::to_string(past_count);
}

const StatisticsSummary& StatisticsCache::Get(std::string_view bowler, std::string_view alley,
                                              std::string_view level, std::string_view start,
                                              std::string_view end, long past_count) {
  std::string key = SummaryKey(bowler, alley, level, start, end, past_count);
  auto found = summaries_.find(key);
  if (found != summaries_.end()) return found->second;
  // A bowler's latest games of the counted levels at every centre are cut from the year's games
  // when they all lie there; else those worked out ahead are taken from there.
  if (year_ && past_count > 0 && !bowler.empty() && alley == kBlankChoice &&
      level == kBlankChoice) {
    if (auto latest = year_->Latest(bowler, ReplaceAll(end, "/", ""), past_count)) {
      clsResult_List games(db_, std::move(*latest));
      return summaries_.emplace(std::move(key), Summarize(games)).first->second;
    }
  }
  if (ahead_ && past_count > 0 && !bowler.empty() && !ahead_->Claim(key)) {
    if (std::optional<StatisticsSummary> made = ahead_->AwaitLatest(key))
      return summaries_.emplace(std::move(key), std::move(*made)).first->second;
  }
  const std::string first = ReplaceAll(start, "/", "");
  const std::string last = ReplaceAll(end, "/", "");
  if (year_ && past_count == 0 && !bowler.empty() && alley == kBlankChoice &&
      level == kBlankChoice && year_->Serves(first, last)) {
    clsResult_List games(db_, year_->Of(bowler, first, last));
    return summaries_.emplace(std::move(key), Summarize(games)).first->second;
  }
  if (past_count == 0 && !bowler.empty()) {
    std::string period_key = PeriodKey(alley, level, first, last);
    auto period = periods_.find(period_key);
    if (period == periods_.end()) {
      std::optional<std::optional<BowlerSummaries>> made_ahead;
      if (ahead_ && !ahead_->Claim(period_key)) made_ahead = ahead_->Await(period_key);
      period = periods_
                   .emplace(std::move(period_key),
                            made_ahead ? std::move(*made_ahead)
                                       : SummarizeEveryBowler(alley, level, first, last))
                   .first;
    }
    if (period->second) {
      auto found = period->second->find(ToLowerAscii(bowler));
      if (found != period->second->end())
        return summaries_.emplace(std::move(key), found->second).first->second;
      if (!none_) {
        clsResult_List no_games(db_);
        none_ = Summarize(no_games);
      }
      return *none_;
    }
  }
  auto games = SelectStatisticsGames(db_, bowler, alley, level, start, end, past_count);
  return summaries_.emplace(std::move(key), Summarize(*games)).first->second;
}

}  // namespace lanereport
