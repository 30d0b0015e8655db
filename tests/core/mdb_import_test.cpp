#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TempDir.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/Schema.h"
#include "import/IsolatedImport.h"
#include "import/JetReader.h"
#include "import/MdbImport.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

const std::string kJetDir = std::string(LANEREPORT_TEST_DATA_DIR) + "/jet/";

std::vector<std::vector<Value>> Rows(Database& db, const std::string& table) {
  auto rs = db.OpenRecordset("Select * From " + table);
  std::vector<std::vector<Value>> rows;
  for (; !rs->Eof(); rs->MoveNext()) {
    std::vector<Value> row;
    for (const std::string& c : rs->Columns()) row.push_back(rs->Field(c));
    rows.push_back(std::move(row));
  }
  return rows;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The names in the folder, so a test sees every file an import left behind.
std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(MdbImportTest, Jet4SampleGivesTheDatabaseItWasMadeFrom) {
  testing::TempDir dir;
  std::string target = dir.File("jet4-sample.db");
  std::optional<ImportReport> report = ImportMdb(kJetDir + "jet4-sample.mdb", target, {});
  ASSERT_TRUE(report);
  EXPECT_EQ(report->jet_version, 4);
  EXPECT_EQ(report->text_encoding, "UCS-2");
  EXPECT_TRUE(report->notes.empty()) << report->notes.front();
  auto imported = Database::Open(target);
  auto original = Database::Open(kJetDir + "jet4-sample.db");
  ASSERT_EQ(report->rows.size(), ScoreTables().size());
  for (std::size_t t = 0; t < ScoreTables().size(); ++t) {
    const std::string name = ScoreTables()[t].name;
    EXPECT_EQ(report->rows[t].first, name);
    auto want = Rows(*original, name);
    EXPECT_EQ(report->rows[t].second, want.size()) << name;
    // Value for value, type included (an integer 5 is not the text "5"), in the same order.
    EXPECT_EQ(Rows(*imported, name), want) << name;
  }
  EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"jet4-sample.db"});
}

TEST(MdbImportTest, ExistingTargetIsRefusedAndLeftAsItWas) {
  testing::TempDir dir;
  std::string target = dir.File("x.db");
  WriteBytes(target, "mine");
  EXPECT_THROW(ImportMdb(kJetDir + "jet4-sample.mdb", target, {}), AppError);
  EXPECT_EQ(testing::ReadFileBytes(target), "mine");
  EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"x.db"});
}

TEST(MdbImportTest, DamagedFilesAreRefusedAndWriteNothing) {
  testing::TempDir dir;
  const std::string good = testing::ReadFileBytes(kJetDir + "jet4-sample.mdb");
  std::vector<std::pair<std::string, std::string>> cases = {
      {"empty", ""},
      {"text", "これはデータベースではありません\n"},
      {"sqlite", testing::ReadFileBytes(kJetDir + "jet4-sample.db")},
  };
  for (std::size_t cut : {100u, 4096u, 3 * 4096u, 20000u, 40 * 4096u, 90 * 4096u, 400000u})
    cases.push_back({"cut at " + std::to_string(cut), good.substr(0, cut)});
  // The catalog's definition page, a table definition and data pages overwritten.
  for (std::size_t page : {2u, 3u, 40u, 60u, 80u}) {
    std::string flipped = good;
    for (std::size_t i = page * 4096 + 8; i < page * 4096 + 4096; i += 7)
      flipped[i] = static_cast<char>(~flipped[i]);
    cases.push_back({"flipped page " + std::to_string(page), flipped});
  }
  int refused = 0;
  for (const auto& [what, bytes] : cases) {
    std::string mdb = dir.File("in.mdb");
    WriteBytes(mdb, bytes);
    std::string target = dir.File("out.db");
    try {
      ImportMdb(mdb, target, {});
      // A flipped data page may still read; then the import must have written a whole file.
      EXPECT_NO_THROW(Database::Open(target)) << what;
      std::filesystem::remove(target);
    } catch (const AppError& e) {
      ++refused;
      EXPECT_NE(e.Description().find(mdb), std::string::npos) << what << ": " << e.Description();
      EXPECT_EQ(e.Description().find('\n'), std::string::npos) << what;
    }
    EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"in.mdb"}) << what;
  }
  // Everything but the flipped data pages is refused.
  EXPECT_GE(refused, static_cast<int>(cases.size()) - 3);
}

