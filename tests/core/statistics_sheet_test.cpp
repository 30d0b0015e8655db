#include <gtest/gtest.h>

#include <algorithm>

#include "CountingProgress.h"
#include "GameBuilder.h"
#include "ScoreDb.h"
#include "database/MasterLists.h"
#include "database/clsS_OUTPUT_Data.h"
#include "scoring/clsResult_List.h"
#include "util/Clock.h"
#include "workbook/SelectionBuilder.h"
#include "workbook/StatisticsSheet.h"

namespace lanereport {
namespace {

using namespace testing;

// True when the cells of part stand side by side somewhere in row.
bool HoldsInOrder(const DataRow& row, const DataRow& part) {
  return std::search(row.begin(), row.end(), part.begin(), part.end()) != row.end();
}

class StatisticsSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Database& db = fx_.Db();
    AddAlley(db, "ホーム", 1, true);
    AddAlley(db, "アウェイ", 2, false);
    AddLevel(db, "League", 1, true);
    AddLevel(db, "Practice", 2, false);
    AddBowler(db, "山田", "Yamada", 1);
    AddBowler(db, "鈴木", "Suzuki", 2);
    AddBowler(db, "佐藤", "Sato", 3, true);
    AddBowler(db, "遠藤", "Endo", 150);
    AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 1, "8", "1");      // 90
    AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 2, "7", "0");      // 70
    AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 3, "6", "2");      // 80
    AddOpenGame(db, "山田", "アウェイ", "Practice", "2003/05/10", 1, "9", "0");  // not counted
    AddOpenGame(db, "山田", "アウェイ", "League", "2003/07/01", 1, "5", "4");    // 90
    AddOpenGame(db, "佐藤", "ホーム", "League", "2003/06/01", 1, "G", "0");      // 0
    AddOpenGame(db, "遠藤", "ホーム", "League", "2003/06/01", 1, "9", "0");
    bowlers_.SelectRecord("");
  }

  void Define(clsS_OUTPUT_Data& d, bool by_period) {
    d.Sheetname("Stat");
    d.AlleyName(kBlankChoice);
    d.LevelName(kBlankChoice);
    d.Condition(by_period);
    for (std::size_t i : {0, 13, 14, 16, 17, 18, 36, 37}) d.SwitchValue(i, true);
  }

  ScoreDbFixture fx_;
  clsBowler_List bowlers_{fx_.Db()};
  WorkbookState state_;
  CountingProgress progress_;
};

TEST_F(StatisticsSheetTest, PeriodModePlacesBowlersByNumber) {
  clsS_OUTPUT_Data def(fx_.Db());
  Define(def, true);
  def.StartDate("2003/01/01");
  def.EndDate("2003/12/31");
  std::vector<DataRow> rows = BuildStatisticsRows(fx_.Db(), def, bowlers_, state_, progress_);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0],
            DataRow({"出力条件", "ボウリング場", "----------------------", "レベル",
                     "----------------------", "期間", "'2003/01/01", "～", "'2003/12/31"}));
  std::vector<std::string> heads = {"優先順位",   "ボウラー名",   "性別",
                                    "スコア合計", "ゲーム数",     "ハイスコア",
                                    "ロースコア", "ハイシリーズ", "合計AVG"};
  for (int m = 1; m <= 12; ++m)
    heads.push_back("2003年" + std::string(m < 10 ? "0" : "") + std::to_string(m) + "月");
  EXPECT_EQ(rows[1], heads);
  EXPECT_TRUE(rows[2].empty());
  std::vector<std::string> yamada = {"1", "山田", "男", "330", "4", "90", "70", "240", "82.5"};
  for (int m = 1; m <= 12; ++m) yamada.push_back(m == 5 ? "80.0" : m == 7 ? "90.0" : "");
  EXPECT_EQ(rows[3], yamada);
  EXPECT_TRUE(rows[4].empty());
  std::vector<std::string> sato = {"3", "佐藤", "女", "0", "1", "0", "0", "0", "0.0"};
  for (int m = 1; m <= 12; ++m) sato.push_back(m == 6 ? "0.0" : "");
  EXPECT_EQ(rows[5], sato);

  // The bowler table holds every bowler 1..99, with games or not; month lists only those with rows.
  EXPECT_EQ(state_.bowlers[2].name, "鈴木");
  EXPECT_EQ(state_.bowlers[3].aname, "Sato");
  EXPECT_EQ(state_.month_lists.count(2), 0u);
  clsMonth_List& list = state_.month_lists.at(1);
  EXPECT_EQ(list.Sttdt(), "2003/01");
  EXPECT_EQ(list.Enddt(), "2003/12");
  EXPECT_TRUE(list.Item("200305").Link());
  EXPECT_FALSE(list.Item("200306").Link());
  // Two head rows, 40 steps for each bowler with a row and for the one numbered over 99, one
  // for the bowler without games.
  EXPECT_EQ(progress_.counted, 2 + 40 + 1 + 40 + 40);
}

TEST_F(StatisticsSheetTest, EmptyPeriodRunsElevenMonthsBackFromToday) {
  FixedClock fixed({2003, 7, 15});
  ScopedClock clock(fixed);
  clsS_OUTPUT_Data def(fx_.Db());
  Define(def, true);
  def.SwitchValue(37, false);
  std::vector<DataRow> rows = BuildStatisticsRows(fx_.Db(), def, bowlers_, state_, progress_);
  EXPECT_EQ(rows[0],
            DataRow({"出力条件", "ボウリング場", "----------------------", "レベル",
                     "----------------------", "期間", "'2002/08/01", "～", "'2003/07/31"}));
}

