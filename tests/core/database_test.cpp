#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "ScoreDb.h"
#include "database/JetSql.h"
#include "database/Recordset.h"
#include "database/Schema.h"
#include "database/basDataBase.h"
#include "util/AppError.h"
#include "util/Make.h"

namespace lanereport {
namespace {

using testing::ReadFileBytes;
using testing::ScoreDbFixture;
using testing::TempDir;

// Rows of a reduced game table, put in with the engine's own writing path.
void AddGame(Database& db, const char* bowler, const char* date, int game, int score) {
  auto rs = db.OpenRecordset("Select * From Result_Data Where EntryNumber = -1");
  rs->AddNew();
  rs->SetField("Bowler_Name", Value(bowler));
  rs->SetField("Alley_Name", Value("Ａレーン"));
  rs->SetField("Level_Name", Value("League"));
  rs->SetField("Play_Date", Value(date));
  rs->SetField("Game_Number", Value(game));
  rs->SetField("TenthFrameScore", Value(std::to_string(score)));
  rs->Update();
}

std::vector<long long> Games(Database& db, const std::string& sql) {
  std::vector<long long> out;
  auto rs = db.OpenRecordset(sql);
  for (; !rs->Eof(); rs->MoveNext()) out.push_back(rs->Field("Game_Number").ToInt());
  return out;
}

class JetSqlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Database& db = fx_.Db();
    AddGame(db, "Yamada", "20040301", 1, 180);
    AddGame(db, "Yamada", "20040301", 2, 200);
    AddGame(db, "Yamada", "20040302", 3, 200);
    AddGame(db, "Yamada", "20040415", 4, 150);
    AddGame(db, "Suzuki", "20040301", 5, 200);
  }
  ScoreDbFixture fx_;
};

TEST_F(JetSqlTest, TopInsideParenthesisedSubqueryLimitsBeforeTheOuterFilter) {
  // The three newest of Yamada's games up to 2004/04/15, then only those scoring 200.
  std::string sql =
      "Select * From (\r\nSelect Top 3 * From Result_Data \r\nWhere \r\nBowler_Name = 'yamada'"
      "\r\nAnd \r\nPlay_Date <= '20040415' \r\n Order By Play_Date DESC, PlayNumber DESC, "
      "Game_Number DESC\r\n) Where TenthFrameScore = '200'\r\n";
  EXPECT_EQ(Games(fx_.Db(), sql), (std::vector<long long>{3, 2}));
  EXPECT_EQ(Games(fx_.Db(), "Select Top 2 * From Result_Data Order By Game_Number DESC"),
            (std::vector<long long>{5, 4}));
}

TEST_F(JetSqlTest, BetweenInSubqueryMaxAndBooleans) {
  Database& db = fx_.Db();
  db.Execute("Update Result_Data Set PlayNumber = 0");
  auto lv = db.OpenRecordset("Select * From Level_Data");
  lv->AddNew();
  lv->SetField("Name", Value("league"));
  lv->SetField("CalculationTarget", Value(true));
  lv->Update();
  EXPECT_EQ(Games(db,
                  "Select * From Result_Data Where Play_Date Between '20040301' And "
                  "'20040302' And Bowler_Name = 'Yamada' Order by Game_Number"),
            (std::vector<long long>{1, 2, 3}));
  // Level names compare ignoring letter case, inside the subquery too.
  EXPECT_EQ(Games(db,
                  "Select * From Result_Data Where Level_Name in (Select Name From "
                  "Level_Data Where CalculationTarget = True) Order by Game_Number")
                .size(),
            5u);
  EXPECT_TRUE(Games(db,
                    "Select * From Result_Data Where Level_Name in (Select Name From "
                    "Level_Data Where CalculationTarget = False)")
                  .empty());
  auto max = db.OpenRecordset(
      " Select \r\n       Max(Game_Number) \r\n From \r\n       Result_Data Where \r\n"
      "       Bowler_Name = 'Yamada'\r\n   And (Alley_Name <> 'x'\r\n    Or Level_Name <> 'y')");
  EXPECT_EQ(max->Field("Max(Game_Number)").ToInt(), 4);
}

TEST_F(JetSqlTest, TextOrderIgnoresLetterCase) {
  Database& db = fx_.Db();
  for (const char* name : {"beta", "Alpha", "gamma"}) {
    auto rs = db.OpenRecordset("Select * From Bowler_Data");
    rs->AddNew();
    rs->SetField("Name", Value(name));
    rs->Update();
  }
  auto rs = db.OpenRecordset("Select * From Bowler_Data Order by Name DESC");
  std::vector<std::string> names;
  for (; !rs->Eof(); rs->MoveNext()) names.push_back(rs->Field("name").Text());
  EXPECT_EQ(names, (std::vector<std::string>{"gamma", "beta", "Alpha"}));
}

