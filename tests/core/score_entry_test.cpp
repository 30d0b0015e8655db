#include "entry/ScoreEntry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameBuilder.h"
#include "ScoreDb.h"
#include "database/Recordset.h"
#include "util/AppError.h"

using namespace lanereport;
using lanereport::testing::ScoreDbFixture;

namespace {

class ScoreEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lanereport::testing::AddBowler(Db(), "山田 太郎", "Yamada", 1);
    lanereport::testing::AddAlley(Db(), "ホーム", 1, true);
    lanereport::testing::AddAlley(Db(), "駅前", 2, false);
    lanereport::testing::AddLevel(Db(), "リーグ", 1, true);
    lanereport::testing::AddLevel(Db(), "練習", 2, false);
  }
  Database& Db() { return fixture_.Db(); }

  // An entry with the key of a play of 2026/12/08 at ホーム, リーグ.
  ScoreEntry KeyedEntry(long game) {
    ScoreEntry entry(Db());
    entry.Bowler("山田 太郎");
    entry.Alley("ホーム");
    entry.Level("リーグ");
    entry.Date("2026/12/08");
    entry.GameNumber(std::to_string(game));
    return entry;
  }

  // Types rolls into boxes as the window does: each into the box Enter leads to.
  static std::vector<int> TypeInOrder(ScoreEntry& entry, const std::vector<std::string>& rolls,
                                      int start = 0) {
    std::vector<int> boxes;
    int box = start;
    for (const std::string& roll : rolls) {
      EXPECT_GE(box, 0) << "no box left for " << roll;
      if (box < 0) break;
      boxes.push_back(box);
      entry.Roll(box, roll);
      box = NextRollBox(entry.Game(), box);
    }
    return boxes;
  }

  long Rows() {
    auto rs = Db().OpenRecordset("Select Count(*) As N From Result_Data");
    return static_cast<long>(rs->Field("N").ToInt());
  }

  ScoreDbFixture fixture_;
};

TEST_F(ScoreEntryTest, BoxesOfFramesAndTheirOrder) {
  EXPECT_EQ(FrameOfBox(0), 1);
  EXPECT_EQ(FrameOfBox(17), 9);
  EXPECT_EQ(FrameOfBox(18), 10);
  EXPECT_EQ(FrameOfBox(20), 10);
  EXPECT_EQ(FrameOfBox(21), 0);
  EXPECT_EQ(FrameOfBox(-1), 0);
  ScoreEntry entry(Db());
  EXPECT_EQ(NextRollBox(entry.Game(), -1), 0);
  EXPECT_EQ(NextRollBox(entry.Game(), 0), 1);
  // The tenth frame's third box is not earned by an empty frame.
  EXPECT_EQ(NextRollBox(entry.Game(), 19), -1);
  EXPECT_FALSE(RollBoxOpen(entry.Game(), 20));
}

TEST_F(ScoreEntryTest, AStrikeClosesItsSecondBoxAndEnterSkipsIt) {
  ScoreEntry entry = KeyedEntry(1);
  entry.Roll(4, "x");
  EXPECT_EQ(entry.Mark(4), "");
  EXPECT_EQ(entry.Mark(5), "Ｘ");
  EXPECT_FALSE(RollBoxOpen(entry.Game(), 5));
  EXPECT_EQ(NextRollBox(entry.Game(), 4), 6);
  // A count typed into the closed box is refused; clearing it takes the strike away.
  try {
    entry.Roll(5, "3");
    FAIL() << "a closed box took a roll";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Description(), "この枠には入力出来ません");
  }
  EXPECT_EQ(entry.Mark(5), "Ｘ");
  entry.Roll(5, "");
  EXPECT_EQ(entry.Mark(5), "");
  EXPECT_TRUE(RollBoxOpen(entry.Game(), 5));
  // A first ball typed over the strike turns it into a spare.
  entry.Roll(4, "x");
  entry.Roll(4, "7");
  EXPECT_EQ(entry.Mark(4), "７");
  EXPECT_EQ(entry.Mark(5), "／");
}

