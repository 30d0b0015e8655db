// Selection and statistics of one bowler's games on a league-sized sample database (99 bowlers,
// five years). The database is made once, in a temporary folder, before the first benchmark.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "LeagueSample.h"
#include "scoring/YearGames.h"
#include "scoring/clsResult_List.h"
#include "workbook/SelectionBuilder.h"

namespace lanereport {
namespace {

using bench::LeagueSample;
using bench::Sample;

std::string YearCondition(const std::string& bowler) {
  return "Bowler_Name = " + SqlQuote(bowler) +
         "\r\n And Play_Date Between '20230101' And '20231231'\r\n";
}

// Everything a statistics sheet asks of one bowler's list.
void AllStatistics(clsResult_List& list, benchmark::State& state) {
  list.CalcProbability();
  long sum = list.ScoreTotal() + list.MaxScore() + list.MinScore() + list.MaxSeries() +
             list.MinSeries() + list.MaxGameNumber();
  for (long b = 0; b <= 300; b += 10) sum += list.Distribution(b);
  double rates = list.Avg();
  for (int kind = 0; kind < 8; ++kind) {
    rates += list.AllProbability(kind);
    for (int frame = 0; frame <= 9; ++frame) rates += list.Probability(frame, kind);
  }
  for (int month = 1; month <= 12; ++month) {
    char m[16];
    std::snprintf(m, sizeof m, "2023%02d", month);
    rates += list.MonthAvg(m);
  }
  benchmark::DoNotOptimize(sum);
  benchmark::DoNotOptimize(rates);
  benchmark::DoNotOptimize(list.MaxSeriesGame());
  benchmark::DoNotOptimize(list.getStartMonth() + list.getEndMonth());
  state.counters["games"] = static_cast<double>(list.Count());
}

void BM_SelectBowlerYear(benchmark::State& state) {
  LeagueSample& sample = Sample();
  std::string condition = YearCondition(sample.Bowler());
  for (auto _ : state) {
    clsResult_List list(sample.Db());
    list.SelectRecord(condition, 0);
    benchmark::DoNotOptimize(list.Count());
  }
}
BENCHMARK(BM_SelectBowlerYear)->Unit(benchmark::kMillisecond);

void BM_SelectBowlerYearWithStatistics(benchmark::State& state) {
  LeagueSample& sample = Sample();
  std::string condition = YearCondition(sample.Bowler());
  for (auto _ : state) {
    clsResult_List list(sample.Db());
    list.SelectRecord(condition, 0);
    AllStatistics(list, state);
  }
}
BENCHMARK(BM_SelectBowlerYearWithStatistics)->Unit(benchmark::kMillisecond);

void BM_StatisticsOnly(benchmark::State& state) {
  LeagueSample& sample = Sample();
  clsResult_List list(sample.Db());
  list.SelectRecord(YearCondition(sample.Bowler()), 0);
  for (auto _ : state) AllStatistics(list, state);
}
BENCHMARK(BM_StatisticsOnly)->Unit(benchmark::kMillisecond);

void BM_LatestThirtyGames(benchmark::State& state) {
  LeagueSample& sample = Sample();
  for (auto _ : state) {
    clsResult_List list(sample.Db());
    list.SelectCount(sample.Bowler(), "20231231", 30, 3, "", "");
    AllStatistics(list, state);
  }
}
BENCHMARK(BM_LatestThirtyGames)->Unit(benchmark::kMillisecond);

// The counted games of a year for every bowler, as a bulk run reads them once.
void BM_ReadYearOfEveryBowler(benchmark::State& state) {
  LeagueSample& sample = Sample();
  for (auto _ : state) {
    YearGames year(sample.Db(), "2023");
    benchmark::DoNotOptimize(year.Empty());
  }
}
BENCHMARK(BM_ReadYearOfEveryBowler)->Unit(benchmark::kMillisecond);

// Every level's games at the home centres of a year, handed over bowler by bowler, as the
// workbook's home sheet reads them.
void BM_HomeCentresBowlerByBowler(benchmark::State& state) {
  LeagueSample& sample = Sample();
  const std::string condition = LevelAlleyCondition(kHomeLane, kAllLevels);
  for (auto _ : state) {
    long games = 0;
    YearGames::EachBowler(sample.Db(), "20230101", "20231231", condition,
                          [&](const std::string&, std::vector<clsResult_Data>&& list) {
                            games += static_cast<long>(list.size());
                          });
    state.counters["games"] = static_cast<double>(games);
  }
}
BENCHMARK(BM_HomeCentresBowlerByBowler)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lanereport
