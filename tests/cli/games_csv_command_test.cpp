#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "GameBuilder.h"
#include "TempDir.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/Schema.h"

namespace lanereport::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHeader =
    "Bowler_Name,Play_Date,Alley_Name,Level_Name,Game_Number,FirstFrame1,FirstFrame2,"
    "SecondFrame1,SecondFrame2,ThirdFrame1,ThirdFrame2,FourthFrame1,FourthFrame2,FifthFrame1,"
    "FifthFrame2,SixthFrame1,SixthFrame2,SeventhFrame1,SeventhFrame2,EighthFrame1,EighthFrame2,"
    "NinthFrame1,NinthFrame2,TenthFrame1,TenthFrame2,TenthFrame3,Result_Memo,Handicap\r\n";

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// One game twice: as a user types it, and as the suite stores it (marks, running scores and
// play number worked out by hand from the rules of the notation and of the play numbers).
struct Game {
  std::string bowler, alley, level, date;  // date "YYYY/MM/DD"
  int number;
  std::vector<std::string> typed;     // 21 boxes
  std::array<std::string, 21> marks;  // as stored
  std::array<int, 10> scores;
  std::string memo;
  int play;
  int handicap;
};

std::vector<std::string> Repeat(std::vector<std::string> frame,
                                const std::vector<std::string>& last) {
  std::vector<std::string> rolls;
  for (int k = 0; k < 9; ++k) rolls.insert(rolls.end(), frame.begin(), frame.end());
  rolls.insert(rolls.end(), last.begin(), last.end());
  return rolls;
}

std::array<std::string, 21> Marks(const std::vector<std::string>& rolls) {
  std::array<std::string, 21> marks;
  for (std::size_t i = 0; i < 21; ++i) marks[i] = rolls[i];
  return marks;
}

std::array<int, 10> Steps(int first, int step) {
  std::array<int, 10> s;
  for (int k = 0; k < 10; ++k) s[k] = first + step * k;
  return s;
}

const std::vector<Game>& Games() {
  static const std::vector<Game> games = {
      {"山田",
       "Ａボウル",
       "リーグ",
       "2025/05/03",
       1,
       {"x", "",   "7", "/", "9", "0", "x", "",  "x", "", "8",
        "1", "-6", "3", "g", "f", "9", "/", "x", "x", "x"},
       {"",   "Ｘ", "７", "／", "９", "－", "",   "Ｘ", "",   "Ｘ", "８",
        "１", "⑥",  "３", "Ｇ", "Ｆ", "９", "／", "Ｘ", "Ｘ", "Ｘ"},
       {20, 39, 48, 76, 95, 104, 113, 113, 133, 163},
       "初ゲーム, \"メモ\"",
       0,
       5},
      {"山田", "Ａボウル", "リーグ", "2025/05/03", 2, Repeat({"8", "1"}, {"8", "1", ""}),
       Marks(Repeat({"８", "１"}, {"８", "１", ""})), Steps(9, 9), "", 0, 5},
      {"山田", "Ａボウル", "リーグ", "2025/05/03", 3, Repeat({"s", ""}, {"s", "s", "s"}),
       Marks(Repeat({"", "×"}, {"×", "×", "×"})), Steps(30, 30), "パーフェクト！\n二行目", 0, 5},
      {"山田", "Ｂレーン", "リーグ", "2025/05/03", 1, Repeat({"７", "２"}, {"７", "２", ""}),
       Marks(Repeat({"７", "２"}, {"７", "２", ""})), Steps(9, 9), "", 1, 0},
      {"山田", "Ａボウル", "リーグ", "2025/06/10", 1, Repeat({"5", "5"}, {"5", "5", "5"}),
       Marks(Repeat({"５", "／"}, {"５", "／", "５"})), Steps(15, 15), "", 0, 0},
      {"山田", "Ａボウル", "練習", "2025/06/10", 1, Repeat({"9", "－"}, {"9", "－", ""}),
       Marks(Repeat({"９", "－"}, {"９", "－", ""})), Steps(9, 9), "", 1, 0},
  };
  return games;
}