TEST_F(ScoreEntryTest, TheTenthFramesThirdBoxOnlyWhenEarned) {
  ScoreEntry entry = KeyedEntry(1);
  entry.Roll(18, "8");
  entry.Roll(19, "1");
  EXPECT_FALSE(RollBoxOpen(entry.Game(), 20));
  EXPECT_EQ(NextRollBox(entry.Game(), 19), -1);
  entry.Roll(19, "2");  // 8 + 2: a spare
  EXPECT_EQ(entry.Mark(19), "／");
  EXPECT_TRUE(RollBoxOpen(entry.Game(), 20));
  EXPECT_EQ(NextRollBox(entry.Game(), 19), 20);
  entry.Roll(20, "x");
  EXPECT_EQ(entry.Mark(20), "Ｘ");
  // The spare taken back: the third ball it earned goes with it.
  entry.Roll(19, "1");
  EXPECT_EQ(entry.Mark(19), "１");
  EXPECT_EQ(entry.Mark(20), "");
  // A strike on the first ball earns it too, and a strike after a strike is a new rack.
  entry.Roll(18, "x");
  entry.Roll(19, "s");
  EXPECT_EQ(entry.Mark(19), "×");
  EXPECT_TRUE(RollBoxOpen(entry.Game(), 20));
  // After a strike, a third ball taken back with the second gets cleared when a later change
  // no longer earns it.
  entry.Roll(20, "5");
  entry.Roll(18, "3");
  EXPECT_EQ(entry.Mark(19), "／");
  EXPECT_EQ(entry.Mark(20), "５");
  entry.Roll(19, "2");
  EXPECT_EQ(entry.Mark(20), "");
}

