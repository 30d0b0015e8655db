#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "TempDir.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/Schema.h"
#include "import/ImportRecord.h"
#include "import/IsolatedImport.h"
#include "import/MdbRefresh.h"
#include "ui/ProgressWindow.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;
const std::string kJetDir = std::string(LANEREPORT_TEST_DATA_DIR) + "/jet/";

std::vector<std::vector<Value>> Rows(Database& db, const std::string& table,
                                     const std::string& order = "") {
  auto rs =
      db.OpenRecordset("Select * From " + table + (order.empty() ? "" : " Order by " + order));
  std::vector<std::vector<Value>> rows;
  for (; !rs->Eof(); rs->MoveNext()) {
    std::vector<Value> row;
    for (const ColumnDef& c : ScoreTable(table).columns) row.push_back(rs->Field(c.name));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The bowler and date ("YYYY/MM/DD") of a game of a database, by its EntryNumber.
std::pair<std::string, std::string> GameAt(const std::string& db_path, int entry) {
  auto db = Database::Open(db_path);
  auto rs =
      db->OpenRecordset("Select * From Result_Data Where EntryNumber = " + std::to_string(entry));
  EXPECT_FALSE(rs->Eof()) << entry;
  std::string ymd = rs->Field("Play_Date").Text();
  return {rs->Field("Bowler_Name").Text(),
          ymd.substr(0, 4) + "/" + ymd.substr(4, 2) + "/" + ymd.substr(6, 2)};
}

// A progress window that stops or fails on demand: at the step-th counted step (counting steps
// of 1 and more), STOP is pressed or the call raises an engine error; fail_while_reading raises
// it from the first call made while the .mdb is read.
class OnDemandProgress : public ProgressWindow {
 public:
  void Message1(std::string_view) override {}
  void Message2(std::string_view) override {}
  void StartProgress(int, long maximum) override { this->maximum = maximum; }
  void CountProgress(int, long step) override {
    if (step == 0) {
      if (fail_while_reading) throw AppError(kErrEngine, "Test", "読み込み中に失敗しました");
      return;
    }
    ++steps;
    if (steps == fail_at) throw AppError(kErrEngine, "Test", "途中で失敗しました");
    if (steps == stop_at) stopped = true;
  }
  bool StopFlag() const override { return stopped; }

  long maximum = 0;
  int steps = 0;
  int stop_at = -1;
  int fail_at = -1;
  bool fail_while_reading = false;
  bool stopped = false;
};

// A .db imported from jet4-sample.mdb whose settings and sheet definitions were changed
// afterwards, beside a score.mdb that is the later file.
class MdbRefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mdb_ = dir_.File("score.mdb");
    db_ = dir_.File("score.db");
    fs::copy_file(kJetDir + "jet4-sample.mdb", mdb_);
    ASSERT_TRUE(ImportMdb(mdb_, db_, {}));
    {
      auto db = Database::Open(db_);
      db->ExecuteNative(
          "UPDATE S_SYSTEM SET SS_Contents = '#102030' WHERE SS_ID = 'CharacterColor'");
      db->ExecuteNative("UPDATE S_OUTPUT SET SheetName = '自分の表' WHERE ID = 1");
      db->ExecuteNative("DELETE FROM S_OUTPUT WHERE ID = 2");
      // A sheet made since the import drew its ID from the counter.
      db->ExecuteNative("UPDATE DataNumberControl SET DataNumber = 42 WHERE DataID = 'Sheets'");
    }
    fs::remove(mdb_);
    fs::copy_file(kJetDir + "jet4-sample-later.mdb", mdb_);
    bytes_ = testing::ReadFileBytes(db_);
  }

  testing::TempDir dir_;
  std::string mdb_;
  std::string db_;
  std::string bytes_;  // the .db before the refresh
};