// A database with the masters of the games and no game.
std::unique_ptr<Database> MastersOnly(const std::string& path) {
  std::unique_ptr<Database> db = CreateScoreDatabase(path);
  AddBowler(*db, "山田", "yamada", 1);
  AddAlley(*db, "Ａボウル", 1, true);
  AddAlley(*db, "Ｂレーン", 2, false);
  AddLevel(*db, "リーグ", 1, true);
  AddLevel(*db, "練習", 2, false);
  return db;
}

std::string TypedCsv() {
  std::string csv = kHeader;
  for (const Game& g : Games()) {
    std::vector<std::string> fields = {g.bowler, g.date, g.alley, g.level,
                                       std::to_string(g.number)};
    fields.insert(fields.end(), g.typed.begin(), g.typed.end());
    fields.push_back(g.memo);
    fields.push_back(std::to_string(g.handicap));
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      std::string f = fields[i];
      bool quote = f.find_first_of(",\"\n") != std::string::npos;
      std::string quoted;
      for (char c : f) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
      line += (i ? "," : "") + (quote ? "\"" + quoted + "\"" : f);
    }
    csv += line + "\r\n";
  }
  return csv;
}

// The games written straight into Result_Data with SQL, as another program would write them.
void InsertWithSql(Database& db) {
  static const char* const kRolls[21] = {
      "FirstFrame1",  "FirstFrame2",  "SecondFrame1",  "SecondFrame2",  "ThirdFrame1",
      "ThirdFrame2",  "FourthFrame1", "FourthFrame2",  "FifthFrame1",   "FifthFrame2",
      "SixthFrame1",  "SixthFrame2",  "SeventhFrame1", "SeventhFrame2", "EighthFrame1",
      "EighthFrame2", "NinthFrame1",  "NinthFrame2",   "TenthFrame1",   "TenthFrame2",
      "TenthFrame3"};
  static const char* const kScores[10] = {
      "FirstFrameScore", "SecondFrameScore", "ThirdFrameScore",   "FourthFrameScore",
      "FifthFrameScore", "SixthFrameScore",  "SeventhFrameScore", "EighthFrameScore",
      "NinthFrameScore", "TenthFrameScore"};
  auto q = [](const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
  };
  long entry = 0;
  for (const Game& g : Games()) {
    std::string columns =
        "EntryNumber, Bowler_Name, Alley_Name, Level_Name, Play_Date, Game_Number";
    std::string values = std::to_string(++entry) + ", " + q(g.bowler) + ", " + q(g.alley) + ", " +
                         q(g.level) + ", " +
                         q(g.date.substr(0, 4) + g.date.substr(5, 2) + g.date.substr(8, 2)) + ", " +
                         std::to_string(g.number);
    for (int i = 0; i < 21; ++i) {
      columns += std::string(", ") + kRolls[i];
      values += ", " + q(g.marks[i]);
    }
    for (int k = 0; k < 10; ++k) {
      columns += std::string(", ") + kScores[k];
      values += ", " + q(std::to_string(g.scores[k]));
    }
    columns += ", Result_Memo, PlayNumber, Handicap";
    values += ", " + q(g.memo) + ", " + std::to_string(g.play) + ", " + std::to_string(g.handicap);
    db.ExecuteNative("INSERT INTO Result_Data (" + columns + ") VALUES (" + values + ")");
  }
  db.ExecuteNative("INSERT INTO DataNumberControl (DataID, DataNumber) VALUES ('ResultData', " +
                   std::to_string(entry) + ")");
}

