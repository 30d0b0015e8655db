#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "FakeWindows.h"
#include "TempDir.h"
#include "database/Database.h"
#include "database/basDataBase.h"
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

}  // namespace
}  // namespace lanereport