TEST(JetSqlTranslateTest, LiteralsAreNeverTouched) {
  EXPECT_EQ(TranslateJetSql("Select * From T Where A = 'True Top 3' And B = True"),
            "Select * From T Where A = 'True Top 3' And B = 1");
  EXPECT_EQ(TranslateJetSql("Select * From T Where A = 'O''Neil'"),
            "Select * From T Where A = 'O''Neil'");
  EXPECT_EQ(UpdatableTable("Select * From Bowler_Data Where Name = 'a'"), "Bowler_Data");
  EXPECT_EQ(UpdatableTable("Select * From (Select Top 1 * From T)"), "");
  EXPECT_EQ(UpdatableTable(" Select \r\n       PlayNumber \r\n From T"), "");
}

TEST(JetSqlTranslateTest, ConditionLiteralsBecomeParametersColumnListLiteralsStay) {
  std::vector<std::string> values;
  EXPECT_EQ(TranslateJetSql("Select 'x' As Tag, Name From T Where A = 'O''Neil' And B = \"k\" "
                            "And C In (Select Top 2 D From U Where E = 'e')",
                            &values),
            "Select 'x' As Tag, Name From T Where A = ? And B = ? "
            "And C In (Select D From U Where E = ? LIMIT 2 )");
  EXPECT_EQ(values, (std::vector<std::string>{"O'Neil", "k", "e"}));
}

// Statements are kept by their text and run again with other values: every run must see its
// own values, the current rows and the current columns.
TEST_F(JetSqlTest, KeptStatementsRunWithTheirOwnValuesRowsAndColumns) {
  Database& db = fx_.Db();
  auto of = [](const char* bowler) {
    return std::string("Select * From Result_Data Where Bowler_Name = '") + bowler +
           "' Order by Game_Number";
  };
  EXPECT_EQ(Games(db, of("Yamada")), (std::vector<long long>{1, 2, 3, 4}));
  EXPECT_EQ(Games(db, of("suzuki")), (std::vector<long long>{5}));
  AddGame(db, "Suzuki", "20040302", 6, 190);
  EXPECT_EQ(Games(db, of("Suzuki")), (std::vector<long long>{5, 6}));
  // Far more texts than are kept, then the first again.
  for (int n = 0; n < 150; ++n)
    EXPECT_EQ(
        Games(db, "Select * From Result_Data Where Game_Number = " + std::to_string(n)).size(),
        n >= 1 && n <= 6 ? 1u : 0u);
  EXPECT_EQ(Games(db, of("Yamada")), (std::vector<long long>{1, 2, 3, 4}));
  // A kept statement holds nothing open: a transaction around reads and writes commits.
  db.BeginTrans();
  EXPECT_EQ(Games(db, of("Yamada")).size(), 4u);
  AddGame(db, "Yamada", "20040416", 7, 210);
  db.CommitTrans();
  EXPECT_EQ(Games(db, of("Yamada")).size(), 5u);
  // A column added after the text was kept shows in the next run.
  db.ExecuteNative("ALTER TABLE Result_Data ADD COLUMN Extra TEXT");
  auto rs = db.OpenRecordset(of("Yamada"));
  EXPECT_EQ(rs->Columns().back(), "Extra");
  rs->Edit();
  rs->SetField("Extra", Value("memo"));
  rs->Update();
  EXPECT_EQ(db.OpenRecordset(of("Yamada"))->Field("Extra").Text(), "memo");
}

TEST(RecordsetTest, NavigatesEditsAndDeletes) {
  ScoreDbFixture fx;
  Database& db = fx.Db();
  AddGame(db, "A", "20040101", 1, 100);
  AddGame(db, "A", "20040101", 2, 110);
  AddGame(db, "A", "20040101", 3, 120);
  auto rs = db.OpenRecordset("Select * From Result_Data Order by Game_Number");
  EXPECT_FALSE(rs->Bof());
  rs->MoveLast();
  EXPECT_EQ(rs->RecordCount(), 3);
  EXPECT_EQ(rs->Field("Game_Number").ToInt(), 3);
  rs->MoveFirst();
  rs->Edit();
  rs->SetField("Result_Memo", Value("メモ"));
  rs->Update();
  rs->MoveNext();
  rs->Delete();
  EXPECT_EQ(rs->RecordCount(), 2);
  EXPECT_THROW(rs->Field("Game_Number"), AppError);  // the deleted row is no longer current
  rs->MoveNext();
  EXPECT_EQ(rs->Field("Game_Number").ToInt(), 3);
  rs->MoveNext();
  EXPECT_TRUE(rs->Eof());
  EXPECT_THROW(rs->Field("NoSuchColumn"), AppError);

  auto again = db.OpenRecordset("Select * From Result_Data Order by Game_Number");
  EXPECT_EQ(again->Field("Result_Memo").Text(), "メモ");
  EXPECT_EQ(again->RecordCount(), 2);
  auto empty = db.OpenRecordset("Select * From Result_Data Where Game_Number = 9");
  EXPECT_TRUE(empty->Eof());
  EXPECT_TRUE(empty->Bof());
  EXPECT_EQ(empty->RecordCount(), 0);
  // A set that does not read whole rows of one table cannot be written.
  auto readonly = db.OpenRecordset("Select Max(Game_Number) From Result_Data");
  EXPECT_THROW(readonly->AddNew(), AppError);
  EXPECT_THROW(db.Execute("Update NoSuchTable Set A = 1"), AppError);
}

