#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TempDir.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/Schema.h"
#include "import/ImportChecks.h"
#include "import/IsolatedImport.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;
const std::string kJetDir = std::string(LANEREPORT_TEST_DATA_DIR) + "/jet/";

int Column(const TableDef& def, std::string_view name) {
  for (std::size_t c = 0; c < def.columns.size(); ++c)
    if (def.columns[c].name == name) return static_cast<int>(c);
  ADD_FAILURE() << "no column " << name;
  return 0;
}

// Every row of every score table of the database at path goes through the checks again: an
// import may only have stored values that pass them.
void ExpectOnlyValidValues(const std::string& path, const std::string& what) {
  auto db = Database::Open(path);
  for (const TableDef& def : ScoreTables()) {
    auto rs = db->OpenRecordset(std::string("Select * From ") + def.name);
    std::vector<bool> present(def.columns.size(), true);
    for (; !rs->Eof(); rs->MoveNext()) {
      std::vector<Value> row;
      for (const ColumnDef& c : def.columns) row.push_back(rs->Field(c.name));
      RowCheck check = CheckImportedRow(def, row, present, *db);
      EXPECT_TRUE(check.notes.empty()) << what << ": " << check.notes.front();
    }
  }
}

// A finished open game: every frame "７" "２", so the running scores are 9, 18, … 90.
class GameRowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = CreateScoreDatabase(dir_.File("t.db"));
    Reset();
  }
  void Reset() {
    row_.assign(def_.columns.size(), Value());
    Set("EntryNumber", Value(12));
    Set("Bowler_Name", Value("小川　哲也"));
    Set("Alley_Name", Value("ABCボウル"));
    Set("Level_Name", Value("リーグ"));
    Set("Play_Date", Value("20250112"));
    Set("Game_Number", Value(2));
    static const char* const kFrames[] = {"First", "Second",  "Third",  "Fourth", "Fifth",
                                          "Sixth", "Seventh", "Eighth", "Ninth",  "Tenth"};
    for (int k = 0; k < 10; ++k) {
      Set(std::string(kFrames[k]) + "Frame1", Value("７"));
      Set(std::string(kFrames[k]) + "Frame2", Value("２"));
      Set(std::string(kFrames[k]) + "FrameScore", Value(9 * (k + 1)));
    }
    Set("TenthFrame3", Value(""));
    Set("Result_Memo", Value("メモ"));
    Set("PlayNumber", Value(0));
    Set("Handicap", Value(0));
  }
  void Set(const std::string& column, Value value) {
    row_[static_cast<std::size_t>(Column(def_, column))] = std::move(value);
  }
  const Value& At(const std::string& column) const {
    return row_[static_cast<std::size_t>(Column(def_, column))];
  }
  RowCheck Check() {
    std::vector<bool> present(def_.columns.size(), true);
    return CheckImportedRow(def_, row_, present, *db_);
  }

  testing::TempDir dir_;
  std::unique_ptr<Database> db_;
  const TableDef& def_ = ScoreTable("Result_Data");
  std::vector<Value> row_;
};

TEST_F(GameRowTest, AGameAsTheProgramWritesItPasses) {
  RowCheck check = Check();
  EXPECT_FALSE(check.leave_out);
  EXPECT_TRUE(check.notes.empty()) << check.notes.front();
  // Strikes and spares in their places, frame 10 with its bonus balls.
  for (int k = 1; k <= 9; ++k) {
    static const char* const kFrames[] = {"First", "Second",  "Third",  "Fourth", "Fifth",
                                          "Sixth", "Seventh", "Eighth", "Ninth"};
    Set(std::string(kFrames[k - 1]) + "Frame1", Value(""));
    Set(std::string(kFrames[k - 1]) + "Frame2", Value(k % 2 ? "×" : "Ｘ"));
    Set(std::string(kFrames[k - 1]) + "FrameScore", Value(30 * k));
  }
  Set("TenthFrame1", Value("×"));
  Set("TenthFrame2", Value("Ｘ"));
  Set("TenthFrame3", Value("×"));
  Set("TenthFrameScore", Value(300));
  check = Check();
  EXPECT_TRUE(check.notes.empty()) << check.notes.front();
  // An unfinished game keeps its undetermined score undetermined.
  Set("TenthFrame3", Value(""));
  Set("TenthFrameScore", Value(""));
  check = Check();
  EXPECT_TRUE(check.notes.empty()) << check.notes.front();
}

