#include <gtest/gtest.h>

#include <string>

#include "BowlingNotation.h"
#include "ScoreDb.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/clsBowler_Data.h"
#include "database/clsLevel_Data.h"
#include "scoring/clsResult_Data.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

using testing::EnterGame;

class PersistenceTest : public ::testing::Test {
 protected:
  Database& Db() { return fixture_.Db(); }

  clsResult_Data Game(const std::string& bowler, const std::string& alley, const std::string& level,
                      const std::string& date, long number,
                      const std::string& notation = "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-") {
    clsResult_Data g(Db());
    g.BowlerName(bowler);
    g.AlleyName(alley);
    g.LevelName(level);
    g.PlayDate(date);
    g.GameNumber(number);
    EnterGame(g, notation);
    return g;
  }

  long Rows(const std::string& where = "") {
    auto rs =
        Db().OpenRecordset("Select * From Result_Data" + (where.empty() ? "" : " Where " + where));
    return rs->RecordCount();
  }

  Value Column(long entry_number, const std::string& column) {
    auto rs = Db().OpenRecordset("Select * From Result_Data Where EntryNumber = " +
                                 std::to_string(entry_number));
    EXPECT_EQ(rs->RecordCount(), 1);
    return rs->Field(column);
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

TEST_F(PersistenceTest, PlayNumbersOverADayWithSeveralPlays) {
  const std::string day = "2004/03/15";
  clsResult_Data first = Game("山田", "A", "リーグ", day, 1);
  first.Add();
  EXPECT_EQ(first.Playnumber(), 0);
  clsResult_Data same = Game("山田", "A", "リーグ", day, 2);
  same.Add();
  EXPECT_EQ(same.Playnumber(), 0);
  clsResult_Data other_centre = Game("山田", "B", "リーグ", day, 1);
  other_centre.Add();
  EXPECT_EQ(other_centre.Playnumber(), 1);
  clsResult_Data third_level = Game("山田", "B", "練習", day, 1);
  third_level.Add();
  EXPECT_EQ(third_level.Playnumber(), 2);
  clsResult_Data later = Game("山田", "A", "リーグ", day, 3);
  later.Add();
  EXPECT_EQ(later.Playnumber(), 0);
  clsResult_Data back = Game("山田", "B", "練習", day, 2);
  back.Add();
  EXPECT_EQ(back.Playnumber(), 2);
  // Another bowler and another day start from 0 again.
  clsResult_Data other_bowler = Game("鈴木", "B", "練習", day, 1);
  other_bowler.Add();
  EXPECT_EQ(other_bowler.Playnumber(), 0);
  clsResult_Data next_day = Game("山田", "B", "練習", "2004/03/16", 1);
  next_day.Add();
  EXPECT_EQ(next_day.Playnumber(), 0);
  EXPECT_EQ(Column(third_level.Entrynumber(), "PlayNumber").ToInt(), 2);
}

TEST_F(PersistenceTest, AddStoresTheRowAsTheProgramWritesIt) {
  clsResult_Data g = Game("山田", "A", "リーグ", "2004/03/15", 1, "X 7/ 9- X -8 8/ -6 X X X81");
  g.ResultMemo("新しいボール");
  g.Handicap(12);
  g.Add();
  EXPECT_EQ(g.Entrynumber(), 1);
  EXPECT_EQ(Column(1, "Play_Date").Text(), "20040315");
  EXPECT_EQ(Column(1, "Bowler_Name").Text(), "山田");
  EXPECT_EQ(Column(1, "Game_Number").ToInt(), 1);
  EXPECT_EQ(Column(1, "FirstFrame1").Text(), "");
  EXPECT_EQ(Column(1, "FirstFrame2").Text(), "×");
  EXPECT_EQ(Column(1, "SecondFrame1").Text(), "７");
  EXPECT_EQ(Column(1, "SecondFrame2").Text(), "／");
  EXPECT_EQ(Column(1, "FifthFrame1").Text(), "Ｇ");
  EXPECT_EQ(Column(1, "TenthFrame3").Text(), "１");
  EXPECT_EQ(Column(1, "FirstFrameScore").ToInt(), 20);
  EXPECT_EQ(Column(1, "NinthFrameScore").ToInt(), 148);
  EXPECT_EQ(Column(1, "TenthFrameScore").ToInt(), 167);
  EXPECT_EQ(Column(1, "Result_Memo").Text(), "新しいボール");
  EXPECT_EQ(Column(1, "Handicap").ToInt(), 12);
  EXPECT_EQ(Column(1, "PlayNumber").ToInt(), 0);

  clsResult_Data second = Game("山田", "A", "リーグ", "2004/03/15", 2);
  second.Add();
  EXPECT_EQ(second.Entrynumber(), 2);
}

TEST_F(PersistenceTest, AddRefusesUnfinishedInvalidAndDuplicateGames) {
  clsResult_Data unfinished =
      Game("山田", "A", "リーグ", "2004/03/15", 1, "9- 9- 9- 9- 9- 9- 9- 9- 9- 8/");
  ExpectError([&] { unfinished.Add(); }, kErrInvalidValue, "[clsResult_Data]Add",
              "入力が終わっていません");
  clsResult_Data keyless(Db());
  EnterGame(keyless, "X X X X X X X X X XXX");
  ExpectError([&] { keyless.Add(); }, kErrInvalidValue, "[clsResult_Data]Add",
              "必須項目が入力されていません");
  EXPECT_EQ(Rows(), 0);

  clsResult_Data g = Game("山田", "A", "リーグ", "2004/03/15", 1);
  g.Add();
  clsResult_Data twin = Game("山田", "A", "リーグ", "2004/03/15", 1, "X X X X X X X X X XXX");
  twin.Entrynumber(77);
  ExpectError([&] { twin.Add(); }, kErrNoData, "[clsResult_Data]Add",
              "該当するﾃﾞｰﾀが存在します、追加出来ません");
  EXPECT_EQ(twin.Entrynumber(), 77);
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(Column(1, "TenthFrameScore").ToInt(), 90);
  // The refused game drew no number: the next one gets 2.
  clsResult_Data next = Game("山田", "A", "リーグ", "2004/03/15", 2);
  next.Add();
  EXPECT_EQ(next.Entrynumber(), 2);
}

TEST_F(PersistenceTest, LoadReadsTheGameOfTheKey) {
  Game("O'Neil", "A", "リーグ", "2004/03/15", 1, "X 7/ 9- X -8 8/ -6 X X X81").Add();
  clsResult_Data g(Db());
  g.BowlerName("O'Neil");
  g.AlleyName("A");
  g.LevelName("リーグ");
  g.PlayDate("2004/03/15");
  g.GameNumber(1);
  g.Load();
  EXPECT_FALSE(g.IsValueChanged());
  EXPECT_EQ(g.Entrynumber(), 1);
  EXPECT_EQ(g.Secondframe1(), "７");
  EXPECT_EQ(g.Tenthframe1(), "×");
  EXPECT_EQ(g.Fifthframescore(), "74");
  EXPECT_EQ(g.Tenthframescore(), "167");
  g.GameNumber(2);
  ExpectError([&] { g.Load(); }, kErrNoData, "[clsResult_Data]LOAD", "該当するﾃﾞｰﾀは存在しません");
}

TEST_F(PersistenceTest, UpdateByKeyInsertsOrRewrites) {
  clsResult_Data g = Game("山田", "A", "リーグ", "2004/03/15", 1);
  g.Update(true);
  EXPECT_EQ(g.Entrynumber(), 1);
  EXPECT_EQ(Rows(), 1);
  clsResult_Data again = Game("山田", "A", "リーグ", "2004/03/15", 1, "X X X X X X X X X XXX");
  again.Update(true);
  EXPECT_EQ(again.Entrynumber(), 1);
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(Column(1, "TenthFrameScore").ToInt(), 300);
  ExpectError([&] { Game("山田", "A", "リーグ", "2004/03/15", 2, "9- 9-").Update(true); },
              kErrInvalidValue, "[clsResult_Data]Update", "入力が終わっていません");
}

TEST_F(PersistenceTest, UpdateByNumberNeedsExactlyThatRow) {
  clsResult_Data g = Game("山田", "A", "リーグ", "2004/03/15", 1);
  g.Add();
  g.ResultMemo("メモ");
  g.GameNumber(5);
  g.Update(false);
  EXPECT_EQ(Column(1, "Result_Memo").Text(), "メモ");
  EXPECT_EQ(Column(1, "Game_Number").ToInt(), 5);
  g.Entrynumber(9);
  ExpectError([&] { g.Update(false); }, kErrNoData, "[clsResult_Data]Update",
              "該当するﾃﾞｰﾀは存在しないか、複数存在します");
}

TEST_F(PersistenceTest, WritingAnExistingRowKeepsItsEntryNumber) {
  Game("山田", "A", "リーグ", "2004/03/15", 1).Add();
  auto rs = Db().OpenRecordset("Select * From Result_Data");
  clsResult_Data g(Db());
  g.DataIO(*rs, true);
  EXPECT_EQ(g.PlayDate(), "20040315");
  g.Entrynumber(555);
  rs->Edit();
  g.DataIO(*rs, false);
  rs->Update();
  EXPECT_EQ(Column(1, "EntryNumber").ToInt(), 1);
  EXPECT_EQ(Column(1, "Play_Date").Text(), "20040315");
  EXPECT_EQ(Rows("EntryNumber = 555"), 0);
}

TEST_F(PersistenceTest, DeleteAndCancelEdit) {
  clsResult_Data g = Game("山田", "A", "リーグ", "2004/03/15", 1);
  g.ResultMemo("before");
  g.Add();
  g.ResultMemo("after");
  g.Firstframe1("s");
  g.CancelEdit();
  EXPECT_EQ(g.ResultMemo(), "before");
  EXPECT_EQ(g.Firstframe2(), "－");
  EXPECT_EQ(Column(1, "Result_Memo").Text(), "before");
  EXPECT_EQ(Column(1, "FirstFrame2").Text(), "－");
  EXPECT_EQ(Column(1, "TenthFrameScore").ToInt(), 90);

  g.Delete();
  EXPECT_EQ(Rows(), 0);
  ExpectError([&] { g.Delete(); }, kErrNoData, "[clsResult_Data]Delete",
              "該当するﾃﾞｰﾀは存在しないか、複数存在します");
}

TEST_F(PersistenceTest, CancelEditAfterOnlyALoadFails) {
  Game("山田", "A", "リーグ", "2004/03/15", 1).Add();
  clsResult_Data g(Db());
  g.BowlerName("山田");
  g.AlleyName("A");
  g.LevelName("リーグ");
  g.PlayDate("2004/03/15");
  g.GameNumber(1);
  g.Load();
  ExpectError([&] { g.CancelEdit(); }, kErrNoData, "[clsResult_Data]Update",
              "該当するﾃﾞｰﾀは存在しないか、複数存在します");
  EXPECT_EQ(Rows(), 1);
}

TEST_F(PersistenceTest, MasterLookups) {
  clsBowler_Data bowler(Db());
  bowler.Name("山田");
  bowler.Aname("Yamada");
  bowler.Password("pw");
  bowler.Add();
  clsLevel_Data level(Db());
  level.Name("リーグ");
  level.CalculationTarget(true);
  level.Add();
  clsResult_Data g = Game("山田", "A", "リーグ", "2004/03/15", 1);
  EXPECT_EQ(g.Bowler_Data()->Aname(), "Yamada");
  EXPECT_TRUE(g.Level_Data()->CalculationTarget());
  ExpectError([&] { g.Alley_Data(); }, kErrNoData, "[clsAlley_Data]LOAD",
              "該当するﾃﾞｰﾀは存在しません");
}

TEST_F(PersistenceTest, AStoredRollThatIsNotAMarkIsReportedNotScored) {
  Db().Execute(
      "Insert Into Result_Data (EntryNumber, Bowler_Name, Alley_Name, Level_Name, Play_Date, "
      "Game_Number, FirstFrame1, FirstFrame2, TenthFrame1, TenthFrame2) Values (1, 'A', 'B', "
      "'C', '20040315', 1, '7', '２', '９', '－')");
  auto rs = Db().OpenRecordset("Select * From Result_Data");
  clsResult_Data g(Db());
  ExpectError([&] { g.DataIO(*rs, true); }, kErrInvalidValue, "[clsResult_Data]ChangeFigure",
              "入力が不正です");
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(g.FrameScore(k), "") << k;
}

}  // namespace
}  // namespace lanereport