TEST_F(ScoreEntryTest, AWholeGameTypedBoxByBoxWithItsRunningScores) {
  ScoreEntry entry = KeyedEntry(1);
  // 1: X, 2: 9 /, 3: 7 2, 4: X, 5: X, 6: -6 3, 7: g 8, 8: 8 /, 9: f 9, 10: X X 9
  std::vector<std::string> rolls = {"x", "9", "/", "7",  "2", "x",  "*", "-6", "3",
                                    "g", "8", "8", "-2", "f", "９", "X", "+",  "9"};
  std::vector<int> boxes = TypeInOrder(entry, rolls);
  std::vector<int> expected = {0, 2, 3, 4, 5, 6, 8, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
  EXPECT_EQ(boxes, expected);
  EXPECT_EQ(NextRollBox(entry.Game(), 20), -1);
  std::vector<std::string> marks;
  for (int b = 0; b < kRollBoxes; ++b) marks.push_back(entry.Mark(b));
  std::vector<std::string> stored = {"",   "Ｘ", "９", "／", "７", "２", "",   "Ｘ", "",   "×", "⑥",
                                     "３", "Ｇ", "８", "８", "／", "Ｆ", "９", "Ｘ", "Ｘ", "９"};
  EXPECT_EQ(marks, stored);
  std::array<std::string, 10> scores = {"20",  "37",  "46",  "72",  "91",
                                        "100", "108", "118", "127", "156"};
  EXPECT_EQ(entry.Scores(), scores);
}

TEST_F(ScoreEntryTest, RunningScoresWaitForTheirBonusBalls) {
  ScoreEntry entry = KeyedEntry(1);
  entry.Roll(0, "x");
  EXPECT_EQ(entry.Scores()[0], "");
  entry.Roll(2, "7");
  EXPECT_EQ(entry.Scores()[0], "");
  entry.Roll(3, "/");
  EXPECT_EQ(entry.Scores()[0], "20");
  EXPECT_EQ(entry.Scores()[1], "");
  entry.Roll(4, "3");
  EXPECT_EQ(entry.Scores()[1], "33");
  EXPECT_EQ(entry.Scores()[2], "");
}

TEST_F(ScoreEntryTest, ARefusedRollLeavesTheGameAsItWas) {
  ScoreEntry entry = KeyedEntry(1);
  entry.Roll(0, "7");
  entry.Roll(1, "2");
  // A lone ASCII minus is no mark of the notation (its full-width form is).
  for (const char* bad : {"11", "a", "-0", "10", "７７", "/2", "-"}) {
    try {
      entry.Roll(1, bad);
      FAIL() << bad << " was taken";
    } catch (const AppError& e) {
      EXPECT_EQ(e.Description(), "入力が不正です") << bad;
      EXPECT_EQ(e.Number(), kErrInvalidValue);
    }
    EXPECT_EQ(entry.Mark(0), "７");
    EXPECT_EQ(entry.Mark(1), "２");
    EXPECT_EQ(entry.Scores()[0], "9");
  }
  std::string long_entry(256, '1');
  EXPECT_THROW(entry.Roll(0, long_entry), AppError);
  EXPECT_EQ(entry.Mark(0), "７");
}

TEST_F(ScoreEntryTest, GameNumberAndHandicapTakeWholeNumbersOnly) {
  ScoreEntry entry(Db());
  for (const char* bad : {"", "a", "1.5", "0", "-1", "１a", "99999999999"}) {
    EXPECT_THROW(entry.GameNumber(bad), AppError) << bad;
  }
  entry.GameNumber("１２");
  EXPECT_EQ(entry.Game().GameNumber(), 12);
  entry.GameNumber(" 3 ");
  EXPECT_EQ(entry.Game().GameNumber(), 3);
  for (const char* bad : {"x", "1.5", "--2", "1 2"}) {
    try {
      entry.Handicap(bad);
      FAIL() << bad;
    } catch (const AppError& e) {
      EXPECT_EQ(e.Description(), "数値を入力して下さい");
    }
  }
  entry.Handicap("");
  EXPECT_EQ(entry.Game().Handicap(), 0);
  entry.Handicap("－５");
  EXPECT_EQ(entry.Game().Handicap(), -5);
  entry.Handicap("20");
  EXPECT_EQ(entry.Game().Handicap(), 20);
  EXPECT_EQ(TypedWholeNumber("2147483647"), 2147483647L);
  EXPECT_EQ(TypedWholeNumber("2147483648"), std::nullopt);
}

TEST_F(ScoreEntryTest, MemoAndDateGoThroughTheirSetters) {
  ScoreEntry entry(Db());
  EXPECT_THROW(entry.Date("2026/02/30"), AppError);
  EXPECT_THROW(entry.Date("yesterday"), AppError);
  entry.Date("2026/12/08");
  EXPECT_EQ(entry.Game().PlayDate(), "20261208");
  std::string memo;
  for (int i = 0; i < 128; ++i) memo += "あ";  // 256 bytes in Shift_JIS
  EXPECT_THROW(entry.Memo(memo), AppError);
  memo.resize(memo.size() - 3);
  entry.Memo(memo);
  EXPECT_EQ(entry.Game().ResultMemo(), memo);
}

TEST_F(ScoreEntryTest, RegisterAddsThenUpdatesAndTheDaysListShowsIt) {
  EXPECT_EQ(NextGameNumber(Db(), "山田 太郎", "ホーム", "リーグ", "20261208"), 1);
  ScoreEntry entry = KeyedEntry(1);
  // An unfinished game is refused and nothing is written.
  entry.Roll(0, "9");
  EXPECT_THROW(entry.Register(), AppError);
  EXPECT_EQ(Rows(), 0);
  TypeInOrder(entry,
              {"0", "8", "1", "7", "2", "x", "x", "x", "5", "4", "6", "3", "9", "g", "8", "1"}, 1);
  EXPECT_EQ(entry.Scores()[9], "137");
  entry.Memo("初日");
  entry.Handicap("10");
  entry.Register();
  EXPECT_EQ(Rows(), 1);
  EXPECT_TRUE(entry.Opened());
  const long first = entry.Game().Entrynumber();
  EXPECT_GT(first, 0);
  EXPECT_EQ(NextGameNumber(Db(), "山田 太郎", "ホーム", "リーグ", "20261208"), 2);
  EXPECT_EQ(NextGameNumber(Db(), "山田 太郎", "駅前", "リーグ", "20261208"), 1);

  // A second game at another centre the same day is another play.
  ScoreEntry other(Db());
  other.Bowler("山田 太郎");
  other.Alley("駅前");
  other.Level("リーグ");
  other.Date("2026/12/08");
  other.GameNumber("1");
  for (int frame = 0; frame < 9; ++frame) {
    other.Roll(frame * 2, "8");
    other.Roll(frame * 2 + 1, "1");
  }
  other.Roll(18, "8");
  other.Roll(19, "1");
  other.Register();
  EXPECT_EQ(other.Game().Playnumber(), 1);

  std::vector<DayGame> day = DayGames(Db(), "山田 太郎", "20261208");
  ASSERT_EQ(day.size(), 2u);
  EXPECT_EQ(day[0].entry_number, first);
  EXPECT_EQ(day[0].alley, "ホーム");
  EXPECT_EQ(day[0].score, "137");
  EXPECT_EQ(day[0].memo, "初日");
  EXPECT_EQ(day[1].alley, "駅前");
  EXPECT_EQ(day[1].score, "90");
  EXPECT_TRUE(DayGames(Db(), "山田 太郎", "20261209").empty());

  // Opened from the list, changed and registered again: the same row, the new rolls.
  ScoreEntry reopened(Db());
  reopened.Open(first);
  EXPECT_TRUE(reopened.Opened());
  EXPECT_EQ(reopened.Mark(0), "９");
  EXPECT_EQ(reopened.Mark(1), "－");
  EXPECT_EQ(reopened.Game().ResultMemo(), "初日");
  EXPECT_EQ(reopened.Game().Handicap(), 10);
  EXPECT_EQ(reopened.Scores()[9], "137");
  reopened.Roll(0, "x");
  EXPECT_EQ(reopened.Scores()[9], "147");
  reopened.Register();
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(DayGames(Db(), "山田 太郎", "20261208")[0].score, "147");

  // Moved onto the key of the other game: refused, nothing written.
  reopened.Alley("駅前");
  try {
    reopened.Register();
    FAIL() << "two games took one key";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Description(), "該当するﾃﾞｰﾀが存在します、更新出来ません");
  }
  EXPECT_EQ(DayGames(Db(), "山田 太郎", "20261208")[0].alley, "ホーム");

  // The same key added again as a new game is refused by the record.
  ScoreEntry twin = KeyedEntry(1);
  TypeInOrder(twin, std::vector<std::string>(12, "x"));
  EXPECT_THROW(twin.Register(), AppError);
  EXPECT_EQ(Rows(), 2);

  reopened.Delete(first);
  EXPECT_FALSE(reopened.Opened());
  EXPECT_EQ(Rows(), 1);
  EXPECT_THROW(reopened.Delete(first), AppError);
  EXPECT_THROW(reopened.Open(first), AppError);
}

