#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "GameBuilder.h"
#include "ScoreDb.h"
#include "database/Database.h"
#include "pages/BowlerGames.h"
#include "pages/PlayLookup.h"
#include "scoring/YearGames.h"
#include "scoring/clsResult_List.h"
#include "util/AppError.h"
#include "workbook/SelectionBuilder.h"
#include "workbook/StatisticsSummary.h"

namespace lanereport {
namespace {

using namespace testing;

// What tells two games apart on a page or in a statistic, in one line.
std::string Line(const clsResult_Data& g) {
  std::string line = g.BowlerName() + "|" + g.AlleyName() + "|" + g.LevelName() + "|" +
                     g.PlayDate() + "|" + std::to_string(g.Playnumber()) + "|" +
                     std::to_string(g.GameNumber()) + "|" + g.Tenthframescore();
  for (int i = 0; i < 21; ++i) line += "|" + g.Roll(i);
  return line;
}

template <typename Games>
std::vector<std::string> Lines(const Games& games) {
  std::vector<std::string> lines;
  for (const clsResult_Data& g : games) lines.push_back(Line(g));
  return lines;
}

// The bowler's games as the engine selects them for the pages.
std::vector<std::string> Selected(Database& db, const std::string& bowler, const std::string& from,
                                  const std::string& to, long order = 0) {
  clsResult_List list(db);
  try {
    list.SelectRecord(PeriodCondition(bowler, from, to), order);
  } catch (const AppError&) {
  }
  return Lines(list);
}

// The summary shows what the list's own statistics give.
void ExpectSummaryOf(const StatisticsSummary& s, clsResult_List& list, const std::string& what) {
  SCOPED_TRACE(what);
  list.CalcProbability();
  EXPECT_EQ(s.count, list.Count());
  EXPECT_EQ(s.total, list.ScoreTotal());
  EXPECT_EQ(s.max_score, list.MaxScore());
  EXPECT_EQ(s.min_score, list.MinScore());
  EXPECT_EQ(s.max_series, list.MaxSeries());
  EXPECT_EQ(s.min_series, list.MinSeries());
  EXPECT_EQ(s.Avg(), list.Avg());
  for (long k = 0; k <= 30; ++k)
    EXPECT_EQ(s.distribution[static_cast<std::size_t>(k)], list.Distribution(k * 10)) << k;
  for (long kind = 0; kind < 8; ++kind) {
    EXPECT_EQ(s.rates.whole[static_cast<std::size_t>(kind)], list.AllProbability(kind));
    for (long f = 0; f <= 9; ++f)
      EXPECT_EQ(s.rates.frames[static_cast<std::size_t>(f)][static_cast<std::size_t>(kind)],
                list.Probability(f, kind));
  }
  for (int y = 2024; y <= 2026; ++y) {
    for (int m = 1; m <= 12; ++m) {
      std::string month = std::to_string(y) + (m < 10 ? "0" : "") + std::to_string(m);
      EXPECT_EQ(s.MonthAvg(month), list.MonthAvg(month)) << month;
    }
  }
  EXPECT_EQ(s.start_month, list.getStartMonth());
  EXPECT_EQ(s.end_month, list.getEndMonth());
}

class YearGamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Database& db = fx_.Db();
    AddAlley(db, "Home", 1, true);
    AddAlley(db, "Away", 2, false);
    AddLevel(db, "League", 1, true);
    AddLevel(db, "Cup", 2, true);
    AddLevel(db, "Practice", 3, false);
    AddBowler(db, "Abe", "abe", 1);
    AddBowler(db, "Baba", "baba", 2);
    AddBowler(db, "Chiba", "chiba", 3);
    const char* const kDates[] = {"2024/12/30", "2025/01/05", "2025/02/11", "2025/02/11",
                                  "2025/06/30", "2025/12/31", "2026/01/01"};
    long n = 0;
    for (const char* bowler : {"Abe", "Baba", "Chiba"}) {
      for (const char* date : kDates) {
        ++n;
        const char* alley = n % 3 ? "Home" : "Away";
        const char* level = n % 4 == 0 ? "Practice" : (n % 2 ? "League" : "Cup");
        for (long game = 1; game <= 3; ++game) {
          std::string first = std::to_string((n + game) % 10);
          AddOpenGame(db, bowler, alley, level, date, game, first, first == "9" ? "0" : "1");
        }
      }
    }
  }

  Database& Db() { return fx_.Db(); }

  ScoreDbFixture fx_;
};

