#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BowlingNotation.h"
#include "ScoreDb.h"
#include "database/Database.h"
#include "scoring/clsMonth_List.h"
#include "scoring/clsResult_List.h"
#include "scoring/clsSeries_Data.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

// Games whose scores were worked out by hand.
const char* const k0 = "-- -- -- -- -- -- -- -- -- --";
const char* const k90 = "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-";
const char* const k130 = "3/ 3/ 3/ 3/ 3/ 3/ 3/ 3/ 3/ 3/3";
const char* const k167 = "X 7/ 9- X -8 8/ -6 X X X81";
const char* const k190 = "9/ 9/ 9/ 9/ 9/ 9/ 9/ 9/ 9/ 9/9";
const char* const k200 = "X 9/ X 9/ X 9/ X 9/ X 9/X";
const char* const k209 = "X 9/ X 9/ X 9/ X 9/ X X9/";
const char* const k210 = "X 9/ X 9/ X 9/ X 9/ X XX-";
const char* const k299 = "X X X X X X X X X XX9";
const char* const k300 = "X X X X X X X X X XXX";

class ResultListTest : public ::testing::Test {
 protected:
  Database& Db() { return fixture_.Db(); }

  void Add(const std::string& bowler, const std::string& alley, const std::string& date,
           long number, const char* notation) {
    clsResult_Data g(Db());
    g.BowlerName(bowler);
    g.AlleyName(alley);
    g.LevelName("L");
    g.PlayDate(date);
    g.GameNumber(number);
    testing::EnterGame(g, notation);
    g.Add();
  }

  // Ten games of 山田: two plays on 15 March 2004 (centre A, then centre B) and one on 2 April.
  void AddYamada() {
    Add("山田", "A", "2004/03/15", 1, k200);
    Add("山田", "A", "2004/03/15", 2, k209);
    Add("山田", "A", "2004/03/15", 3, k210);
    Add("山田", "A", "2004/03/15", 4, k90);
    Add("山田", "B", "2004/03/15", 1, k300);
    Add("山田", "B", "2004/03/15", 2, k0);
    Add("山田", "B", "2004/03/15", 3, k167);
    Add("山田", "A", "2004/04/02", 1, k190);
    Add("山田", "A", "2004/04/02", 2, k299);
    Add("山田", "A", "2004/04/02", 3, k130);
  }

  static std::vector<long> ScoresOf(const clsResult_List& list) {
    std::vector<long> scores;
    for (const clsResult_Data& g : list) scores.push_back(std::stol(g.Tenthframescore()));
    return scores;
  }

  testing::ScoreDbFixture fixture_;
};

template <class Fn>
void ExpectError(Fn f, long number, const std::string& source, const std::string& message) {
  try {
    f();
    ADD_FAILURE() << "no error from " << source;
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), number);
    EXPECT_EQ(e.Source(), source);
    EXPECT_EQ(e.Description(), message);
  }
}

TEST_F(ResultListTest, TheTestGamesScoreAsWorkedOut) {
  AddYamada();
  clsResult_List list(Db());
  list.SelectRecord("", 0);
  EXPECT_EQ(ScoresOf(list), (std::vector<long>{200, 209, 210, 90, 300, 0, 167, 190, 299, 130}));
}

TEST_F(ResultListTest, OrderCodes) {
  AddYamada();
  clsResult_List oldest(Db());
  oldest.SelectRecord("", 0);
  ASSERT_EQ(oldest.Count(), 10);
  EXPECT_EQ(oldest.Item(0).PlayDate(), "20040315");
  EXPECT_EQ(oldest.Item(4).AlleyName(), "B");  // the second play of the day follows the first

  clsResult_List newest_play(Db());
  newest_play.SelectRecord("", 1);
  EXPECT_EQ(ScoresOf(newest_play),
            (std::vector<long>{190, 299, 130, 300, 0, 167, 200, 209, 210, 90}));
  clsResult_List by_centre(Db());
  by_centre.SelectRecord("", 2);
  EXPECT_EQ(ScoresOf(by_centre),
            (std::vector<long>{190, 299, 130, 200, 209, 210, 90, 300, 0, 167}));
  clsResult_List newest_game(Db());
  newest_game.SelectRecord("", 3);
  EXPECT_EQ(ScoresOf(newest_game),
            (std::vector<long>{130, 299, 190, 167, 0, 300, 90, 210, 209, 200}));
  clsResult_List centre_b(Db());
  centre_b.SelectRecord("Bowler_Name = '山田' And Alley_Name = 'B'", 0);
  EXPECT_EQ(ScoresOf(centre_b), (std::vector<long>{300, 0, 167}));
  // Selections add to what the list holds.
  centre_b.SelectRecord("Game_Number = 4", 0);
  EXPECT_EQ(ScoresOf(centre_b), (std::vector<long>{300, 0, 167, 90}));
  centre_b.Remove(1);
  EXPECT_EQ(ScoresOf(centre_b), (std::vector<long>{300, 167, 90}));
}