TEST(MdbImportTest, Jet3FileWithoutTheScoreTablesIsRefused) {
  testing::TempDir dir;
  try {
    ImportMdb(kJetDir + "jet3-cp932.mdb", dir.File("x.db"), {});
    FAIL() << "imported a file without the score tables";
  } catch (const AppError& e) {
    EXPECT_NE(e.Description().find("Bowler_Data"), std::string::npos) << e.Description();
  }
  EXPECT_TRUE(Listing(dir.Path()).empty());
}

TEST(MdbImportTest, PasswordGivenMustMatchTheHeader) {
  testing::TempDir dir;
  ImportOptions wrong;
  wrong.password = "XXXX";
  EXPECT_THROW(ImportMdb(kJetDir + "jet4-sample.mdb", dir.File("a.db"), wrong), AppError);
  EXPECT_TRUE(Listing(dir.Path()).empty());
  ImportOptions right;
  right.password = "KMRT";
  EXPECT_TRUE(ImportMdb(kJetDir + "jet4-sample.mdb", dir.File("a.db"), right));
}

TEST(MdbImportTest, StoppedImportWritesNothing) {
  testing::TempDir dir;
  auto report = ImportMdb(kJetDir + "jet4-sample.mdb", dir.File("a.db"), {}, [] { return true; });
  EXPECT_FALSE(report);
  EXPECT_TRUE(Listing(dir.Path()).empty());
}

TEST(MdbImportTest, DefaultTargetIsTheDbBeside) {
  EXPECT_EQ(DefaultImportTarget("/data/score.mdb"), "/data/score.db");
  EXPECT_EQ(DefaultImportTarget("/data/SCORE.MDB"), "/data/SCORE.db");
  EXPECT_EQ(DefaultImportTarget("score"), "score.db");
  EXPECT_EQ(DefaultImportTarget("/data.v2/score"), "/data.v2/score.db");
}

// A Jet table built in memory, as the reader gives it.
JetTable Table(std::string name, std::vector<std::string> columns,
               std::vector<std::vector<Value>> rows) {
  JetTable t;
  t.name = std::move(name);
  for (auto& c : columns) t.columns.push_back({std::move(c), 0, 0, 0, 0});
  t.rows = std::move(rows);
  return t;
}

class WriteScoreTableTest : public ::testing::Test {
 protected:
  void SetUp() override { db_ = Database::Create(dir_.File("t.db")); }
  testing::TempDir dir_;
  std::unique_ptr<Database> db_;
  ImportReport report_;
};

TEST_F(WriteScoreTableTest, ColumnsAreMatchedByNameIgnoringCaseNotByPosition) {
  JetTable jet = Table("level_data", {"calculationtarget", "NAME", "fcolor", "Extra", "id"},
                       {{Value(1), Value("リーグ"), Value("#000000"), Value("x"), Value(7)}});
  WriteScoreTable(ScoreTable("Level_Data"), &jet, *db_, report_);
  auto rs = db_->OpenRecordset("Select * From Level_Data");
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->Field("ID"), Value(7));
  EXPECT_EQ(rs->Field("Name"), Value("リーグ"));
  EXPECT_EQ(rs->Field("FColor"), Value("#000000"));
  EXPECT_EQ(rs->Field("CalculationTarget"), Value(1));
  EXPECT_TRUE(rs->Field("Number").IsNull());  // missing: left empty
  ASSERT_EQ(report_.rows.size(), 1u);
  EXPECT_EQ(report_.rows[0], (std::pair<std::string, std::size_t>{"Level_Data", 1}));
  ASSERT_EQ(report_.notes.size(), 2u);
  EXPECT_NE(report_.notes[0].find("Level_Data.Number"), std::string::npos) << report_.notes[0];
  EXPECT_NE(report_.notes[1].find("level_data.Extra"), std::string::npos) << report_.notes[1];
}

