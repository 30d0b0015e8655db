#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliRunner.h"
#include "TempDir.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"

namespace lanereport {
namespace {

using testing::RunCli;

std::vector<std::string> GameRows(const std::string& path) {
  auto db = OpenDataBase(path, kSuitePassword);
  EXPECT_NE(db, nullptr);
  std::vector<std::string> rows;
  if (!db) return rows;
  auto rs = db->OpenRecordset("Select * From Result_Data Order By EntryNumber");
  for (; !rs->Eof(); rs->MoveNext()) {
    std::string line;
    for (const std::string& c : rs->Columns()) line += rs->Field(c).Text() + "|";
    rows.push_back(line);
  }
  return rows;
}

long Count(const std::string& path, const std::string& table) {
  auto db = OpenDataBase(path, kSuitePassword);
  return db ? db->OpenRecordset("Select * From " + table)->RecordCount() : -1;
}

TEST(SampleDbCommandTest, MakesAFilledDatabase) {
  testing::TempDir dir;
  std::string path = dir.File("x.db");
  auto made = RunCli(
      {"sample-db", path, "--bowlers", "3", "--years", "1", "--end-year", "2020", "--seed", "5"});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_NE(made.out.find("サンプルデータベースを作成しました"), std::string::npos);
  EXPECT_EQ(Count(path, "Bowler_Data"), 3);
  EXPECT_EQ(Count(path, "Alley_Data"), 4);
  EXPECT_EQ(Count(path, "Level_Data"), 3);
  EXPECT_EQ(Count(path, "S_SYSTEM"), 11);
  EXPECT_GT(Count(path, "S_OUTPUT"), 3);
  EXPECT_GT(Count(path, "Result_Data"), 300);
  // The counter of the games stands at the last number handed out.
  auto db = OpenDataBase(path, kSuitePassword);
  auto counter = db->OpenRecordset("Select * From DataNumberControl Where DataID = 'ResultData'");
  ASSERT_EQ(counter->RecordCount(), 1);
  EXPECT_EQ(counter->Field("DataNumber").ToInt(), Count(path, "Result_Data"));
}

TEST(SampleDbCommandTest, TheSameSeedGivesIdenticalGames) {
  testing::TempDir dir;
  const std::vector<std::string> options = {"--bowlers",  "2",    "--years", "1",
                                            "--end-year", "2019", "--seed",  "11"};
  for (const char* name : {"a.db", "b.db"}) {
    std::vector<std::string> words = {"sample-db", dir.File(name)};
    words.insert(words.end(), options.begin(), options.end());
    ASSERT_EQ(RunCli(words).status, 0);
  }
  auto a = GameRows(dir.File("a.db"));
  EXPECT_FALSE(a.empty());
  EXPECT_EQ(a, GameRows(dir.File("b.db")));
  ASSERT_EQ(RunCli({"sample-db", dir.File("c.db"), "--bowlers", "2", "--years", "1", "--end-year",
                    "2019", "--seed", "12"})
                .status,
            0);
  EXPECT_NE(a, GameRows(dir.File("c.db")));
}

TEST(SampleDbCommandTest, AnExistingFileIsRefused) {
  testing::TempDir dir;
  std::string path = dir.File("x.db");
  ASSERT_EQ(RunCli({"init", path}).status, 0);
  auto again = RunCli({"sample-db", path, "--bowlers", "1", "--years", "1"});
  EXPECT_EQ(again.status, 1);
  EXPECT_FALSE(again.err.empty());
  EXPECT_EQ(Count(path, "Bowler_Data"), 0);
}

TEST(SampleDbCommandTest, UsageErrors) {
  testing::TempDir dir;
  std::string path = dir.File("x.db");
  EXPECT_EQ(RunCli({"sample-db"}).status, 2);
  EXPECT_EQ(RunCli({"sample-db", path, "--bowlers"}).status, 2);
  EXPECT_EQ(RunCli({"sample-db", path, "--bowlers", "0"}).status, 2);
  EXPECT_EQ(RunCli({"sample-db", path, "--years", "two"}).status, 2);
  EXPECT_EQ(RunCli({"sample-db", path, "--colour", "red"}).status, 2);
  EXPECT_EQ(RunCli({"sample-db", path, path}).status, 2);
  // Nothing was made by a refused command line.
  EXPECT_FALSE(testing::ReadFileBytes(path).size() > 0);
}

}  // namespace
}  // namespace lanereport