TEST_F(YearGamesTest, EachBowlersGamesAreTheEnginesSelectionOfThatBowler) {
  YearGames year(Db(), "2025");
  EXPECT_TRUE(year.Serves("20250101", "20251231"));
  EXPECT_TRUE(year.Serves("20250201", "20250630"));
  EXPECT_FALSE(year.Serves("20241231", "20250630"));
  EXPECT_FALSE(year.Serves("20250101", "20260101"));
  for (const std::string bowler : {"Abe", "Baba", "Chiba", "ABE", "chiba", "Nobody"}) {
    SCOPED_TRACE(bowler);
    EXPECT_EQ(Lines(year.Of(bowler)), Selected(Db(), bowler, "20250101", "20251231"));
    EXPECT_EQ(Lines(year.Of(bowler, "20250211", "20250630")),
              Selected(Db(), bowler, "20250211", "20250630"));
    // Newest play first, as the year pages show them.
    EXPECT_EQ(Lines(TurnPlaysRound(year.Of(bowler))),
              Selected(Db(), bowler, "20250101", "20251231", 1));
  }
  EXPECT_FALSE(year.Of("Abe").empty());

  // The page drivers' cut of a bowler is the same from the year's games as selected alone.
  BowlerGames alone(Db(), "Baba", "20250101", "20251231");
  BowlerGames from_year(Db(), "Baba", "20250101", "20251231", &year);
  EXPECT_EQ(Lines(from_year.All()), Lines(alone.All()));
  EXPECT_EQ(Lines(from_year.Period("20250201", "20251231")),
            Lines(alone.Period("20250201", "20251231")));
}

TEST_F(YearGamesTest, ABowlersLatestGamesAreCutFromTheYearOnlyWhenTheyAllLieInIt) {
  YearGames year(Db(), "2025");
  for (const std::string bowler : {"Abe", "BABA", "chiba"}) {
    SCOPED_TRACE(bowler);
    const long in_year = static_cast<long>(year.Of(bowler, "20250101", "20250630").size());
    ASSERT_GT(in_year, 3);
    for (long count : {1L, 3L, in_year}) {
      std::optional<std::vector<clsResult_Data>> latest = year.Latest(bowler, "20250630", count);
      ASSERT_TRUE(latest) << count;
      clsResult_List engine(Db());
      engine.SelectCount(bowler, "20250630", count, 3, CountedLevelsCondition(), "");
      EXPECT_EQ(Lines(*latest), Lines(engine)) << count;
    }
    // One game more would come from the year before; a last day after the year is not known.
    EXPECT_FALSE(year.Latest(bowler, "20250630", in_year + 1));
    EXPECT_FALSE(year.Latest(bowler, "20260101", 1));
    EXPECT_FALSE(year.Latest(bowler, "20241231", 1));
  }
  EXPECT_FALSE(year.Latest("Nobody", "20251231", 1));
}

TEST_F(YearGamesTest, TheYearPagesTakeABowlerByTheStoredNameOnly) {
  YearGames year(Db(), "2025");
  std::vector<std::string> abe = Lines(year.Of("Abe"));
  EXPECT_TRUE(year.Take("ABE").empty());
  EXPECT_EQ(Lines(year.Take("Abe")), abe);
  EXPECT_TRUE(year.Take("Abe").empty());
  EXPECT_TRUE(year.Of("Abe").empty());
  EXPECT_FALSE(year.Of("Baba").empty());
  EXPECT_FALSE(year.Empty());
}

// Stored values that compare otherwise in memory than in the engine: the year's games do not
// serve, and the callers select as before.
TEST_F(YearGamesTest, StoredValuesTheEngineComparesOtherwiseStopTheYearFromServing) {
  const std::vector<std::string> changes = {
      // a centre with a trailing blank
      "Update Result_Data Set Alley_Name = 'Home ' Where Bowler_Name = 'Baba' And "
      "Play_Date = '20250105' And Game_Number = 2",
      // the same bowler stored in two letter cases
      "Update Result_Data Set Bowler_Name = 'chiba' Where Bowler_Name = 'Chiba' And "
      "Play_Date = '20250630'",
      // two games of one play with the same number: the engine's order is open
      "Update Result_Data Set Game_Number = 1 Where Bowler_Name = 'Abe' And "
      "Play_Date = '20250105' And Game_Number = 2",
      // a play number that is not a number
      "Update Result_Data Set PlayNumber = 'x' Where Bowler_Name = 'Abe' And "
      "Play_Date = '20250630'",
      // a level that differs from another one in letter case only
      "Update Result_Data Set Level_Name = 'league' Where Bowler_Name = 'Baba' And "
      "Play_Date = '20251231'",
  };
  for (const std::string& change : changes) {
    SCOPED_TRACE(change);
    Db().BeginTrans();
    Db().ExecuteNative(change);
    YearGames year(Db(), "2025");
    EXPECT_FALSE(year.Serves("20250101", "20251231"));
    EXPECT_TRUE(year.Of("Abe").empty());
    EXPECT_FALSE(YearGames::EachBowler(Db(), "20250101", "20251231", "",
                                       [](const std::string&, std::vector<clsResult_Data>&&) {}));
    // The drivers then select the bowler's games themselves.
    BowlerGames games(Db(), "Abe", "20250101", "20251231", &year);
    EXPECT_EQ(Lines(games.All()), Selected(Db(), "Abe", "20250101", "20251231"));
    Db().Rollback();
  }
}