TEST_F(ResultListTest, NoMatchingGameIsNoData) {
  clsResult_List list(Db());
  ExpectError([&] { list.SelectRecord("", 0); }, kErrNoData, "[clsResult_List]SelectRecord",
              "該当するﾃﾞｰﾀは存在しません");
  AddYamada();
  ExpectError([&] { list.SelectCount("山田", "20040314", 10, 3, "", ""); }, kErrNoData,
              "[clsResult_List]SelectRecord", "該当するﾃﾞｰﾀは存在しません");
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ResultListTest, Aggregates) {
  AddYamada();
  clsResult_List list(Db());
  list.SelectRecord("Bowler_Name = '山田'", 0);
  EXPECT_EQ(list.ScoreTotal(), 1795);
  EXPECT_EQ(list.MaxScore(), 300);
  EXPECT_EQ(list.MinScore(), 0);
  EXPECT_EQ(list.MaxGameNumber(), 4);
  EXPECT_DOUBLE_EQ(list.Avg(), 179.5);
  EXPECT_DOUBLE_EQ(list.MonthAvg("200403"), 1176.0 / 7.0);
  EXPECT_DOUBLE_EQ(list.MonthAvg("200404"), 619.0 / 3.0);
  EXPECT_DOUBLE_EQ(list.MonthAvg("200405"), -1);
  EXPECT_DOUBLE_EQ(list.MonthAvg("200303"), -1);
  EXPECT_EQ(list.getStartMonth(), "2004/03");
  EXPECT_EQ(list.getEndMonth(), "2004/04");
  EXPECT_EQ(list.Distribution(200), 2);  // 200 and 209, not 210
  EXPECT_EQ(list.Distribution(210), 1);
  EXPECT_EQ(list.Distribution(300), 1);
  EXPECT_EQ(list.Distribution(291), 2);  // 299 and 300
  EXPECT_EQ(list.Distribution(0), 1);
  EXPECT_EQ(list.Distribution(81), 1);  // 90 is the upper bound
  EXPECT_EQ(list.Distribution(80), 0);
  EXPECT_EQ(list.Distribution(100), 0);
}

TEST_F(ResultListTest, AggregatesOfAnEmptyList) {
  clsResult_List list(Db());
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.ScoreTotal(), 0);
  EXPECT_EQ(list.MaxScore(), 0);
  EXPECT_EQ(list.MinScore(), 300);
  EXPECT_EQ(list.MaxGameNumber(), 0);
  EXPECT_DOUBLE_EQ(list.Avg(), -1);
  EXPECT_DOUBLE_EQ(list.MonthAvg("200403"), -1);
  EXPECT_EQ(list.getStartMonth(), "9999/99");
  EXPECT_EQ(list.getEndMonth(), "0000/00");
  EXPECT_EQ(list.Distribution(0), 0);
  EXPECT_EQ(list.MaxSeries(), 0);
  EXPECT_EQ(list.MinSeries(), 900);
  EXPECT_EQ(list.MaxSeriesGame(), "");
  EXPECT_EQ(list.MinSeriesGame(), "");
}

