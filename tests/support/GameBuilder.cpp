#include "GameBuilder.h"

#include "database/clsAlley_Data.h"
#include "database/clsBowler_Data.h"
#include "database/clsLevel_Data.h"
#include "database/clsS_OUTPUT_Data.h"
#include "scoring/clsResult_Data.h"
#include "workbook/SelectionBuilder.h"

namespace lanereport::testing {

void AddBowler(Database& db, const std::string& name, const std::string& aname, long number,
               bool female) {
  clsBowler_Data b(db);
  b.Name(name);
  b.Aname(aname);
  b.Password("pw");
  b.Number(number);
  b.Sex(female);
  b.Add();
}

void AddAlley(Database& db, const std::string& name, long number, bool home) {
  clsAlley_Data a(db);
  a.Name(name);
  a.Number(number);
  a.HomeFlag(home);
  a.Add();
}

void AddLevel(Database& db, const std::string& name, long number, bool target,
              const std::string& colour) {
  clsLevel_Data l(db);
  l.Name(name);
  l.Number(number);
  l.CalculationTarget(target);
  l.Fcolor(colour);
  l.Add();
}

void AddGame(Database& db, const std::string& bowler, const std::string& alley,
             const std::string& level, const std::string& date, long game,
             const std::vector<std::string>& rolls, long handicap, const std::string& memo) {
  clsResult_Data g(db);
  g.BowlerName(bowler);
  g.AlleyName(alley);
  g.LevelName(level);
  g.PlayDate(date);
  g.GameNumber(game);
  for (std::size_t i = 0; i < rolls.size(); ++i) {
    if (!rolls[i].empty()) g.Roll(static_cast<int>(i), rolls[i]);
  }
  g.Handicap(handicap);
  g.ResultMemo(memo);
  g.Add();
}

void AddOpenGame(Database& db, const std::string& bowler, const std::string& alley,
                 const std::string& level, const std::string& date, long game,
                 const std::string& first, const std::string& second) {
  std::vector<std::string> rolls;
  for (int f = 0; f < 10; ++f) {
    rolls.push_back(first);
    rolls.push_back(second);
  }
  rolls.push_back("");
  AddGame(db, bowler, alley, level, date, game, rolls);
}

void AddTwoBowlerMonthSheet(Database& db) {
  AddAlley(db, "ホーム", 1, true);
  AddLevel(db, "League", 1, true);
  AddBowler(db, "山田", "yamada", 1);
  AddBowler(db, "佐藤", "sato", 2);
  AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 1, "8", "1");  // 90
  AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 2, "7", "2");  // 90
  AddOpenGame(db, "佐藤", "ホーム", "League", "2003/06/01", 1, "6", "2");  // 80
  clsS_OUTPUT_Data month(db);
  month.Sheetname("Month");
  month.AlleyName(kBlankChoice);
  month.LevelName(kBlankChoice);
  month.Condition(true);
  month.StartDate("2003/05/01");
  month.EndDate("2003/06/30");
  month.Gamecount(true);
  month.MonthAvg(true);
  month.Add();
}

}  // namespace lanereport::testing
