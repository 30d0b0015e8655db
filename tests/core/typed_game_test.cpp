#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "GameBuilder.h"
#include "ScoreDb.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "entry/GameCsv.h"
#include "entry/GameImport.h"
#include "entry/TypedGame.h"

namespace lanereport {
namespace {

// A game line as a user types it: the key, then the 21 boxes, the memo and the handicap.
TypedGameFields Line(const std::vector<std::string>& rolls, const std::string& game = "1",
                     const std::string& date = "2024/05/04", const std::string& memo = "",
                     const std::string& handicap = "0") {
  TypedGameFields f;
  f[kCsvBowler] = "山田";
  f[kCsvDate] = date;
  f[kCsvAlley] = "Ａボウル";
  f[kCsvLevel] = "リーグ";
  f[kCsvGameNumber] = game;
  for (std::size_t i = 0; i < rolls.size() && i < 21; ++i) f[kCsvFirstRoll + i] = rolls[i];
  f[kCsvMemo] = memo;
  f[kCsvHandicap] = handicap;
  return f;
}

// Ten frames of "9" and a miss: 90.
std::vector<std::string> NineMiss() {
  std::vector<std::string> rolls;
  for (int k = 0; k < 10; ++k) {
    rolls.push_back("9");
    rolls.push_back("0");
  }
  rolls.push_back("");
  return rolls;
}

class TypedGameTest : public ::testing::Test {
 protected:
  Database& Db() { return fixture_.Db(); }

  // The single refusal of a line: column name and message.
  std::pair<std::string, std::string> OnlyRefusal(const TypedGameFields& fields) {
    TypedGame typed = EnterTypedGame(Db(), fields);
    EXPECT_FALSE(typed.game.has_value());
    EXPECT_EQ(typed.refusals.size(), 1u);
    if (typed.refusals.empty()) return {};
    return {GameCsvColumns()[typed.refusals[0].column], typed.refusals[0].message};
  }

  // The stored row of the game with that entry number, every column as text.
  std::map<std::string, std::string> Row(long entry) {
    auto rs = Db().OpenRecordset("Select * From Result_Data Where EntryNumber = " +
                                 std::to_string(entry));
    std::map<std::string, std::string> row;
    EXPECT_EQ(rs->RecordCount(), 1);
    if (rs->Eof()) return row;
    for (const std::string& column : rs->Columns()) row[column] = rs->Field(column).Text();
    return row;
  }

