#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameBuilder.h"
#include "ScoreDb.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/Schema.h"
#include "entry/GameCsv.h"
#include "entry/GameExport.h"
#include "entry/GameImport.h"
#include "sample/SampleDatabase.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/ReadProblems.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

// Every row of a table as text, in the order of its first column, each column named.
std::vector<std::string> Rows(Database& db, const std::string& table, const std::string& order) {
  std::vector<std::string> rows;
  auto rs = db.OpenRecordset("Select * From " + table + " Order By " + order);
  for (; !rs->Eof(); rs->MoveNext()) {
    std::string row;
    for (const std::string& column : rs->Columns()) {
      Value v = rs->Field(column);
      row += column + "=" + (v.IsNull() ? std::string("<null>") : v.Text()) + "|";
    }
    rows.push_back(row);
  }
  return rows;
}

long GameRows(Database& db) {
  return db.OpenRecordset("Select * From Result_Data")->RecordCount();
}

std::string Header(char d = ',') {
  std::string header;
  for (int c = 0; c < kGameCsvColumnCount; ++c) {
    if (c) header += d;
    header += GameCsvColumns()[c];
  }
  return header + "\n";
}

// A game line of ten open frames 8-1 (90).
std::string Line(const std::string& bowler, const std::string& date, int game,
                 const std::string& memo = "", char d = ',') {
  std::string l = bowler + d + date + d + "Ａボウル" + d + "リーグ" + d + std::to_string(game);
  for (int k = 0; k < 10; ++k) l += std::string(1, d) + "8" + d + "1";
  return l + d + d + memo + d + "0\n";
}

class GameImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::AddBowler(Db(), "山田", "yamada", 1);
    testing::AddBowler(Db(), "佐藤", "sato", 2);
    testing::AddAlley(Db(), "Ａボウル", 1, true);
    testing::AddLevel(Db(), "リーグ", 1, true);
  }
  Database& Db() { return fixture_.Db(); }

  // The refusals as the user reads them.
  static std::vector<std::string> Texts(const GameImportResult& result) {
    std::vector<std::string> texts;
    for (const ImportRefusal& r : result.refusals) texts.push_back(RefusalText(r));
    return texts;
  }

  // Nothing of a refused import may be left: no game and no number drawn.
  void ExpectNothingWritten() {
    EXPECT_EQ(GameRows(Db()), 0);
    EXPECT_TRUE(
        Db().OpenRecordset("Select * From DataNumberControl Where DataID = 'ResultData'")->Eof());
  }

  testing::ScoreDbFixture fixture_;
};

TEST_F(GameImportTest, BadLinesWriteNothingAndEachIsNamed) {
  std::string csv = Header() + Line("山田", "2024/05/04", 1) +   // line 2: good
                    Line("山田", "2024/02/30", 2) +              // 3: no such date
                    Line("鈴木", "2024/05/04", 1) +              // 4: no such bowler
                    Line("山田", "2024/05/04", 1) +              // 5: same as line 2
                    "山田,2024/05/04,Ａボウル,リーグ,3,1,2\n" +  // 6: columns missing
                    Line("佐藤", "2024/05/04", 1, "\"open") +    // 7: a quote left open
                    "";
  GameImportResult result = ImportGames(Db(), csv, false);
  EXPECT_EQ(result.written, 0);
  const std::vector<std::string> expected = {
      "3 行目 Play_Date：日付が正しくありません（値「2024/02/30」）",
      "4 行目 Bowler_Name：ボウラーが登録されていません（値「鈴木」）",
      "5 行目：同じゲームが 2 行目にあります",
      "6 行目：列の数が見出しと違います（見出しは 28 列、この行は 7 列）",
      "7 行目：引用符が閉じられていません",
  };
  EXPECT_EQ(Texts(result), expected);
  EXPECT_EQ(result.refused_lines, 5);
  ExpectNothingWritten();
}

TEST_F(GameImportTest, AGameAlreadyStoredIsRefused) {
  testing::AddOpenGame(Db(), "山田", "Ａボウル", "リーグ", "2024/05/04", 1, "9", "0");
  GameImportResult result = ImportGames(
      Db(), Header() + Line("山田", "2024/05/04", 2) + Line("山田", "2024/5/4", 1), false);
  EXPECT_EQ(Texts(result),
            std::vector<std::string>{"3 行目：該当するﾃﾞｰﾀが存在します、追加出来ません"});
  EXPECT_EQ(GameRows(Db()), 1);
}

