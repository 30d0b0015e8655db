#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliSample.h"
#include "database/WindowSettings.h"
#include "database/clsS_SYSTEM.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

using testing::CliResult;
using testing::ReadFileBytes;
using testing::RunCli;

// The sample database has no template setting. The commands that only read the database fill
// in the default template for their run and leave the file as it was, byte for byte.
class ReadOnlyCommandsTest : public testing::CliSampleTest {
 protected:
  void SetUp() override {
    db_ = Db();
    ASSERT_EQ(StoredTemplate(), "");
    before_ = ReadFileBytes(db_);
    ASSERT_FALSE(before_.empty());
  }

  // The stored template setting, "" when it is empty or not there.
  std::string StoredTemplate() {
    std::unique_ptr<Database> db = OpenDataBase(db_, kSuitePassword);
    EXPECT_NE(db, nullptr);
    clsS_SYSTEM record(*db);
    try {
      record.SsId("OutSheet");
      record.Load();
      return record.SsContents();
    } catch (const AppError&) {
      return "";
    }
  }

  void ExpectUnchanged(const CliResult& run) {
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(ReadFileBytes(db_) == before_) << "the database file changed";
    EXPECT_EQ(StoredTemplate(), "");
  }

  std::string db_;
  std::string before_;
};

TEST_F(ReadOnlyCommandsTest, SettingsShowTheDefaultTemplateWithoutStoringIt) {
  CliResult shown = RunCli({"settings", db_});
  ExpectUnchanged(shown);
  EXPECT_NE(shown.out.find("\nOutSheet=" + DefaultTemplatePath() + "\n"), std::string::npos)
      << shown.out;
}

TEST_F(ReadOnlyCommandsTest, SettingsWithAChangeStoreTheDefaultTemplateToo) {
  CliResult changed = RunCli({"settings", db_, "LinkPath=http://example.com/"});
  ASSERT_EQ(changed.status, 0) << changed.err;
  EXPECT_EQ(StoredTemplate(), DefaultTemplatePath());
}

TEST_F(ReadOnlyCommandsTest, WorkbookUsesTheDefaultTemplateWithoutStoringIt) {
  CliResult made = RunCli({"workbook", db_, "--out", Path("book")});
  ExpectUnchanged(made);
  EXPECT_NE(made.out.find("ボウラー情報を作成しました"), std::string::npos) << made.out;
}

TEST_F(ReadOnlyCommandsTest, BulkUsesTheDefaultTemplateWithoutStoringIt) {
  CliResult made = RunCli({"bulk", db_, "--year", "2025", "--out", Path("bulk")});
  ExpectUnchanged(made);
  EXPECT_EQ(made.err.find("テンプレート"), std::string::npos) << made.err;
  EXPECT_TRUE(std::filesystem::exists(Path("bulk/score2025/index.html")));
}

TEST_F(ReadOnlyCommandsTest, PageCommandsLeaveTheDatabaseAsItWas) {
  Bowler b = Bowlers().at(0);
  ExpectUnchanged(RunCli({"score-pages", db_, "--bowler", b.name, "--from", "2025/03/01", "--to",
                          "2025/03/31", "--out", Path("scores")}));
  ExpectUnchanged(RunCli({"monthly-pages", db_, "--bowler", b.name, "--from", "2025/01", "--to",
                          "2025/03", "--out", Path("monthly")}));
  ExpectUnchanged(RunCli({"index-pages", db_, "--year", "2025", "--out", Path("index")}));
}

}  // namespace
}  // namespace lanereport