TEST_F(StatisticsSheetTest, CountModeKeepsMonthValuesUnderTheirHeads) {
  state_.bulk_year = "2003";
  clsS_OUTPUT_Data def(fx_.Db());
  Define(def, false);
  def.Pastcount(2);
  std::vector<DataRow> rows = BuildStatisticsRows(fx_.Db(), def, bowlers_, state_, progress_);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0],
            DataRow({"出力条件", "ボウリング場", "----------------------", "レベル",
                     "----------------------", "GAME数", "'2003/12/31", "から過去", "2", "Game"}));
  // The two latest games of all bowlers are in June and July.
  EXPECT_TRUE(HoldsInOrder(rows[1], {"合計AVG", "2003年06月", "2003年07月"}));
  EXPECT_EQ(rows[3], DataRow({"1", "山田", "男", "170", "2", "90", "80", "0", "85.0", "", "90.0"}));
  EXPECT_EQ(rows[5], DataRow({"3", "佐藤", "女", "0", "1", "0", "0", "0", "0.0", "0.0", ""}));
}

TEST_F(StatisticsSheetTest, StoredTextsHoldingTheFieldSeparatorStayOneCell) {
  // Another program may store any character in a name, the one with code 31 too.
  const std::string name = std::string("中") + std::string(kSepChar) + "村";
  const std::string alley = std::string("ホーム") + std::string(kSepChar) + "2";
  AddAlley(fx_.Db(), alley, 3, true);
  AddBowler(fx_.Db(), name, "Nakamura", 4);
  AddOpenGame(fx_.Db(), name, alley, "League", "2003/05/20", 1, "9", "0");  // 90
  clsBowler_List bowlers(fx_.Db());
  bowlers.SelectRecord("");
  clsS_OUTPUT_Data def(fx_.Db());
  Define(def, true);
  def.AlleyName(alley);
  def.SwitchValue(37, false);
  def.StartDate("2003/01/01");
  def.EndDate("2003/12/31");
  std::vector<DataRow> rows = BuildStatisticsRows(fx_.Db(), def, bowlers, state_, progress_);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[0], DataRow({"出力条件", "ボウリング場", alley, "レベル", "----------------------",
                              "期間", "'2003/01/01", "～", "'2003/12/31"}));
  // One game makes no series: the high series is 0.
  EXPECT_EQ(rows[6], DataRow({"4", name, "男", "90", "1", "90", "90", "0", "90.0"}));
  EXPECT_EQ(rows[6].size(), rows[1].size());
}

TEST_F(StatisticsSheetTest, StopBeforeTheSheetLeavesItAlone) {
  progress_.stop_requested = true;
  clsS_OUTPUT_Data def(fx_.Db());
  Define(def, true);
  EXPECT_TRUE(BuildStatisticsRows(fx_.Db(), def, bowlers_, state_, progress_).empty());
}

TEST(SelectionBuilderTest, ConditionTextsAsWritten) {
  EXPECT_EQ(LevelAlleyCondition(kHomeLane, kBlankChoice),
            " Level_Name in (Select Name From Level_Data Where CalculationTarget = True)\r\n"
            " And  Alley_Name in (Select Name From Alley_Data Where Home_Flag = True)\r\n");
  EXPECT_EQ(LevelAlleyCondition(kBlankChoice, kAllLevels), "");
  EXPECT_EQ(LevelAlleyCondition("O'Hare", kAllLevels), " Alley_Name = 'O''Hare'\r\n");
  EXPECT_EQ(LevelAlleyCondition(kNotHomeLane, "League"),
            " Level_Name = 'League'\r\n And  Alley_Name in (Select Name From Alley_Data Where "
            "Home_Flag = False)\r\n");
}

TEST(BowlerTitleTest, RulesInOrder) {
  ScoreDbFixture fx;
  Database& db = fx.Db();
  AddAlley(db, "A", 1, true);
  AddLevel(db, "L", 1, true);
  AddBowler(db, "B", "B", 1);
  // Gutter first ball, spare, then strikes: 1 gutter in 12 racks and no open frame.
  std::vector<std::string> gutter_game = {"G", "/"};
  for (int f = 2; f <= 9; ++f) {
    gutter_game.push_back("");
    gutter_game.push_back("x");
  }
  for (int i = 0; i < 3; ++i) gutter_game.push_back("x");
  for (int g = 1; g <= 29; ++g) AddGame(db, "B", "A", "L", "2003/01/01", g, gutter_game);
  clsResult_List few(db);
  few.SelectRecord("", 0);
  few.CalcProbability();
  EXPECT_EQ(BowlerTitle(few, false), "");  // fewer than 30 games
  AddGame(db, "B", "A", "L", "2003/01/01", 30, gutter_game);
  clsResult_List games(db);
  games.SelectRecord("", 0);
  games.CalcProbability();
  EXPECT_EQ(BowlerTitle(games, false), "Ｍr．Ｇ");
  EXPECT_EQ(BowlerTitle(games, true), "ガタークィーン");
}

}  // namespace
}  // namespace lanereport