TEST_F(GameRowTest, RollsTheRollSettersWouldNotKeepLeaveTheGameOut) {
  struct Case {
    const char* column;
    const char* value;
  };
  for (Case c : {Case{"FirstFrame1", "7"},        // an ASCII digit another program wrote
                 Case{"SecondFrame2", "x"},       // a typed entry, not a mark
                 Case{"ThirdFrame1", "×"},        // a strike in a first roll of frames 1 to 9
                 Case{"FourthFrame2", "８"},      // more pins than the rack holds
                 Case{"FifthFrame2", "⑤"},        // a split mark on a second ball
                 Case{"TenthFrame3", "５"},       // a bonus ball the frame did not earn
                 Case{"SixthFrame1", "纆埠"}}) {  // garbage
    Reset();
    Set(c.column, Value(c.value));
    RowCheck check = Check();
    EXPECT_TRUE(check.leave_out) << c.column;
    ASSERT_FALSE(check.notes.empty()) << c.column;
    EXPECT_NE(check.notes[0].find(std::string(c.column) + "「" + c.value + "」"), std::string::npos)
        << check.notes[0];
    EXPECT_NE(check.notes[0].find("EntryNumber 12（小川　哲也 2025/01/12 第2ゲーム）"),
              std::string::npos)
        << check.notes[0];
    EXPECT_NE(check.notes[0].find("行を除きました"), std::string::npos) << check.notes[0];
  }
}

TEST_F(GameRowTest, AFrameScoreThatDisagreesWithTheRollsBecomesTheirs) {
  Set("FifthFrameScore", Value(-1977352003));
  Set("TenthFrameScore", Value(91));
  RowCheck check = Check();
  EXPECT_FALSE(check.leave_out);
  ASSERT_EQ(check.notes.size(), 2u);
  EXPECT_NE(check.notes[0].find("FifthFrameScore「-1977352003」"), std::string::npos)
      << check.notes[0];
  EXPECT_NE(check.notes[1].find("「90」にしました"), std::string::npos) << check.notes[1];
  EXPECT_EQ(At("FifthFrameScore"), Value(45));
  EXPECT_EQ(At("TenthFrameScore"), Value(90));
}

TEST_F(GameRowTest, KeyValuesThatCannotBeReadLeaveTheGameOut) {
  std::vector<std::pair<const char*, Value>> cases = {
      {"Bowler_Name", Value(std::string(256, 'x'))},
      {"Bowler_Name", Value("纆埠\uFFFD犺")},
      {"Alley_Name", Value(std::string(300, 'a'))},
      {"Play_Date", Value("20250230")},
      {"Play_Date", Value("2025/01/12")},
      {"Play_Date", Value("")},
      {"Game_Number", Value("abc")},
      {"Game_Number", Value(1.5)},
      {"EntryNumber", Value(1LL << 40)},
  };
  for (const auto& [column, value] : cases) {
    Reset();
    Set(column, value);
    RowCheck check = Check();
    EXPECT_TRUE(check.leave_out) << column << " " << value.Text();
    ASSERT_EQ(check.notes.size(), 1u) << column << " " << value.Text();
    EXPECT_NE(check.notes[0].find(std::string("：") + column + "「"), std::string::npos)
        << check.notes[0];
  }
  // 255 bytes are a name; 256 are not.
  Reset();
  std::string name;
  for (int i = 0; i < 127; ++i) name += "あ";
  Set("Bowler_Name", Value(name + "x"));
  EXPECT_TRUE(Check().notes.empty());
  Set("Bowler_Name", Value(name + "あ"));
  EXPECT_TRUE(Check().leave_out);
}

