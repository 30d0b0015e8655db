#include <gtest/gtest.h>

#include "CliRunner.h"
#include "TempDir.h"
#include "database/Database.h"
#include "database/basDataBase.h"

namespace lanereport {
namespace {

using testing::RunCli;

TEST(InitCommandTest, CreatesADatabaseAndRefusesAnExistingFile) {
  testing::TempDir dir;
  std::string db_path = dir.File("x.db");
  EXPECT_EQ(RunCli({"init", db_path}).status, 0);
  auto db = OpenDataBase(db_path, kSuitePassword);
  ASSERT_NE(db, nullptr);
  for (const char* table : {"Bowler_Data", "Alley_Data", "Level_Data", "Result_Data",
                            "DataNumberControl", "S_SYSTEM", "S_OUTPUT"})
    EXPECT_TRUE(db->HasTable(table)) << table;
  db.reset();
  auto again = RunCli({"init", db_path});
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find(db_path), std::string::npos);
  EXPECT_EQ(RunCli({"init"}).status, 2);
  EXPECT_EQ(RunCli({"no-such-command"}).status, 2);
}

}  // namespace
}  // namespace lanereport