TEST(SchemaTest, TablesAndColumnsInOrder) {
  ScoreDbFixture fx;
  auto rs = fx.Db().OpenRecordset("Select * From Bowler_Data");
  const auto& columns = rs->Columns();
  ASSERT_EQ(columns.size(), 38u);
  EXPECT_EQ(columns.front(), "ID");
  EXPECT_EQ(columns[2], "AName");
  EXPECT_EQ(columns.back(), "PathBack");
  auto games = fx.Db().OpenRecordset("Select * From Result_Data");
  ASSERT_EQ(games->Columns().size(), 40u);
  EXPECT_EQ(games->Columns()[6], "FirstFrame1");
  EXPECT_EQ(games->Columns()[26], "TenthFrame3");
  EXPECT_EQ(games->Columns()[36], "TenthFrameScore");
  EXPECT_EQ(games->Columns()[39], "Handicap");
  auto sheets = fx.Db().OpenRecordset("Select * From S_OUTPUT");
  ASSERT_EQ(sheets->Columns().size(), 46u);
  EXPECT_EQ(sheets->Columns()[8], "Sex");
  EXPECT_EQ(sheets->Columns()[45], "MonthAvg");
}

TEST(OpenDataBaseTest, RefusesWhatIsNotAScoreDatabase) {
  TempDir dir;
  EXPECT_EQ(OpenDataBase(dir.File("missing.db"), kSuitePassword), nullptr);
  MakeFile(dir.File("text.db"), "this is not a database at all, just some text in a file...");
  EXPECT_EQ(OpenDataBase(dir.File("text.db"), kSuitePassword), nullptr);
  // A database of another program: no bowler, centre, level or game tables.
  {
    auto other = Database::Create(dir.File("other.db"));
    other->ExecuteNative("CREATE TABLE Customers (Name TEXT)");
  }
  EXPECT_EQ(OpenDataBase(dir.File("other.db"), kSuitePassword), nullptr);
  // A score database whose pages were damaged.
  CreateScoreDatabase(dir.File("damaged.db")).reset();
  std::string bytes = ReadFileBytes(dir.File("damaged.db"));
  for (std::size_t i = 100; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0xA5);
  MakeFile(dir.File("damaged.db"), bytes);
  EXPECT_EQ(OpenDataBase(dir.File("damaged.db"), kSuitePassword), nullptr);
}

TEST(OpenDataBaseTest, MakesTheFileWritableAndAddsTheProgramsOwnTables) {
  TempDir dir;
  std::string path = dir.File("score.db");
  {
    auto db = CreateScoreDatabase(path);
    db->ExecuteNative("DROP TABLE S_SYSTEM");
    db->ExecuteNative("DROP TABLE S_OUTPUT");
    db->ExecuteNative("DROP TABLE DataNumberControl");
  }
  ::chmod(path.c_str(), 0444);
  auto db = OpenDataBase(path, kSuitePassword);
  ASSERT_NE(db, nullptr);
  struct stat st {};
  ::stat(path.c_str(), &st);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
  EXPECT_TRUE(db->HasTable("S_SYSTEM"));
  EXPECT_TRUE(db->HasTable("S_OUTPUT"));
  EXPECT_TRUE(db->HasTable("DataNumberControl"));
}

TEST(DataBaseTest, QuotingAndName) {
  EXPECT_EQ(SqlQuote(" O'Neil "), "'O''Neil'");
  EXPECT_EQ(SqlQuote(""), "''");
  EXPECT_EQ(DbNameOf("/data/score.db"), "score");
  EXPECT_EQ(DbNameOf("/data/ZepaMasters.mdb"), "ZepaMasters");
  TempDir dir;
  CreateScoreDatabase(dir.File("x.db")).reset();
  EXPECT_THROW(CreateScoreDatabase(dir.File("x.db")), AppError);
}

}  // namespace
}  // namespace lanereport