TEST_F(WriteScoreTableTest, FrameScoresKeepAnUndeterminedScoreUndeterminedAndFollowTheRolls) {
  // Frame 1 is "７" "２" (9), the rest not bowled yet.
  JetTable jet = Table(
      "Result_Data",
      {"EntryNumber", "FirstFrame1", "FirstFrame2", "FirstFrameScore", "SecondFrameScore",
       "ThirdFrameScore", "TenthFrameScore"},
      {{Value(1), Value("７"), Value("２"), Value("9"), Value(" "), Value(nullptr), Value("")},
       {Value(2), Value("７"), Value("２"), Value(9.0), Value(""), Value("abc"), Value(300)}});
  WriteScoreTable(ScoreTable("Result_Data"), &jet, *db_, report_);
  auto rs = db_->OpenRecordset("Select * From Result_Data");
  EXPECT_EQ(rs->Field("FirstFrameScore"), Value(9));  // a text of digits becomes the number
  EXPECT_EQ(rs->Field("SecondFrameScore"), Value(""));
  EXPECT_EQ(rs->Field("ThirdFrameScore"), Value(""));
  EXPECT_EQ(rs->Field("TenthFrameScore"), Value(""));
  // A column the file lacks is left as it is missing, not made a score of 0.
  EXPECT_TRUE(rs->Field("FourthFrameScore").IsNull());
  rs->MoveNext();
  EXPECT_EQ(rs->Field("FirstFrameScore"), Value(9));
  // What is no score, or not the score of the rolls, becomes the rolls' own (undetermined).
  EXPECT_EQ(rs->Field("ThirdFrameScore"), Value(""));
  EXPECT_EQ(rs->Field("TenthFrameScore"), Value(""));
  EXPECT_EQ(report_.values_failed, 2u);
  EXPECT_EQ(report_.rows_failed, 1u);
  EXPECT_EQ(report_.rows_checked, 2u);
  std::vector<std::string> wrong;
  for (const std::string& note : report_.notes)
    if (note.starts_with("正しくない値：")) wrong.push_back(note);
  ASSERT_EQ(wrong.size(), 2u);
  EXPECT_NE(wrong[0].find("EntryNumber 2"), std::string::npos) << wrong[0];
  EXPECT_NE(wrong[0].find("ThirdFrameScore「abc」"), std::string::npos) << wrong[0];
  EXPECT_NE(wrong[1].find("TenthFrameScore「300」"), std::string::npos) << wrong[1];
}

TEST_F(WriteScoreTableTest, TextColumnsTakeRealsExactlyAndNotesNameChangedValues) {
  JetTable jet = Table("S_SYSTEM", {"SS_ID", "SS_Contents"},
                       {{Value("a"), Value(0.1)}, {Value("b"), Value(20250101)}});
  // Texts with replaced characters are each named by the checks (ImportChecksTest), not counted.
  jet.columns[1].replaced_text = 2;
  jet.columns[1].dropped = 1;
  WriteScoreTable(ScoreTable("S_SYSTEM"), &jet, *db_, report_);
  auto rs = db_->OpenRecordset("Select * From S_SYSTEM");
  EXPECT_EQ(rs->Field("SS_Contents"), Value("0.1"));
  rs->MoveNext();
  EXPECT_EQ(rs->Field("SS_Contents"), Value("20250101"));
  ASSERT_EQ(report_.notes.size(), 1u);
  EXPECT_NE(report_.notes[0].find("S_SYSTEM.SS_Contents"), std::string::npos);
  EXPECT_NE(report_.notes[0].find("1 件"), std::string::npos) << report_.notes[0];
}

TEST_F(WriteScoreTableTest, MissingTableIsMadeEmptyAndNoted) {
  WriteScoreTable(ScoreTable("S_OUTPUT"), nullptr, *db_, report_);
  EXPECT_TRUE(db_->HasTable("S_OUTPUT"));
  EXPECT_EQ(report_.rows[0].second, 0u);
  ASSERT_EQ(report_.notes.size(), 1u);
  EXPECT_NE(report_.notes[0].find("S_OUTPUT"), std::string::npos);
}

TEST(MatchScoreTablesTest, TablesMatchIgnoringCaseAndExtraOnesAreNamed) {
  ImportReport report;
  auto found = MatchScoreTables(
      {"BOWLER_DATA", "alley_data", "Level_Data", "result_data", "Other", "s_system"}, "x.mdb",
      report);
  ASSERT_EQ(found.size(), ScoreTables().size());
  EXPECT_EQ(found[0], "BOWLER_DATA");
  EXPECT_EQ(found[3], "result_data");
  EXPECT_EQ(found[4], "");  // DataNumberControl
  EXPECT_EQ(found[5], "s_system");
  ASSERT_EQ(report.notes.size(), 1u);
  EXPECT_NE(report.notes[0].find("Other"), std::string::npos);
  EXPECT_THROW(MatchScoreTables({"Bowler_Data", "Alley_Data", "Level_Data"}, "x.mdb", report),
               AppError);
}

}  // namespace
}  // namespace lanereport
