#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "TempDir.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "import/ImportRecord.h"
#include "import/IsolatedImport.h"
#include "import/ScoreDatabaseChoice.h"

namespace lanereport {
namespace {

const std::string kJetDir = std::string(LANEREPORT_TEST_DATA_DIR) + "/jet/";

class ScoreDatabaseChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mdb_ = dir_.File("score.MDB");
    std::filesystem::copy_file(kJetDir + "jet4-sample.mdb", mdb_);
  }
  testing::TempDir dir_;
  std::string mdb_;
  testing::RecordingMessages messages_;
};

TEST_F(ScoreDatabaseChoiceTest, OwnDatabaseIsOpenedAsItIs) {
  EXPECT_EQ(ScoreDatabaseFor("/data/score.db", messages_), "/data/score.db");
  EXPECT_TRUE(messages_.asked.empty());
}

TEST_F(ScoreDatabaseChoiceTest, JetFileIsImportedBesideAfterYes) {
  std::string db = ScoreDatabaseFor(mdb_, messages_);
  EXPECT_EQ(db, dir_.File("score.db"));
  ASSERT_EQ(messages_.asked.size(), 1u);
  EXPECT_NE(messages_.asked[0].message1.find("score.MDB"), std::string::npos);
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_NE(OpenDataBase(db, kSuitePassword), nullptr);
  // The name of the pages' folders stays the file name without its extension.
  EXPECT_EQ(DbNameOf(mdb_), DbNameOf(db));
}

TEST_F(ScoreDatabaseChoiceTest, NoMeansNothingIsOpenedOrWritten) {
  messages_.answer = false;
  EXPECT_EQ(ScoreDatabaseFor(mdb_, messages_), "");
  EXPECT_FALSE(std::filesystem::exists(dir_.File("score.db")));
}

TEST_F(ScoreDatabaseChoiceTest, ExistingDbBesideIsOpenedWithoutAsking) {
  std::ofstream(dir_.File("score.db")) << "kept";
  EXPECT_EQ(ScoreDatabaseFor(mdb_, messages_), dir_.File("score.db"));
  EXPECT_TRUE(messages_.asked.empty());
  EXPECT_EQ(testing::ReadFileBytes(dir_.File("score.db")), "kept");
}

TEST_F(ScoreDatabaseChoiceTest, FailedImportIsShownAsAWarning) {
  std::string broken = dir_.File("broken.mdb");
  std::ofstream(broken) << "not a database";
  EXPECT_EQ(ScoreDatabaseFor(broken, messages_), "");
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_NE(messages_.shown[0].message2.find("broken.mdb"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("broken.db")));
}

long long Games(const std::string& db_path) {
  auto db = Database::Open(db_path);
  auto rs = db->OpenRecordset("Select Count(*) As n From Result_Data");
  return rs->Field("n").ToInt();
}

// The .db beside score.MDB made by an import of the earlier sample.
class ChangedSourceTest : public ScoreDatabaseChoiceTest {
 protected:
  void SetUp() override {
    ScoreDatabaseChoiceTest::SetUp();
    db_ = dir_.File("score.db");
    ASSERT_TRUE(ImportMdb(mdb_, db_, {}));
    with_progress_ = [this](const std::function<void(ProgressWindow&)>& work) {
      ++progress_runs_;
      work(progress_);
    };
  }
  // The suite wrote to the file: it is the later sample now.
  void SuiteWritesTheFile() {
    std::filesystem::remove(mdb_);
    std::filesystem::copy_file(kJetDir + "jet4-sample-later.mdb", mdb_);
  }
  std::string db_;
  testing::CountingProgress progress_;
  int progress_runs_ = 0;
  WithProgress with_progress_;
};

TEST_F(ChangedSourceTest, AnUnchangedFileOpensItsDbWithoutAQuestion) {
  auto before = testing::ReadFileBytes(db_);
  EXPECT_EQ(ScoreDatabaseFor(mdb_, messages_, with_progress_), db_);
  EXPECT_TRUE(messages_.asked.empty());
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(progress_runs_, 0);
  EXPECT_TRUE(testing::ReadFileBytes(db_) == before);
}

TEST_F(ChangedSourceTest, AChangedFileAsksAndYesBringsTheDbUpToDate) {
  SuiteWritesTheFile();
  EXPECT_EQ(ScoreDatabaseFor(mdb_, messages_, with_progress_), db_);
  ASSERT_EQ(messages_.asked.size(), 1u);
  const MessageText& q = messages_.asked[0];
  EXPECT_NE(q.message1.find("score.MDB"), std::string::npos) << q.message1;
  EXPECT_NE(q.message1.find("score.db"), std::string::npos) << q.message1;
  EXPECT_NE(q.message1.find(StampTimeText(StampOf(mdb_))), std::string::npos) << q.message1;
  EXPECT_NE(q.message2.find("score.db"), std::string::npos) << q.message2;
  EXPECT_EQ(progress_runs_, 1);
  EXPECT_GT(progress_.counted, 0);
  EXPECT_EQ(Games(db_), 947);
  // What changed is said once, as a completion message.
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].color, kCompletionColor);
  EXPECT_NE(messages_.shown[0].message2.find("追加 66 件"), std::string::npos)
      << messages_.shown[0].message2;
  // Up to date now: the next start asks nothing.
  messages_.asked.clear();
  EXPECT_EQ(ScoreDatabaseFor(mdb_, messages_, with_progress_), db_);
  EXPECT_TRUE(messages_.asked.empty());
}

TEST_F(ChangedSourceTest, NoOpensTheDbAsItIs) {
  SuiteWritesTheFile();
  auto before = testing::ReadFileBytes(db_);
  messages_.answer = false;
  EXPECT_EQ(ScoreDatabaseFor(mdb_, messages_, with_progress_), db_);
  EXPECT_EQ(messages_.asked.size(), 1u);
  EXPECT_EQ(progress_runs_, 0);
  EXPECT_TRUE(testing::ReadFileBytes(db_) == before);
  // Still different: asked again next time.
  EXPECT_EQ(ScoreDatabaseFor(mdb_, messages_, with_progress_), db_);
  EXPECT_EQ(messages_.asked.size(), 2u);
}

TEST_F(ChangedSourceTest, ADbWithoutARecordAsksAndAStoppedRefreshLeavesIt) {
  {
    auto db = Database::Open(db_);
    db->ExecuteNative("DROP TABLE S_IMPORT");
  }
  auto before = testing::ReadFileBytes(db_);
  progress_.stop_requested = true;
  EXPECT_EQ(ScoreDatabaseFor(mdb_, messages_, with_progress_), db_);
  ASSERT_EQ(messages_.asked.size(), 1u);
  EXPECT_NE(messages_.asked[0].message1.find("記録がありません"), std::string::npos)
      << messages_.asked[0].message1;
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_TRUE(testing::ReadFileBytes(db_) == before);
}

TEST_F(ChangedSourceTest, AFailedRefreshIsSaidAndTheDbOpensAsItWas) {
  std::ofstream(mdb_, std::ios::trunc) << "the suite left half a file";
  auto before = testing::ReadFileBytes(db_);
  EXPECT_EQ(ScoreDatabaseFor(mdb_, messages_, with_progress_), db_);
  EXPECT_EQ(messages_.asked.size(), 1u);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_NE(messages_.shown[0].message1.find("元のまま"), std::string::npos);
  EXPECT_NE(messages_.shown[0].message2.find("score.MDB"), std::string::npos)
      << messages_.shown[0].message2;
  EXPECT_TRUE(testing::ReadFileBytes(db_) == before);
}

}  // namespace
}  // namespace lanereport