TEST_F(MdbRefreshTest, LaterGamesComeInAndTheProgramsOwnTablesStay) {
  std::vector<std::vector<Value>> system_before, output_before;
  {
    auto db = Database::Open(db_);
    system_before = Rows(*db, "S_SYSTEM", "SS_ID");
    output_before = Rows(*db, "S_OUTPUT", "ID");
  }
  OnDemandProgress progress;
  std::optional<RefreshReport> report = RefreshFromMdb(mdb_, db_, {}, progress);
  ASSERT_TRUE(report);
  EXPECT_EQ(progress.steps, progress.maximum);
  EXPECT_TRUE(report->import.notes.empty()) << report->import.notes.front();

  auto refreshed = Database::Open(db_);
  auto later = Database::Open(kJetDir + "jet4-sample-later.db");
  // The suite's tables are the later file's, value for value, but for the counter of the
  // program's own sheet definitions, which stays the .db's.
  for (const std::string& table : RefreshedTables()) {
    std::string order = table == "Result_Data"         ? "EntryNumber"
                        : table == "DataNumberControl" ? "DataID"
                                                       : "ID";
    auto got = Rows(*refreshed, table, order);
    auto want = Rows(*later, table, order);
    if (table == "DataNumberControl") {
      auto sheets = [](const std::vector<Value>& row) { return row[0] == Value("Sheets"); };
      auto kept = std::find_if(got.begin(), got.end(), sheets);
      ASSERT_NE(kept, got.end());
      EXPECT_EQ((*kept)[1], Value(42));
      got.erase(kept);
      auto theirs = std::find_if(want.begin(), want.end(), sheets);
      ASSERT_NE(theirs, want.end());
      want.erase(theirs);
    }
    EXPECT_EQ(got, want) << table;
  }
  EXPECT_EQ(Rows(*refreshed, "Result_Data").size(), 883u + 66u - 2u);
  // The program's own tables are the .db's, with the changes made after the import.
  EXPECT_EQ(Rows(*refreshed, "S_SYSTEM", "SS_ID"), system_before);
  EXPECT_EQ(Rows(*refreshed, "S_OUTPUT", "ID"), output_before);
  EXPECT_NE(Rows(*refreshed, "S_OUTPUT", "ID"), Rows(*later, "S_OUTPUT", "ID"));

  // The record names the later file now.
  std::optional<SourceStamp> record = ReadImportRecord(*refreshed);
  ASSERT_TRUE(record);
  EXPECT_TRUE(SameSource(*record, StampOf(mdb_)));
  EXPECT_EQ(record->path, fs::absolute(mdb_).lexically_normal().string());

  std::map<std::string, TableChanges> tables;
  for (const TableChanges& t : report->tables) tables[t.table] = t;
  ASSERT_EQ(tables.size(), RefreshedTables().size());
  auto counts = [&](const std::string& t) {
    return std::vector<std::size_t>{tables[t].added, tables[t].removed, tables[t].changed};
  };
  EXPECT_EQ(counts("Result_Data"), (std::vector<std::size_t>{66, 2, 3}));
  EXPECT_EQ(counts("Bowler_Data"), (std::vector<std::size_t>{1, 0, 0}));
  EXPECT_EQ(counts("Alley_Data"), (std::vector<std::size_t>{1, 0, 0}));
  EXPECT_EQ(counts("Level_Data"), (std::vector<std::size_t>{0, 0, 0}));
  // BowlerData, AlleyData and ResultData moved on; Sheets is not the file's.
  EXPECT_EQ(counts("DataNumberControl"), (std::vector<std::size_t>{0, 0, 3}));

  // Games by bowler and date: the removed ones where they were, the changed ones where they are.
  std::map<std::pair<std::string, std::string>, GameChanges> games;
  std::size_t added = 0;
  for (const GameChanges& g : report->games) {
    games[{g.bowler, g.date}] = g;
    added += g.added;
  }
  EXPECT_EQ(added, 66u);
  for (int entry : {404, 869}) {
    auto at = GameAt(kJetDir + "jet4-sample.db", entry);
    EXPECT_GE(games[at].removed, 1u) << entry;
  }
  for (int entry : {10, 450, 800}) {
    auto at = GameAt(kJetDir + "jet4-sample-later.db", entry);
    EXPECT_GE(games[at].changed, 1u) << entry;
  }
  const std::pair<std::string, std::string> tanaka{"田中　健太", "2026/01/17"};
  EXPECT_GE(games[tanaka].added, 1u);
  // In date order.
  EXPECT_TRUE(
      std::is_sorted(report->games.begin(), report->games.end(),
                     [](const GameChanges& a, const GameChanges& b) { return a.date < b.date; }));
  EXPECT_EQ(Listing(dir_.Path()), (std::vector<std::string>{"score.db", "score.mdb"}));
}

TEST_F(MdbRefreshTest, AnOldDbWithoutTheRecordIsRefreshedAndGetsOne) {
  {
    auto db = Database::Open(db_);
    db->ExecuteNative("DROP TABLE S_IMPORT");
    EXPECT_FALSE(ReadImportRecord(*db));
  }
  OnDemandProgress progress;
  ASSERT_TRUE(RefreshFromMdb(mdb_, db_, {}, progress));
  auto db = Database::Open(db_);
  std::optional<SourceStamp> record = ReadImportRecord(*db);
  ASSERT_TRUE(record);
  EXPECT_TRUE(SameSource(*record, StampOf(mdb_)));
  EXPECT_EQ(Rows(*db, "Result_Data").size(), 947u);
}

TEST_F(MdbRefreshTest, AStoppedRefreshLeavesTheDbByteForByte) {
  // Every step but none: a run stopped at any of them writes nothing.
  int stops = 0;
  for (int stop_at = 1; stop_at <= 12; ++stop_at) {
    OnDemandProgress progress;
    progress.stop_at = stop_at;
    std::optional<RefreshReport> report = RefreshFromMdb(mdb_, db_, {}, progress);
    if (stop_at > progress.maximum) break;
    ++stops;
    EXPECT_FALSE(report) << stop_at;
    EXPECT_TRUE(testing::ReadFileBytes(db_) == bytes_) << "stopped at step " << stop_at;
    EXPECT_EQ(Listing(dir_.Path()), (std::vector<std::string>{"score.db", "score.mdb"})) << stop_at;
  }
  EXPECT_GE(stops, 5);
}

