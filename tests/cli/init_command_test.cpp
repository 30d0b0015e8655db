#include <gtest/gtest.h>

#include <sstream>

#include "Commands.h"
#include "TempDir.h"
#include "database/DataBase.h"
#include "database/Database.h"
#include "database/Recordset.h"

namespace lanereport {
namespace {

int Run(std::vector<std::string> words, std::string& out, std::string& err) {
  words.insert(words.begin(), "lanereport");
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  std::ostringstream o, e;
  int status = cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), o, e);
  out = o.str();
  err = e.str();
  return status;
}

TEST(InitCommandTest, CreatesADatabaseAndRefusesAnExistingFile) {
  testing::TempDir dir;
  std::string out, err;
  std::string db_path = dir.File("x.db");
  EXPECT_EQ(Run({"init", db_path}, out, err), 0);
  auto db = OpenDataBase(db_path, kSuitePassword);
  ASSERT_NE(db, nullptr);
  for (const char* table : {"Bowler_Data", "Alley_Data", "Level_Data", "Result_Data",
                            "DataNumberControl", "S_SYSTEM", "S_OUTPUT"})
    EXPECT_TRUE(db->HasTable(table)) << table;
  db.reset();
  EXPECT_EQ(Run({"init", db_path}, out, err), 1);
  EXPECT_NE(err.find(db_path), std::string::npos);
  EXPECT_EQ(Run({"init"}, out, err), 2);
  EXPECT_EQ(Run({"no-such-command"}, out, err), 2);
}

}  // namespace
}  // namespace lanereport