std::vector<std::string> ResultRows(const std::string& path) {
  std::unique_ptr<Database> db = Database::Open(path);
  std::vector<std::string> rows;
  auto rs = db->OpenRecordset("Select * From Result_Data Order By EntryNumber");
  for (; !rs->Eof(); rs->MoveNext()) {
    std::string row;
    for (const std::string& c : rs->Columns()) row += c + "=" + rs->Field(c).Text() + "|";
    rows.push_back(row);
  }
  return rows;
}

long GameCount(const std::string& path) {
  return Database::Open(path)->OpenRecordset("Select * From Result_Data")->RecordCount();
}

std::set<std::string> FilesUnder(const std::string& folder) {
  std::set<std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file()) files.insert(fs::relative(e.path(), folder).string());
  return files;
}

class GamesCsvCommandTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.File(name); }
  // A database with the masters, under folder/score.db.
  std::string NewDb(const std::string& folder) {
    fs::create_directories(Path(folder));
    std::string path = Path(folder + "/score.db");
    MastersOnly(path);
    return path;
  }
  TempDir dir_;
};

// The publishing side does not care where a game came from: the pages made from games entered
// through the import equal, byte for byte, those made from the same games written with SQL.
TEST_F(GamesCsvCommandTest, PagesOfImportedGamesEqualThoseOfGamesWrittenWithSql) {
  std::string entered = NewDb("entered");
  std::string written = NewDb("written");
  WriteFile(Path("games.csv"), TypedCsv());
  CliResult imported = RunCli({"import-games", entered, Path("games.csv")});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_NE(imported.out.find("ゲーム 6 件を取り込みました"), std::string::npos) << imported.out;
  InsertWithSql(*Database::Open(written));

  // The stored rows are the ones the suite stores.
  EXPECT_EQ(ResultRows(entered), ResultRows(written));

  for (const std::string& db : {entered, written}) {
    std::string out = fs::path(db).parent_path().string() + "/site";
    CliResult score = RunCli({"score-pages", db, "--bowler", "山田", "--from", "2025/01/01", "--to",
                              "2025/12/31", "--out", out});
    ASSERT_EQ(score.status, 0) << score.err;
    CliResult monthly = RunCli({"monthly-pages", db, "--bowler", "山田", "--from", "2025/01",
                                "--to", "2025/12", "--out", out});
    ASSERT_EQ(monthly.status, 0) << monthly.err;
  }
  std::set<std::string> files = FilesUnder(Path("entered/site"));
  EXPECT_EQ(files, FilesUnder(Path("written/site")));
  // Three plays in the counted level, two months.
  EXPECT_TRUE(files.count("score2025/yamada/2025050311.html")) << *files.begin();
  EXPECT_TRUE(files.count("score2025/yamada/2025050321.html"));
  EXPECT_TRUE(files.count("score2025/yamada/2025061011.html"));
  EXPECT_TRUE(files.count("score2025/yamada/202505.html"));
  EXPECT_TRUE(files.count("score2025/yamada/202506.html"));
  for (const std::string& f : files) {
    EXPECT_EQ(ReadFileBytes(Path("entered/site/" + f)), ReadFileBytes(Path("written/site/" + f)))
        << f;
  }
}