TEST_F(GameRowTest, OtherValuesThatCannotBeReadAreClearedAndShownSafely) {
  Set("Result_Memo", Value("\x1b[2J消えた\uFFFD"));
  Set("Handicap", Value(2.5));
  Set("PlayNumber", Value(std::int64_t{1} << 33));
  RowCheck check = Check();
  EXPECT_FALSE(check.leave_out);
  ASSERT_EQ(check.notes.size(), 3u);
  EXPECT_NE(check.notes[0].find("Result_Memo「\\x1B[2J消えた"), std::string::npos)
      << check.notes[0];
  EXPECT_EQ(check.notes[0].find('\x1b'), std::string::npos);
  EXPECT_NE(check.notes[0].find("空にしました"), std::string::npos);
  EXPECT_TRUE(At("Result_Memo").IsNull());
  EXPECT_TRUE(At("Handicap").IsNull());
  EXPECT_TRUE(At("PlayNumber").IsNull());
}

TEST(ImportChecksTest, MastersAndSettingsFollowTheirColumns) {
  testing::TempDir dir;
  auto db = CreateScoreDatabase(dir.File("t.db"));
  auto check = [&](const char* table, std::vector<std::pair<const char*, Value>> values) {
    const TableDef& def = ScoreTable(table);
    std::vector<Value> row(def.columns.size());
    std::vector<bool> present(def.columns.size(), false);
    for (auto& [column, value] : values) {
      row[static_cast<std::size_t>(Column(def, column))] = value;
      present[static_cast<std::size_t>(Column(def, column))] = true;
    }
    return CheckImportedRow(def, row, present, *db);
  };
  EXPECT_TRUE(check("Bowler_Data", {{"ID", Value(1)}, {"Name", Value("西村　誠")}}).notes.empty());
  EXPECT_TRUE(
      check("Bowler_Data", {{"ID", Value(1)}, {"Name", Value(std::string(256, 'n'))}}).leave_out);
  RowCheck maxim =
      check("Bowler_Data", {{"ID", Value(1)}, {"Name", Value("西村")}, {"Maxim", Value("\uFFFD")}});
  EXPECT_FALSE(maxim.leave_out);
  ASSERT_EQ(maxim.notes.size(), 1u);
  EXPECT_NE(maxim.notes[0].find("Bowler_Data ID 1（西村）：Maxim"), std::string::npos)
      << maxim.notes[0];
  RowCheck flag =
      check("Level_Data",
            {{"ID", Value(2)}, {"Name", Value("練習")}, {"CalculationTarget", Value("yes")}});
  EXPECT_FALSE(flag.leave_out);
  EXPECT_EQ(flag.notes.size(), 1u);
  EXPECT_TRUE(
      check("DataNumberControl", {{"DataID", Value("ResultData")}, {"DataNumber", Value("x")}})
          .leave_out);
  // A sheet's dates are a date or nothing.
  EXPECT_TRUE(check("S_OUTPUT", {{"ID", Value(1)},
                                 {"SheetName", Value("AVG")},
                                 {"Start_Date", Value("")},
                                 {"End_Date", Value("20251231")}})
                  .notes.empty());
  RowCheck date =
      check("S_OUTPUT",
            {{"ID", Value(1)}, {"SheetName", Value("AVG")}, {"Start_Date", Value("20251399")}});
  EXPECT_FALSE(date.leave_out);
  EXPECT_EQ(date.notes.size(), 1u);
}