TEST_F(YearGamesTest, EachBowlerHandsOverEveryBowlerOnceWithItsSelection) {
  std::vector<std::string> names;
  const std::string condition = LevelAlleyCondition(kHomeLane, kAllLevels);
  bool served =
      YearGames::EachBowler(Db(), "20250101", "20251231", condition,
                            [&](const std::string& name, std::vector<clsResult_Data>&& games) {
                              names.push_back(name);
                              auto alone = SelectStatisticsGames(Db(), name, kHomeLane, kAllLevels,
                                                                 "2025/01/01", "2025/12/31", 0);
                              EXPECT_EQ(Lines(games), Lines(*alone)) << name;
                            });
  EXPECT_TRUE(served);
  EXPECT_EQ(names, (std::vector<std::string>{"abe", "baba", "chiba"}));
}

TEST_F(YearGamesTest, TheWorkbooksSharedFiguresAreThoseOfEachBowlersOwnSelection) {
  YearGames year(Db(), "2025");
  StatisticsCache with_year(Db(), &year);
  StatisticsCache without(Db());
  struct Selection {
    const char* alley;
    const char* level;
    const char* start;
    const char* end;
    long past;
  };
  const Selection selections[] = {
      {kBlankChoice, kBlankChoice, "2025/01/01", "2025/12/31", 0},
      {kBlankChoice, kBlankChoice, "2025/02/01", "2025/06/30", 0},
      {kHomeLane, kAllLevels, "2025/01/01", "2025/12/31", 0},
      {"Away", "Cup", "2024/01/01", "2026/12/31", 0},
      {kNotHomeLane, kBlankChoice, "2025/01/01", "2025/12/31", 0},
      {kBlankChoice, kBlankChoice, "1900/01/01", "2025/12/31", 4},
  };
  for (const Selection& s : selections) {
    for (const std::string bowler : {"Abe", "BABA", "Chiba", "Nobody"}) {
      auto games = SelectStatisticsGames(Db(), bowler, s.alley, s.level, s.start, s.end, s.past);
      std::string what = bowler + " " + s.alley + " " + s.level + " " + s.start;
      ExpectSummaryOf(with_year.Get(bowler, s.alley, s.level, s.start, s.end, s.past), *games,
                      what + " (year)");
      ExpectSummaryOf(without.Get(bowler, s.alley, s.level, s.start, s.end, s.past), *games, what);
    }
  }
}

TEST_F(YearGamesTest, FiguresWorkedOutAheadOnAnotherThreadAreThoseOfEachBowlersOwnSelection) {
  struct Period {
    const char* alley;
    const char* level;
    const char* start;
    const char* end;
  };
  const Period periods[] = {
      {kHomeLane, kAllLevels, "2025/01/01", "2025/12/31"},
      {"Away", "Cup", "2024/01/01", "2026/12/31"},
      {kNotHomeLane, kBlankChoice, "2025/01/01", "2025/12/31"},
  };
  struct Latest {
    const char* alley;
    const char* level;
    const char* end;
    long past;
  };
  const Latest latest[] = {
      {kBlankChoice, kBlankChoice, "2025/12/31", 4},
      {kHomeLane, kAllLevels, "2025/06/30", 2},
  };
  // Ahead of the sheets, before they ask, while they ask, or after the run no longer needs them
  // (then the run works them out itself).
  for (int when = 0; when < 3; ++when) {
    SCOPED_TRACE(when);
    PeriodsAhead ahead;
    StatisticsCache cache(Db());
    cache.UsePeriodsAhead(&ahead);
    std::unique_ptr<Database> own = Database::Open(fx_.DbPath());
    const std::vector<std::string> bowlers = {"Abe", "BABA", "Chiba", "Nobody"};
    // Each bowler's latest games are worked out bowler by bowler, the periods for every bowler.
    auto prepare = [&] {
      for (const Latest& l : latest)
        ahead.PrepareLatest(*own, bowlers, l.alley, l.level, "1900/01/01", l.end, l.past);
      for (const Period& p : periods) ahead.Prepare(*own, p.alley, p.level, p.start, p.end);
    };
    std::thread other;
    if (when == 0) prepare();
    if (when == 1) other = std::thread(prepare);
    if (when == 2) {
      ahead.Close();
      prepare();
    }
    for (const std::string& bowler : bowlers) {
      for (const Latest& l : latest) {
        auto games =
            SelectStatisticsGames(Db(), bowler, l.alley, l.level, "1900/01/01", l.end, l.past);
        ExpectSummaryOf(cache.Get(bowler, l.alley, l.level, "1900/01/01", l.end, l.past), *games,
                        bowler + " latest " + std::to_string(l.past));
      }
      for (const Period& p : periods) {
        auto games = SelectStatisticsGames(Db(), bowler, p.alley, p.level, p.start, p.end, 0);
        ExpectSummaryOf(cache.Get(bowler, p.alley, p.level, p.start, p.end, 0), *games,
                        bowler + " " + p.alley + " " + p.level + " " + p.start);
      }
    }
    if (other.joinable()) other.join();
  }
}

}  // namespace
}  // namespace lanereport