TEST_F(GameImportTest, TheHeaderNamesEveryColumnOnce) {
  GameImportResult empty = ImportGames(Db(), "", false);
  EXPECT_EQ(Texts(empty), std::vector<std::string>{"1 行目：ファイルが空です"});
  EXPECT_EQ(empty.refused_lines, 1);
  GameImportResult header_only = ImportGames(Db(), Header(), false);
  EXPECT_EQ(Texts(header_only), std::vector<std::string>{"1 行目：取り込むゲームがありません"});

  std::string header = Header();
  std::string wrong = header;
  wrong.replace(wrong.find("Handicap"), 8, "Handycap");
  wrong.replace(wrong.find("Game_Number"), 11, "Alley_Name");
  GameImportResult result = ImportGames(Db(), wrong + Line("山田", "2024/05/04", 1), false);
  const std::vector<std::string> expected = {
      "1 行目 Alley_Name：同じ列が二つあります",
      "1 行目：不明な列です（値「Handycap」）",
      "1 行目 Game_Number：列がありません",
      "1 行目 Handicap：列がありません",
  };
  EXPECT_EQ(Texts(result), expected);
  EXPECT_EQ(result.refused_lines, 1);
  ExpectNothingWritten();
}

TEST_F(GameImportTest, ColumnsInAnyOrderAndCaseSeparatorsAndCodePages) {
  // The columns reversed and in lower case, separated by semicolons, in code page 932.
  std::vector<std::string> names(GameCsvColumns().rbegin(), GameCsvColumns().rend());
  std::string header;
  for (std::size_t i = 0; i < names.size(); ++i) header += (i ? ";" : "") + ToLowerAscii(names[i]);
  std::vector<std::string> fields = {"山田", "2024/05/04", "Ａボウル", "リーグ", "2", "x", ""};
  for (int k = 0; k < 9; ++k) fields.insert(fields.end(), {"8", "1"});
  fields.insert(fields.end(), {"", "メモ", "0"});
  std::string line;
  for (auto f = fields.rbegin(); f != fields.rend(); ++f) line += (line.empty() ? "" : ";") + *f;
  line += "\n";
  GameImportResult result = ImportGames(Db(), Utf8ToCp932(header + "\n" + line), false);
  ASSERT_TRUE(result.refusals.empty()) << Texts(result)[0];
  EXPECT_EQ(result.encoding, "CP932");
  EXPECT_EQ(result.delimiter, ';');
  EXPECT_EQ(result.written, 1);
  auto rs = Db().OpenRecordset("Select * From Result_Data");
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->Field("Result_Memo").Text(), "メモ");
  EXPECT_EQ(rs->Field("FirstFrame2").Text(), "Ｘ");
  EXPECT_EQ(rs->Field("Game_Number").ToInt(), 2);
  EXPECT_EQ(rs->Field("TenthFrameScore").Text(), "100");  // X then nine 8-1: 19 + 81

  // Tabs, and a memo with the separator, quotes and a line break, in UTF-8.
  std::string tabbed = Header('\t') + Line("佐藤", "2024/05/04", 1, "\"a\tb \"\"c\"\"\nd\"", '\t');
  GameImportResult tabs = ImportGames(Db(), tabbed, false);
  ASSERT_TRUE(tabs.refusals.empty()) << Texts(tabs)[0];
  EXPECT_EQ(tabs.delimiter, '\t');
  auto memo = Db().OpenRecordset("Select Result_Memo From Result_Data Where Bowler_Name = '佐藤'");
  EXPECT_EQ(memo->Field("Result_Memo").Text(), "a\tb \"c\"\nd");
}

TEST_F(GameImportTest, ADryRunChecksAndWritesNothing) {
  std::string csv = Header() + Line("山田", "2024/05/04", 1) + Line("山田", "2024/05/04", 2);
  GameImportResult dry = ImportGames(Db(), csv, true);
  EXPECT_TRUE(dry.refusals.empty());
  EXPECT_EQ(dry.games, 2);
  EXPECT_EQ(dry.written, 0);
  ExpectNothingWritten();
  GameImportResult bad = ImportGames(Db(), csv + Line("山田", "2024/05/04", 0) + "x,y\n", true);
  EXPECT_EQ(Texts(bad), std::vector<std::string>{
                            "5 行目：列の数が見出しと違います（見出しは 28 列、この行は 2 列）"});
  ExpectNothingWritten();
}