// Jet files damaged on purpose, the same way every run: bytes of data pages flipped. Every
// import either refuses the file in one line, or writes only values that pass the checks and
// names each one it could not carry.
TEST(DamagedJetFilesTest, ImportsRefuseOrListEveryBadValue) {
  testing::TempDir dir;
  int refused = 0, listed = 0, clean = 0;
  for (const char* fixture : {"jet4-sample.mdb", "jet4-sample-later.mdb"}) {
    const std::string good = testing::ReadFileBytes(kJetDir + fixture);
    constexpr std::size_t kPage = 4096;
    std::vector<std::size_t> data_pages;
    for (std::size_t p = 3; p < good.size() / kPage; ++p)
      if (good[p * kPage] == 0x01) data_pages.push_back(p);
    ASSERT_GT(data_pages.size(), 10u);
    std::uint32_t seed = 20260209;
    auto next = [&seed] {
      seed = seed * 1664525u + 1013904223u;
      return seed >> 8;
    };
    for (int variant = 0; variant < 30; ++variant) {
      std::string bytes = good;
      std::size_t page = data_pages[next() % data_pages.size()];
      // The rows lie towards the end of a page; a few bytes among them are flipped.
      int flips = 1 + static_cast<int>(next() % 12);
      for (int f = 0; f < flips; ++f) {
        std::size_t at = page * kPage + kPage / 4 + next() % (kPage * 3 / 4);
        bytes[at] = static_cast<char>(bytes[at] ^ (1 + next() % 255));
      }
      const std::string what = std::string(fixture) + " variant " + std::to_string(variant);
      std::string mdb = dir.File("in.mdb");
      std::ofstream(mdb, std::ios::binary | std::ios::trunc) << bytes;
      std::string target = dir.File("out.db");
      try {
        std::optional<ImportReport> report = ImportMdb(mdb, target, {});
        ASSERT_TRUE(report) << what;
        ExpectOnlyValidValues(target, what);
        std::size_t named = 0;
        for (const std::string& note : report->notes)
          if (note.starts_with("正しくない値：")) ++named;
        EXPECT_EQ(named, report->values_failed) << what;
        EXPECT_LE(report->rows_failed * 2, report->rows_checked) << what;
        (report->values_failed > 0 ? listed : clean)++;
        fs::remove(target);
      } catch (const AppError& e) {
        ++refused;
        EXPECT_EQ(e.Description().find('\n'), std::string::npos) << what;
      }
      EXPECT_FALSE(fs::exists(target)) << what;
    }
  }
  // The damage reaches the values often enough for the checks to be seen at work.
  EXPECT_GT(listed, 0) << "refused " << refused << ", clean " << clean;
  EXPECT_GT(refused, 0) << "listed " << listed << ", clean " << clean;
}

// The rolls of a file written by a program that stores ASCII digits: most games fail, the
// file is refused as damaged; with only a few such rolls, those games are left out and named.
TEST(DamagedJetFilesTest, AFileWhereMostGamesFailIsRefused) {
  testing::TempDir dir;
  const std::string good = testing::ReadFileBytes(kJetDir + "jet4-sample.mdb");
  auto replaced = [&good](std::size_t limit) {
    std::string bytes = good;
    std::size_t done = 0;
    for (std::size_t i = 0; i + 1 < bytes.size() && done < limit; ++i) {
      auto lo = static_cast<unsigned char>(bytes[i]);
      if (static_cast<unsigned char>(bytes[i + 1]) == 0xFF && lo >= 0x11 && lo <= 0x19) {
        bytes[i] = static_cast<char>(lo - 0x11 + '1');
        bytes[i + 1] = 0;
        ++done;
      }
    }
    return bytes;
  };
  std::string mdb = dir.File("digits.mdb");
  std::ofstream(mdb, std::ios::binary) << replaced(std::string::npos);
  try {
    ImportMdb(mdb, dir.File("all.db"), {});
    FAIL() << "a file of wrong rolls was imported";
  } catch (const AppError& e) {
    EXPECT_NE(e.Description().find("壊れている"), std::string::npos) << e.Description();
    EXPECT_NE(e.Description().find(mdb), std::string::npos) << e.Description();
  }
  EXPECT_FALSE(fs::exists(dir.File("all.db")));

  std::ofstream(mdb, std::ios::binary | std::ios::trunc) << replaced(3);
  std::optional<ImportReport> report = ImportMdb(mdb, dir.File("few.db"), {});
  ASSERT_TRUE(report);
  EXPECT_GE(report->rows_failed, 1u);
  EXPECT_LE(report->rows_failed, 3u);
  ExpectOnlyValidValues(dir.File("few.db"), "few");
  auto db = Database::Open(dir.File("few.db"));
  auto rs = db->OpenRecordset("Select Count(*) As n From Result_Data");
  EXPECT_EQ(rs->Field("n").ToInt(), 883 - static_cast<long long>(report->rows_failed));
}

}  // namespace
}  // namespace lanereport
