// Page generation on a league-sized sample database (99 bowlers, five years): one score table
// page, one monthly table page, every page of one bowler's year written to disk, and every page
// of the whole database built in memory.
#include <benchmark/benchmark.h>

#include <set>
#include <string>
#include <vector>

#include "LeagueSample.h"
#include "database/WindowSettings.h"
#include "pages/MonthlyPage.h"
#include "pages/MonthlyPageOutput.h"
#include "pages/PageContext.h"
#include "pages/ScorePage.h"
#include "pages/ScorePageOutput.h"
#include "ui/ProgressWindow.h"

namespace lanereport {
namespace {

using bench::Sample;

struct Play {
  std::string bowler, date, alley, level;
};

// Every play of the counted levels, in date order, read once.
const std::vector<Play>& Plays() {
  static const std::vector<Play> plays = [] {
    std::vector<Play> list;
    auto rs = Sample().Db().OpenRecordset(
        "Select Distinct Bowler_Name, Play_Date, Alley_Name, Level_Name From Result_Data "
        "Where Level_Name In (Select Name From Level_Data Where CalculationTarget = True) "
        "Order By Play_Date, Bowler_Name, Alley_Name, Level_Name");
    for (; !rs->Eof(); rs->MoveNext())
      list.push_back({rs->Field("Bowler_Name").Text(), rs->Field("Play_Date").Text(),
                      rs->Field("Alley_Name").Text(), rs->Field("Level_Name").Text()});
    return list;
  }();
  return plays;
}

PageContext Context(SilentProgress& progress) {
  return PageContext{Sample().Db(), "league", LoadWindowSettings(Sample().Db()),
                     Sample().Folder() + "/site", progress};
}

const Play& FirstPlayOfBowlerIn2023() {
  for (const Play& p : Plays())
    if (p.bowler == Sample().Bowler() && p.date >= "20230101") return p;
  std::abort();
}

void BM_OneScorePage(benchmark::State& state) {
  SilentProgress progress;
  PageContext context = Context(progress);
  const Play& play = FirstPlayOfBowlerIn2023();
  std::string page;
  for (auto _ : state) {
    page.clear();
    benchmark::DoNotOptimize(
        MakeScorePage(context, play.bowler, play.date, play.alley, play.level, page));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_OneScorePage)->Unit(benchmark::kMicrosecond);

void BM_OneMonthlyPage(benchmark::State& state) {
  SilentProgress progress;
  PageContext context = Context(progress);
  std::string month = FirstPlayOfBowlerIn2023().date.substr(0, 6);
  std::string page;
  for (auto _ : state) {
    page.clear();
    benchmark::DoNotOptimize(MakeMonthlyPage(context, Sample().Bowler(), month, page));
  }
}
BENCHMARK(BM_OneMonthlyPage)->Unit(benchmark::kMicrosecond);

// The score and monthly tables of one bowler's year, written over the pages of the last round.
void BM_BowlerYearToDisk(benchmark::State& state) {
  SilentProgress progress;
  PageContext context = Context(progress);
  long pages = 0;
  for (auto _ : state) {
    pages = OutputScorePages(context, Sample().Bowler(), Sample().Aname(), "2023/01/01",
                             "2023/12/31", true)
                .pages;
    pages +=
        OutputMonthlyPages(context, Sample().Bowler(), Sample().Aname(), "2023/01", "2023/12", true)
            .pages;
  }
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages) * state.iterations(),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BowlerYearToDisk)->Unit(benchmark::kMillisecond);

// Every score table and monthly table page of the database, built in memory.
void BM_EveryPageOfTheLeague(benchmark::State& state) {
  SilentProgress progress;
  PageContext context = Context(progress);
  std::set<std::pair<std::string, std::string>> months;
  for (const Play& p : Plays()) months.emplace(p.bowler, p.date.substr(0, 6));
  long pages = 0;
  std::size_t bytes = 0;
  for (auto _ : state) {
    pages = 0;
    bytes = 0;
    std::string page;
    for (const Play& p : Plays()) {
      page.clear();
      pages += MakeScorePage(context, p.bowler, p.date, p.alley, p.level, page) > 0;
      bytes += page.size();
    }
    for (const auto& [bowler, month] : months) {
      page.clear();
      pages += MakeMonthlyPage(context, bowler, month, page);
      bytes += page.size();
    }
  }
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages) * state.iterations(),
                                                 benchmark::Counter::kIsRate);
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_EveryPageOfTheLeague)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace lanereport