TEST_F(GameImportTest, LongAndOddValuesAreShownSafely) {
  std::string odd = "山\x1b[2J" + std::string(200, 'z');
  GameImportResult result = ImportGames(Db(), Header() + Line(odd, "2024/05/04", 1), false);
  ASSERT_EQ(result.refusals.size(), 1u);
  std::string text = RefusalText(result.refusals[0]);
  EXPECT_EQ(text.find('\x1b'), std::string::npos);
  EXPECT_NE(text.find("山\\x1B[2J"), std::string::npos);
  EXPECT_NE(text.find("…」"), std::string::npos);
  EXPECT_LT(text.size(), 200u);
}

// Exporting a database and importing the file into one with the same masters and no games gives
// every row of Result_Data again, column for column, and the same file again.
TEST(GameCsvRoundTrip, AnExportImportsAgainUnchanged) {
  testing::ScoreDbFixture source;
  SampleOptions options;
  options.bowlers = 3;
  options.years = 1;
  options.end_year = 2024;
  options.seed = 7;
  FillSampleDatabase(source.Db(), options);
  GameExportResult exported;
  {
    ReadProblemLog log;
    exported = ExportGames(source.Db(), "");
    EXPECT_EQ(log.Count(), 0u);
    EXPECT_TRUE(exported.not_as_stored.empty());
  }
  ASSERT_GT(exported.games, 100);
  EXPECT_EQ(exported.games, GameRows(source.Db()));
  EXPECT_EQ(exported.text.rfind("Bowler_Name,Play_Date,Alley_Name,Level_Name,Game_Number,", 0), 0u);

  testing::TempDir dir;
  std::unique_ptr<Database> target = CreateScoreDatabase(dir.File("copy.db"));
  target->ExecuteNative("ATTACH DATABASE '" + source.DbPath() + "' AS src");
  for (const char* table : {"Bowler_Data", "Alley_Data", "Level_Data"})
    target->ExecuteNative(std::string("INSERT INTO ") + table + " SELECT * FROM src." + table);
  target->ExecuteNative("DETACH DATABASE src");

  GameImportResult imported = ImportGames(*target, exported.text, false);
  ASSERT_TRUE(imported.refusals.empty()) << RefusalText(imported.refusals[0]);
  EXPECT_EQ(imported.written, exported.games);
  EXPECT_EQ(Rows(*target, "Result_Data", "EntryNumber"),
            Rows(source.Db(), "Result_Data", "EntryNumber"));
  EXPECT_EQ(ExportGames(*target, "").text, exported.text);

  // A second import of the same file finds every game there already.
  GameImportResult again = ImportGames(*target, exported.text, false);
  EXPECT_EQ(static_cast<long>(again.refusals.size()), exported.games);
}

// A game another program stored in a form typed entry does not give is written as stored, and
// named: importing the file would store it otherwise.
TEST_F(GameImportTest, AnExportNamesTheGamesThatWouldNotImportAsStored) {
  testing::AddOpenGame(Db(), "山田", "Ａボウル", "リーグ", "2024/05/04", 1, "8", "1");
  testing::AddOpenGame(Db(), "山田", "Ａボウル", "リーグ", "2024/05/04", 2, "8", "1");
  testing::AddOpenGame(Db(), "山田", "Ａボウル", "リーグ", "2024/05/04", 3, "8", "1");
  Db().ExecuteNative("UPDATE Result_Data SET SecondFrame2 = '５' WHERE Game_Number = 2");
  Db().ExecuteNative("UPDATE Result_Data SET FirstFrame1 = '' WHERE Game_Number = 3");
  GameExportResult exported = ExportGames(Db(), "");
  EXPECT_EQ(exported.games, 3);
  const std::vector<std::string> expected = {
      "山田 2024/05/04 Ａボウル リーグ 2 SecondFrame2：「５」は「／」になります",
      "山田 2024/05/04 Ａボウル リーグ 3 FirstFrame1：1投目が入力されていません（値「」）",
  };
  EXPECT_EQ(exported.not_as_stored, expected);
  EXPECT_NE(exported.text.find(",８,５,"), std::string::npos);
}

TEST(GameCsvRoundTrip, ExportWithoutGamesIsNoData) {
  testing::ScoreDbFixture empty;
  try {
    ExportGames(empty.Db(), "");
    ADD_FAILURE() << "no error";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrNoData);
    EXPECT_EQ(e.Description(), "該当するﾃﾞｰﾀは存在しません");
  }
}

}  // namespace
}  // namespace lanereport