TEST_F(ResultListTest, SeriesAreThreeGamesOfOnePlay) {
  AddYamada();
  clsResult_List list(Db());
  list.SelectRecord("", 0);
  // 15 March at A: 200 + 209 + 210 = 619 (game 4 alone is no series); at B: 300 + 0 + 167 =
  // 467; 2 April: 190 + 299 + 130 = 619.
  EXPECT_EQ(list.MaxSeries(), 619);
  EXPECT_EQ(list.MaxSeriesGame(), "2004/03/15 A L 1～3ゲーム目\r\n2004/04/02 A L 1～3ゲーム目\r\n");
  EXPECT_EQ(list.MinSeries(), 467);
  EXPECT_EQ(list.MinSeriesGame(), "2004/03/15 B L 1～3ゲーム目\r\n");

  // Ties are listed in the order in which their last games come in the list.
  clsResult_List by_centre(Db());
  by_centre.SelectRecord("", 2);
  EXPECT_EQ(by_centre.MaxSeries(), 619);
  EXPECT_EQ(by_centre.MaxSeriesGame(),
            "2004/04/02 A L 1～3ゲーム目\r\n2004/03/15 A L 1～3ゲーム目\r\n");
}

TEST_F(ResultListTest, IncompleteSeriesDoNotCount) {
  AddYamada();
  clsResult_List list(Db());
  list.SelectRecord("Game_Number >= 4", 0);
  EXPECT_EQ(list.MaxSeries(), 0);
  EXPECT_EQ(list.MinSeries(), 900);
  EXPECT_EQ(list.MaxSeriesGame(), "");
  EXPECT_EQ(list.MinSeriesGame(), "");
  Add("山田", "A", "2004/03/15", 5, k300);
  Add("山田", "A", "2004/03/15", 6, k300);
  Add("山田", "A", "2004/03/15", 0, k167);
  clsResult_List all(Db());
  all.SelectRecord("Alley_Name = 'A' And Play_Date = '20040315'", 0);
  // Games 4 to 6 now make a series of 90 + 300 + 300; game 0 stands alone.
  EXPECT_EQ(all.MaxSeries(), 690);
  EXPECT_EQ(all.MaxSeriesGame(), "2004/03/15 A L 4～6ゲーム目\r\n");
  EXPECT_EQ(all.MinSeries(), 619);
}

TEST_F(ResultListTest, SelectCountTakesTheLatestGamesThenTheScore) {
  // One game a day from 1 to 15 May; every third day a perfect game.
  for (int day = 1; day <= 15; ++day) {
    char date[16];
    std::snprintf(date, sizeof date, "2004/05/%02d", day);
    Add("鈴木", "A", date, 1, day % 3 == 0 ? k300 : k90);
  }
  AddYamada();
  clsResult_List ten(Db());
  ten.SelectCount("鈴木", "20040512", 10, 3, "", "");
  ASSERT_EQ(ten.Count(), 10);
  EXPECT_EQ(ten.Item(0).PlayDate(), "20040512");
  EXPECT_EQ(ten.Item(9).PlayDate(), "20040503");

  // The score is tested among the ten latest only: days 6 to 15 hold the perfect games of
  // days 6, 9, 12 and 15, while day 3 lies outside them.
  clsResult_List perfect(Db());
  perfect.SelectCount("鈴木", "20040515", 10, 3, "", "300");
  ASSERT_EQ(perfect.Count(), 4);
  EXPECT_EQ(perfect.Item(0).PlayDate(), "20040515");
  EXPECT_EQ(perfect.Item(3).PlayDate(), "20040506");

  // Without a bowler every bowler's games count; the extra condition narrows them.
  clsResult_List everyone(Db());
  everyone.SelectCount("", "20040402", 4, 3, "Level_Name = 'L'", "");
  EXPECT_EQ(ScoresOf(everyone), (std::vector<long>{130, 299, 190, 167}));
  clsResult_List centre_a(Db());
  centre_a.SelectCount("", "20040402", 4, 1, "Alley_Name = 'A'", "");
  EXPECT_EQ(ScoresOf(centre_a), (std::vector<long>{190, 299, 130, 200}));
}