TEST_F(GamesCsvCommandTest, ExportThenImportGivesTheSameRowsAndFile) {
  std::string source = NewDb("source");
  InsertWithSql(*Database::Open(source));
  CliResult to_stdout = RunCli({"export-games", source});
  ASSERT_EQ(to_stdout.status, 0) << to_stdout.err;
  EXPECT_EQ(to_stdout.out.rfind(kHeader, 0), 0u);
  CliResult to_file = RunCli({"export-games", source, Path("out.csv")});
  ASSERT_EQ(to_file.status, 0) << to_file.err;
  EXPECT_EQ(ReadFileBytes(Path("out.csv")), to_stdout.out);
  EXPECT_NE(to_file.out.find("ゲーム 6 件を書き出しました"), std::string::npos);

  std::string target = NewDb("target");
  CliResult imported = RunCli({"import-games", target, Path("out.csv")});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(ResultRows(target), ResultRows(source));
  EXPECT_EQ(RunCli({"export-games", target}).out, to_stdout.out);

  // The filters: a year and a bowler.
  CliResult june = RunCli({"export-games", source, "--year", "2025", "--bowler", "yamada"});
  EXPECT_EQ(june.status, 0);
  EXPECT_EQ(june.out, to_stdout.out);
  CliResult none = RunCli({"export-games", source, "--year", "2024"});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("該当するﾃﾞｰﾀは存在しません"), std::string::npos);
  EXPECT_EQ(none.out, "");
  CliResult nobody = RunCli({"export-games", source, "--bowler", "鈴木", Path("nobody.csv")});
  EXPECT_EQ(nobody.status, 1);
  EXPECT_FALSE(fs::exists(Path("nobody.csv")));
}

TEST_F(GamesCsvCommandTest, ABadFileWritesNothingAndADryRunWritesNothing) {
  std::string db = NewDb("db");
  std::string csv = TypedCsv();
  WriteFile(Path("good.csv"), csv);
  CliResult dry = RunCli({"import-games", db, Path("good.csv"), "--dry-run"});
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_NE(dry.out.find("ゲーム 6 件はすべて取り込めます"), std::string::npos) << dry.out;
  EXPECT_EQ(GameCount(db), 0);

  // Letters in the game number and the handicap, a roll of "11", an impossible date, after the
  // six good games (lines 2 to 8: the memo of the third holds a line break).
  std::string bad = kHeader;
  bad += "山田,2025/05/03,Ａボウル,リーグ,一,9,0,9,0,9,0,9,0,9,0,9,0,9,0,9,0,9,0,9,0,,,5\r\n";
  bad += "山田,2025/05/03,Ａボウル,リーグ,2,11,0,9,0,9,0,9,0,9,0,9,0,9,0,9,0,9,0,9,0,,,abc\r\n";
  bad += "山田,2025/13/03,Ａボウル,リーグ,3,9,0,9,0,9,0,9,0,9,0,9,0,9,0,9,0,9,0,9,0,,,0\r\n";
  WriteFile(Path("bad.csv"), csv + bad.substr(std::string(kHeader).size()));
  for (bool dry_run : {false, true}) {
    std::vector<std::string> words = {"import-games", db, Path("bad.csv")};
    if (dry_run) words.push_back("--dry-run");
    CliResult refused = RunCli(words);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("9 行目 Game_Number：数値を入力して下さい（値「一」）"),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("10 行目 FirstFrame1：入力が不正です（値「11」）"),
              std::string::npos);
    EXPECT_NE(refused.err.find("10 行目 Handicap：数値を入力して下さい（値「abc」）"),
              std::string::npos);
    EXPECT_NE(refused.err.find("11 行目 Play_Date：日付が正しくありません（値「2025/13/03」）"),
              std::string::npos);
    EXPECT_NE(refused.err.find("取り込めない行が 3 行（4 件）あります。データベースには何も書き込"
                               "みませんでした"),
              std::string::npos);
    EXPECT_EQ(GameCount(db), 0);
  }
}