TEST_F(MdbRefreshTest, ARefreshFailingMidwayLeavesTheDbByteForByte) {
  OnDemandProgress reading;
  reading.fail_while_reading = true;
  EXPECT_THROW(RefreshFromMdb(mdb_, db_, {}, reading), AppError);
  EXPECT_TRUE(testing::ReadFileBytes(db_) == bytes_);
  EXPECT_EQ(Listing(dir_.Path()), (std::vector<std::string>{"score.db", "score.mdb"}));
  int failures = 0;
  for (int fail_at = 1; fail_at <= 12; ++fail_at) {
    OnDemandProgress progress;
    progress.fail_at = fail_at;
    try {
      RefreshFromMdb(mdb_, db_, {}, progress);
      // Past the last step the refresh ends well: the .db is the refreshed one now.
      EXPECT_GT(fail_at, progress.maximum) << "no failure at step " << fail_at;
      break;
    } catch (const AppError& e) {
      ++failures;
      EXPECT_EQ(e.Description(), "途中で失敗しました");
    }
    EXPECT_TRUE(testing::ReadFileBytes(db_) == bytes_) << "failed at step " << fail_at;
    EXPECT_EQ(Listing(dir_.Path()), (std::vector<std::string>{"score.db", "score.mdb"})) << fail_at;
  }
  EXPECT_GE(failures, 5);
}

TEST_F(MdbRefreshTest, RefusalsLeaveTheDbAsItWas) {
  // A file that is no Jet database, a missing one.
  std::ofstream(dir_.File("bad.mdb")) << "これはデータベースではありません";
  for (const std::string& source : {dir_.File("bad.mdb"), dir_.File("none.mdb")}) {
    OnDemandProgress progress;
    EXPECT_THROW(RefreshFromMdb(source, db_, {}, progress), AppError) << source;
    EXPECT_TRUE(testing::ReadFileBytes(db_) == bytes_);
  }
  fs::remove(dir_.File("bad.mdb"));
  // A database another program is writing: its journal lies beside it.
  std::ofstream(db_ + "-journal") << "x";
  OnDemandProgress busy;
  EXPECT_THROW(RefreshFromMdb(mdb_, db_, {}, busy), AppError);
  EXPECT_TRUE(testing::ReadFileBytes(db_) == bytes_);
  fs::remove(db_ + "-journal");
  // No database to refresh.
  OnDemandProgress none;
  EXPECT_THROW(RefreshFromMdb(mdb_, dir_.File("none.db"), {}, none), AppError);
  EXPECT_FALSE(fs::exists(dir_.File("none.db")));
  EXPECT_EQ(Listing(dir_.Path()), (std::vector<std::string>{"score.db", "score.mdb"}));
}

TEST(ImportRecordTest, StampOfAFileAndItsDigest) {
  testing::TempDir dir;
  std::ofstream(dir.File("abc")) << "abc";
  SourceStamp stamp = StampOf(dir.File("abc"));
  EXPECT_EQ(stamp.sha256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(stamp.size, 3);
  EXPECT_EQ(stamp.path, dir.File("abc"));
  EXPECT_THROW(StampOf(dir.File("missing")), AppError);
  EXPECT_THROW(StampOf(dir.Path()), AppError);

  SourceStamp other = stamp;
  EXPECT_TRUE(SameSource(stamp, other));
  other.path = "/elsewhere/abc";
  EXPECT_TRUE(SameSource(stamp, other));
  for (int field = 0; field < 3; ++field) {
    SourceStamp changed = stamp;
    if (field == 0) changed.size += 1;
    if (field == 1) changed.mtime_ns += 1;
    if (field == 2) changed.sha256[0] = changed.sha256[0] == '0' ? '1' : '0';
    EXPECT_FALSE(SameSource(stamp, changed)) << field;
  }
}

TEST(ImportRecordTest, RecordIsWrittenOnceAndReadBack) {
  testing::TempDir dir;
  auto db = CreateScoreDatabase(dir.File("s.db"));
  EXPECT_FALSE(ReadImportRecord(*db));
  SourceStamp stamp{"/data/score.mdb", 123, 456, std::string(64, 'a')};
  WriteImportRecord(*db, stamp);
  stamp.size = 124;
  WriteImportRecord(*db, stamp);
  std::optional<SourceStamp> read = ReadImportRecord(*db);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->path, "/data/score.mdb");
  EXPECT_EQ(read->size, 124);
  EXPECT_EQ(read->mtime_ns, 456);
  // A record of another shape, or a digest that is none, is no record.
  db->ExecuteNative("UPDATE S_IMPORT SET Source_SHA256 = 'xyz'");
  EXPECT_FALSE(ReadImportRecord(*db));
  db->ExecuteNative("DROP TABLE S_IMPORT");
  db->ExecuteNative("CREATE TABLE S_IMPORT (Other TEXT)");
  EXPECT_FALSE(ReadImportRecord(*db));
}

}  // namespace
}  // namespace lanereport