TEST_F(ResultListTest, AStoredRollThatIsNotAMarkFailsTheSelection) {
  Add("山田", "A", "2004/03/15", 1, k200);
  Add("山田", "A", "2004/03/15", 2, k90);
  // Another program wrote an ASCII digit into the first roll of a later game.
  Db().Execute(
      "Insert Into Result_Data (EntryNumber, Bowler_Name, Alley_Name, Level_Name, Play_Date, "
      "Game_Number, FirstFrame1, FirstFrame2, TenthFrame1, TenthFrame2, TenthFrameScore) Values "
      "(99, '山田', 'A', 'L', '20040316', 1, '7', '２', '９', '－', 99)");
  clsResult_List list(Db());
  ExpectError([&] { list.SelectRecord("", 0); }, kErrInvalidValue, "[clsResult_List]SelectRecord",
              "ﾃﾞｰﾀ取得に失敗しました");
  EXPECT_EQ(ScoresOf(list), (std::vector<long>{200, 90}));
}

TEST_F(ResultListTest, ProgressAfterEachOfTheElevenComputations) {
  AddYamada();
  clsResult_List list(Db());
  list.SelectRecord("", 0);
  int calls = 0;
  list.CalcProbability([&] { ++calls; });
  EXPECT_EQ(calls, 11);
  list.CalcProbability();
  EXPECT_DOUBLE_EQ(list.Probability(0, 8), 0);
  EXPECT_DOUBLE_EQ(list.AllProbability(8), 0);
  EXPECT_DOUBLE_EQ(list.AllProbability(-1), 0);
  ExpectError([&] { (void)list.Probability(10, 0); }, 9, "[clsResult_List]Probability",
              "インデックスが有効範囲にありません");
  ExpectError([&] { (void)list.Probability(-1, 0); }, 9, "[clsResult_List]Probability",
              "インデックスが有効範囲にありません");
}

TEST(SeriesData, SettersCheckTheirValues) {
  clsSeries_Data s;
  s.PlayDate("20040315");
  s.AlleyName("A");
  s.LevelName("B");
  s.GameNumber("4～6ゲーム目");
  s.Count(3);
  s.Total("600");
  EXPECT_EQ(s.Description(), "2004/03/15 A B 4～6ゲーム目");
  EXPECT_EQ(s.Total(), 600);
  try {
    s.Count("three");
    ADD_FAILURE();
  } catch (const AppError& e) {
    EXPECT_EQ(e.Source(), "[clsSeries_Data]Count");
    EXPECT_EQ(e.Description(), "数値を入力して下さい");
  }
  try {
    s.AlleyName(std::string(256, 'a'));
    ADD_FAILURE();
  } catch (const AppError& e) {
    EXPECT_EQ(e.Source(), "[clsSeries_Data]AlleyName");
    EXPECT_EQ(e.Description(), "文字列が長すぎます");
  }
  EXPECT_EQ(s.Count(), 3);
  EXPECT_EQ(s.AlleyName(), "A");
}

std::unique_ptr<clsMonth_Data> Month(const std::string& m, bool link) {
  auto d = std::make_unique<clsMonth_Data>();
  d->Month(m);
  d->Link(link);
  return d;
}

TEST(MonthList, AMonthOnceLinkedStaysLinked) {
  clsMonth_List months;
  months.Additem(Month("200403", false), "200403");
  months.Additem(Month("200403", true), "200403");
  months.Additem(Month("200403", false), "200403");
  months.Additem(Month("200404", true), "200404");
  months.Additem(Month("200404", false), "200404");
  ASSERT_EQ(months.Count(), 2u);
  EXPECT_TRUE(months.Item("200403").Link());
  EXPECT_TRUE(months.Item("200404").Link());
  EXPECT_EQ(months.Item(1).Month(), "200404");
  months.Remove("200403");
  EXPECT_EQ(months.Count(), 1u);
  EXPECT_EQ(months.Find("200403"), nullptr);
}

TEST(MonthList, KeepsTheEarliestAndLatestMonth) {
  clsMonth_List months;
  EXPECT_EQ(months.Sttdt(), "9999/99");
  EXPECT_EQ(months.Enddt(), "0000/00");
  for (const char* m : {"200405", "200311", "200412", "200401"}) {
    months.Sttdt(m);
    months.Enddt(m);
  }
  EXPECT_EQ(months.Sttdt(), "2003/11");
  EXPECT_EQ(months.Enddt(), "2004/12");
  months.Number(7);
  EXPECT_EQ(months.Number(), 7);
}

}  // namespace
}  // namespace lanereport