TEST_F(GamesCsvCommandTest, ADatabaseWithoutItsMastersNamesEachMissingMasterOnce) {
  ASSERT_EQ(RunCli({"init", Path("fresh.db")}).status, 0);
  WriteFile(Path("games.csv"), TypedCsv());
  CliResult refused = RunCli({"import-games", Path("fresh.db"), Path("games.csv")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("登録されていないボウラー 1 件：「山田」\n"), std::string::npos)
      << refused.err;
  EXPECT_NE(refused.err.find("登録されていないセンター 2 件：「Ａボウル」、「Ｂレーン」\n"),
            std::string::npos);
  EXPECT_NE(refused.err.find("登録されていないレベル 2 件：「リーグ」、「練習」\n"),
            std::string::npos);
  EXPECT_NE(refused.err.find("取り込めない行が 6 行（18 件）あります"), std::string::npos);
  EXPECT_EQ(GameCount(Path("fresh.db")), 0);
}

TEST_F(GamesCsvCommandTest, UsageAndFiles) {
  std::string db = NewDb("db");
  EXPECT_EQ(RunCli({"import-games", db}).status, 2);
  EXPECT_EQ(RunCli({"import-games", db, "a.csv", "b.csv"}).status, 2);
  EXPECT_EQ(RunCli({"import-games", db, Path("a.csv"), "--force"}).status, 2);
  EXPECT_EQ(RunCli({"export-games"}).status, 2);
  EXPECT_EQ(RunCli({"export-games", db, "--year", "25"}).status, 2);
  CliResult missing = RunCli({"import-games", db, Path("none.csv")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("ファイルを開けません"), std::string::npos);
  WriteFile(Path("header.csv"), kHeader);
  CliResult no_db = RunCli({"import-games", Path("none.db"), Path("header.csv")});
  EXPECT_EQ(no_db.status, 1);
  EXPECT_FALSE(fs::exists(Path("none.db")));

  // The database is never written over by its own export.
  InsertWithSql(*Database::Open(db));
  std::string before = ReadFileBytes(db);
  CliResult over = RunCli({"export-games", db, db});
  EXPECT_EQ(over.status, 1);
  EXPECT_EQ(ReadFileBytes(db), before);

  // A file in neither UTF-8 nor code page 932, and one that is empty.
  WriteFile(Path("binary.csv"), std::string(kHeader) + "\x81\x20\xFF\xFE\r\n");
  CliResult binary = RunCli({"import-games", db, Path("binary.csv")});
  EXPECT_EQ(binary.status, 1);
  EXPECT_NE(binary.err.find("2 行目：文字コードが UTF-8 でも CP932 でもありません"),
            std::string::npos)
      << binary.err;
  WriteFile(Path("empty.csv"), "");
  CliResult empty = RunCli({"import-games", db, Path("empty.csv")});
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.err.find("1 行目：ファイルが空です"), std::string::npos);
}

TEST_F(GamesCsvCommandTest, AGameStoredOtherwiseThanTypedEntryStoresIsNamedOnExport) {
  std::string db = NewDb("db");
  InsertWithSql(*Database::Open(db));
  Database::Open(db)->ExecuteNative(
      "UPDATE Result_Data SET SecondFrame2 = '５' WHERE EntryNumber = 2");
  CliResult exported = RunCli({"export-games", db, Path("all.csv")});
  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.err,
            "取り込み直すと記録が変わるゲーム 1 件（書き出しました）：\n"
            "  山田 2025/05/03 Ａボウル リーグ 2 SecondFrame2：「５」は「／」になります\n");
  EXPECT_NE(exported.out.find("ゲーム 6 件を書き出しました"), std::string::npos);
}

TEST_F(GamesCsvCommandTest, ARowThatIsNoGameIsLeftOutOfTheExportAndNamed) {
  std::string db = NewDb("db");
  InsertWithSql(*Database::Open(db));
  Database::Open(db)->ExecuteNative(
      "UPDATE Result_Data SET SecondFrame1 = '11' WHERE EntryNumber = 2");
  CliResult exported = RunCli({"export-games", db, Path("left.csv")});
  EXPECT_EQ(exported.status, 3);
  EXPECT_NE(exported.err.find("読めないゲーム 1 件を除きました"), std::string::npos)
      << exported.err;
  EXPECT_NE(exported.err.find("SecondFrame1"), std::string::npos) << exported.err;
  std::string csv = ReadFileBytes(Path("left.csv"));
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 5 + 1);  // the memo of game 3 holds one
}

}  // namespace
}  // namespace lanereport::testing