TEST_F(ScoreEntryTest, NewGameKeepsThePlayAndEmptiesTheRest) {
  ScoreEntry entry = KeyedEntry(4);
  entry.Roll(0, "5");
  entry.Memo("メモ");
  entry.NewGame();
  EXPECT_EQ(entry.Game().BowlerName(), "山田 太郎");
  EXPECT_EQ(entry.Game().AlleyName(), "ホーム");
  EXPECT_EQ(entry.Game().PlayDate(), "20261208");
  EXPECT_EQ(entry.Mark(0), "");
  EXPECT_EQ(entry.Game().ResultMemo(), "");
  EXPECT_FALSE(entry.Game().IsValid());  // the game number is still to come
  entry.GameNumber("5");
  EXPECT_TRUE(entry.Game().IsValid());
}

// Every column but EntryNumber of every game, in game number order.
std::vector<std::string> GameRows(Database& db) {
  std::vector<std::string> rows;
  auto rs = db.OpenRecordset("Select * From Result_Data Order By Game_Number");
  for (; !rs->Eof(); rs->MoveNext()) {
    std::string row;
    for (const std::string& column : rs->Columns())
      if (column != "EntryNumber") row += column + "=" + rs->Field(column).Text() + ";";
    rows.push_back(row);
  }
  return rows;
}

TEST_F(ScoreEntryTest, TypedGamesStoreTheRowsTheRecordsWriteFromTheirMarks) {
  // Two games as a user types them, box after box, and as their stored marks by position.
  const std::vector<std::vector<std::string>> typed = {
      {"x", "9", "/", "7", "2", "x", "*", "-6", "3", "g", "８", "8", "-2", "f", "9", "X", "+", "9"},
      {"0", "0", "S", "s", "s", "-7", "2", "9", "/", ".", "/", "1", "1", "4", "5", "x", "7", "/"}};
  const std::vector<std::vector<std::string>> stored = {
      {"",   "Ｘ", "９", "／", "７", "２", "",   "Ｘ", "",   "×", "⑥",
       "３", "Ｇ", "８", "８", "／", "Ｆ", "９", "Ｘ", "Ｘ", "９"},
      {"Ｇ", "－", "",   "×",  "",   "×",  "",   "×",  "⑦",  "２", "９",
       "／", "Ｆ", "／", "１", "１", "４", "５", "Ｘ", "７", "／"}};
  for (std::size_t g = 0; g < typed.size(); ++g) {
    ScoreEntry entry = KeyedEntry(static_cast<long>(g) + 1);
    entry.Handicap("12");
    entry.Memo("typed 'game' <" + std::to_string(g + 1) + ">");
    TypeInOrder(entry, typed[g]);
    entry.Register();
  }
  ScoreDbFixture direct;
  for (std::size_t g = 0; g < stored.size(); ++g)
    lanereport::testing::AddGame(direct.Db(), "山田 太郎", "ホーム", "リーグ", "2026/12/08",
                                 static_cast<long>(g) + 1, stored[g], 12,
                                 "typed 'game' <" + std::to_string(g + 1) + ">");
  std::vector<std::string> rows = GameRows(Db());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows, GameRows(direct.Db()));
  EXPECT_NE(rows[0].find("TenthFrameScore=156;"), std::string::npos) << rows[0];
}

TEST_F(ScoreEntryTest, TheDaysListShowsRowsNoGameCanRead) {
  Db().Execute(
      "Insert Into Result_Data (EntryNumber, Bowler_Name, Alley_Name, Level_Name, Play_Date, "
      "Game_Number, FirstFrame1, TenthFrameScore, PlayNumber, Handicap) Values (77, '山田 太郎', "
      "'ホーム', 'リーグ', '20261208', 1, '11', '', 0, 0)");
  std::vector<DayGame> day = DayGames(Db(), "山田 太郎", "20261208");
  ASSERT_EQ(day.size(), 1u);
  EXPECT_EQ(day[0].entry_number, 77);
  ScoreEntry entry(Db());
  EXPECT_THROW(entry.Open(77), AppError);
  EXPECT_FALSE(entry.Opened());
}

}  // namespace