  testing::ScoreDbFixture fixture_;
};

TEST_F(TypedGameTest, AGameTypedBoxByBoxIsStoredInTheSuitesForm) {
  // Each frame tries another way of typing: a strike as "x" (first box only), a spare "/", a
  // split "-6", a gutter "g" and a foul "f", a full-width count "９" and "0" for a miss, "s" and
  // a full-width "Ｘ" for the two kinds of strike, a count that reaches the pins left, a split
  // and a minus on a second ball, and the tenth frame with its bonus ball.
  std::vector<std::string> rolls = {"x", "",   "7", "/", "-6", "3",  "g",  "f", "９", "0", "s",
                                    "",  "Ｘ", "",  "8", "5",  "-4", "-3", "x", "9",  "/"};
  TypedGame typed = EnterTypedGame(Db(), Line(rolls, "1", "2024/5/4", "初\"の\n, ゲーム", "12"));
  ASSERT_TRUE(typed.game.has_value());
  ASSERT_TRUE(typed.refusals.empty());
  typed.game->Add();

  std::map<std::string, std::string> row = Row(1);
  const std::map<std::string, std::string> expected = {
      {"EntryNumber", "1"},
      {"Bowler_Name", "山田"},
      {"Alley_Name", "Ａボウル"},
      {"Level_Name", "リーグ"},
      {"Play_Date", "20240504"},
      {"Game_Number", "1"},
      // A strike in frames 1 to 9 keeps its first box empty and the mark in the second.
      {"FirstFrame1", ""},
      {"FirstFrame2", "Ｘ"},
      {"SecondFrame1", "７"},
      {"SecondFrame2", "／"},
      {"ThirdFrame1", "⑥"},
      {"ThirdFrame2", "３"},
      {"FourthFrame1", "Ｇ"},
      {"FourthFrame2", "Ｆ"},
      {"FifthFrame1", "９"},
      {"FifthFrame2", "－"},
      {"SixthFrame1", ""},
      {"SixthFrame2", "×"},
      {"SeventhFrame1", ""},
      {"SeventhFrame2", "Ｘ"},
      {"EighthFrame1", "８"},
      {"EighthFrame2", "／"},  // 8 + 5 reaches the pins left
      {"NinthFrame1", "④"},
      {"NinthFrame2", "３"},  // "-3" on a second ball is a count
      {"TenthFrame1", "Ｘ"},
      {"TenthFrame2", "９"},  // after a strike a new rack: a first-ball count
      {"TenthFrame3", "／"},
      // X 7/ (6)3 GF 9- X X 8/ (4)3 X9/: 20 36 45 45 54 82 102 116 123 143.
      {"FirstFrameScore", "20"},
      {"SecondFrameScore", "36"},
      {"ThirdFrameScore", "45"},
      {"FourthFrameScore", "45"},
      {"FifthFrameScore", "54"},
      {"SixthFrameScore", "82"},
      {"SeventhFrameScore", "102"},
      {"EighthFrameScore", "116"},
      {"NinthFrameScore", "123"},
      {"TenthFrameScore", "143"},
      {"Result_Memo", "初\"の\n, ゲーム"},
      {"PlayNumber", "0"},
      {"Handicap", "12"},
  };
  for (const auto& [column, value] : expected) EXPECT_EQ(row[column], value) << column;
  EXPECT_EQ(row.size(), expected.size());
}

TEST_F(TypedGameTest, TenthFrameBonusRules) {
  struct Case {
    std::vector<std::string> tenth;
    std::vector<std::string> stored;
    std::string score;  // nine frames of 9 and a miss make 81 before frame 10
  };
  const Case cases[] = {
      {{"x", "x", "x"}, {"Ｘ", "Ｘ", "Ｘ"}, "111"},
      {{"s", "7", "2"}, {"×", "７", "２"}, "100"},
      {{"/", "7", "3"}, {"×", "７", "／"}, "101"},
      {{"8", "2", "x"}, {"８", "／", "Ｘ"}, "101"},  // a third ball after a spare
      {{"8", "1", ""}, {"８", "１", ""}, "90"},
      {{"x", "0", "0"}, {"Ｘ", "Ｇ", "－"}, "91"},  // a new rack after a strike starts with "Ｇ"
      {{"Ｇ", "／", "f"}, {"Ｇ", "／", "Ｆ"}, "91"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> rolls = NineMiss();
    for (int i = 0; i < 3; ++i) rolls[18 + i] = c.tenth[i];
    TypedGame typed = EnterTypedGame(Db(), Line(rolls));
    ASSERT_TRUE(typed.game.has_value()) << c.tenth[0] << c.tenth[1] << c.tenth[2];
    for (int i = 0; i < 3; ++i) EXPECT_EQ(typed.game->Roll(18 + i), c.stored[i]);
    EXPECT_EQ(typed.game->Tenthframescore(), c.score);
  }
}

TEST_F(TypedGameTest, StrikesAllGameAndGuttersAllGame) {
  std::vector<std::string> strikes;
  for (int k = 0; k < 9; ++k) strikes.insert(strikes.end(), {"x", ""});
  strikes.insert(strikes.end(), {"x", "x", "x"});
  TypedGame perfect = EnterTypedGame(Db(), Line(strikes));
  ASSERT_TRUE(perfect.game.has_value());
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(perfect.game->FrameScore(k), std::to_string(30 * k));

  std::vector<std::string> gutters;
  for (int k = 0; k < 10; ++k) gutters.insert(gutters.end(), {"g", "g"});
  gutters.push_back("");
  TypedGame zero = EnterTypedGame(Db(), Line(gutters));
  ASSERT_TRUE(zero.game.has_value());
  EXPECT_EQ(zero.game->Roll(0), "Ｇ");
  EXPECT_EQ(zero.game->Roll(1), "－");  // "g" on a second ball is a miss
  EXPECT_EQ(zero.game->Tenthframescore(), "0");
}

TEST_F(TypedGameTest, TheStoredFormOfAStrikeIsTakenAsItStands) {
  // An exported line holds a strike as an empty first box and the mark in the second.
  std::vector<std::string> rolls = NineMiss();
  rolls[0] = "";
  rolls[1] = "×";
  TypedGame typed = EnterTypedGame(Db(), Line(rolls));
  ASSERT_TRUE(typed.game.has_value());
  EXPECT_EQ(typed.game->Roll(0), "");
  EXPECT_EQ(typed.game->Roll(1), "×");
  EXPECT_EQ(typed.game->Firstframescore(), "19");
}

TEST_F(TypedGameTest, RefusedEntriesNameTheirBox) {
  auto with = [](int roll, const std::string& entry) {
    std::vector<std::string> rolls = NineMiss();
    rolls[roll] = entry;
    return Line(rolls);
  };
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(OnlyRefusal(with(4, "11")), P("ThirdFrame1", "入力が不正です"));
  EXPECT_EQ(OnlyRefusal(with(5, "a")), P("ThirdFrame2", "入力が不正です"));
  EXPECT_EQ(OnlyRefusal(with(18, "10")), P("TenthFrame1", "入力が不正です"));
  EXPECT_EQ(OnlyRefusal(with(2, std::string(256, '7'))), P("SecondFrame1", "文字列が長すぎます"));
  // A second ball typed after a strike would clear the strike.
  std::vector<std::string> after_strike = NineMiss();
  after_strike[6] = "x";
  after_strike[7] = "5";
  EXPECT_EQ(OnlyRefusal(Line(after_strike)),
            P("FourthFrame2", "ストライクのフレームに2投目は入力できません"));
  // A second ball without a first.
  EXPECT_EQ(OnlyRefusal(with(8, "")), P("FifthFrame1", "1投目が入力されていません"));
  // A third ball the tenth frame did not earn is not stored: refused, not dropped.
  EXPECT_EQ(OnlyRefusal(with(20, "5")), P("TenthFrame3", "このフレームに3投目はありません"));
  // A game not finished names the first box still waiting.
  std::vector<std::string> unfinished = NineMiss();
  unfinished[18] = "x";
  unfinished[19] = "5";
  EXPECT_EQ(OnlyRefusal(Line(unfinished)), P("TenthFrame3", "入力が終わっていません"));
  std::vector<std::string> short_game = NineMiss();
  for (int i = 10; i < 21; ++i) short_game[i] = "";
  EXPECT_EQ(OnlyRefusal(Line(short_game)), P("SixthFrame1", "入力が終わっていません"));
}

TEST_F(TypedGameTest, RefusedKeysNumbersAndTexts) {
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(OnlyRefusal(Line(NineMiss(), "1", "2024/02/30")),
            P("Play_Date", "日付が正しくありません"));
  EXPECT_EQ(OnlyRefusal(Line(NineMiss(), "1", "昨日")), P("Play_Date", "日付が正しくありません"));
  EXPECT_EQ(OnlyRefusal(Line(NineMiss(), "abc")), P("Game_Number", "数値を入力して下さい"));
  EXPECT_EQ(OnlyRefusal(Line(NineMiss(), "")), P("Game_Number", "数値を入力して下さい"));
  // A fraction would be rounded by the setter: refused instead.
  EXPECT_EQ(OnlyRefusal(Line(NineMiss(), "1.5")), P("Game_Number", "整数を入力して下さい"));
  EXPECT_EQ(OnlyRefusal(Line(NineMiss(), "99999999999")), P("Game_Number", "数値を入力して下さい"));
  EXPECT_EQ(OnlyRefusal(Line(NineMiss(), "1", "2024/05/04", "", "ten")),
            P("Handicap", "数値を入力して下さい"));
  // 128 full-width characters are 256 bytes; 127 and a half-width one are 255.
  std::string long_memo;
  for (int i = 0; i < 128; ++i) long_memo += "あ";
  EXPECT_EQ(OnlyRefusal(Line(NineMiss(), "1", "2024/05/04", long_memo)),
            P("Result_Memo", "文字列が長すぎます"));
  std::string longest_memo;
  for (int i = 0; i < 127; ++i) longest_memo += "あ";
  EXPECT_TRUE(EnterTypedGame(Db(), Line(NineMiss(), "1", "2024/05/04", longest_memo + "a")).game);
  // An empty handicap is none.
  TypedGame no_handicap = EnterTypedGame(Db(), Line(NineMiss(), "1", "2024/05/04", "", ""));
  ASSERT_TRUE(no_handicap.game.has_value());
  EXPECT_EQ(no_handicap.game->Handicap(), 0);

  TypedGameFields nameless = Line(NineMiss());
  nameless[kCsvBowler] = " ";
  EXPECT_EQ(OnlyRefusal(nameless), P("Bowler_Name", "ボウラーが入力されていません"));

  // Every refusal of a line is kept, in column order.
  TypedGameFields many = Line(NineMiss(), "x", "2024/13/01", "", "h");
  many[kCsvFirstRoll + 3] = "z";
  TypedGame typed = EnterTypedGame(Db(), many);
  ASSERT_EQ(typed.refusals.size(), 4u);
  EXPECT_EQ(typed.refusals[0].column, kCsvDate);
  EXPECT_EQ(typed.refusals[0].value, "2024/13/01");
  EXPECT_EQ(typed.refusals[1].column, kCsvGameNumber);
  EXPECT_EQ(typed.refusals[2].column, kCsvFirstRoll + 3);
  EXPECT_EQ(typed.refusals[3].column, kCsvHandicap);
}

// The entry numbers count up in the order of the file; the games of one bowler, centre and
// level on one date share their play number, each further play of the day takes the next.
TEST_F(TypedGameTest, ImportedGamesTakeEntryAndPlayNumbers) {
  testing::AddBowler(Db(), "山田", "yamada", 1);
  testing::AddBowler(Db(), "佐藤", "sato", 2);
  testing::AddAlley(Db(), "Ａボウル", 1, true);
  testing::AddAlley(Db(), "Ｂレーン", 2, false);
  testing::AddLevel(Db(), "リーグ", 1, true);
  testing::AddLevel(Db(), "練習", 2, false);
  std::string csv = "Bowler_Name,Play_Date,Alley_Name,Level_Name,Game_Number";
  for (int i = 5; i < kGameCsvColumnCount; ++i) csv += std::string(",") + GameCsvColumns()[i];
  csv += "\n";
  auto line = [](const std::string& bowler, const std::string& alley, const std::string& level,
                 const std::string& date, int game) {
    std::string l = bowler + "," + date + "," + alley + "," + level + "," + std::to_string(game);
    for (int k = 0; k < 10; ++k) l += ",8,1";
    return l + ",,,0\n";
  };
  csv += line("山田", "Ａボウル", "リーグ", "2024/05/04", 1);
  csv += line("山田", "Ａボウル", "リーグ", "2024/05/04", 2);
  csv += line("山田", "Ｂレーン", "リーグ", "2024/05/04", 1);
  csv += line("山田", "Ｂレーン", "練習", "2024/05/04", 1);
  csv += line("佐藤", "Ａボウル", "リーグ", "2024/05/04", 1);
  csv += line("山田", "Ａボウル", "リーグ", "2024/05/04", 3);
  csv += line("山田", "Ａボウル", "リーグ", "2024/05/05", 1);
  GameImportResult result = ImportGames(Db(), csv, false);
  ASSERT_TRUE(result.refusals.empty()) << RefusalText(result.refusals[0]);
  EXPECT_EQ(result.written, 7);
  const long expected_play[] = {0, 0, 1, 2, 0, 0, 0};
  for (long entry = 1; entry <= 7; ++entry) {
    std::map<std::string, std::string> row = Row(entry);
    EXPECT_EQ(row["PlayNumber"], std::to_string(expected_play[entry - 1])) << entry;
    EXPECT_EQ(row["TenthFrameScore"], "90");
  }
  auto counter =
      Db().OpenRecordset("Select DataNumber From DataNumberControl Where DataID = 'ResultData'");
  ASSERT_FALSE(counter->Eof());
  EXPECT_EQ(counter->Field("DataNumber").ToInt(), 7);
}

}  // namespace
}  // namespace lanereport
