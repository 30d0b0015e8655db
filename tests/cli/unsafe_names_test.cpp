#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliSample.h"
#include "XlsxTemplate.h"
#include "database/Database.h"
#include "database/Value.h"
#include "database/basDataBase.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;
using testing::CliResult;
using testing::RunCli;

// Stored values that must never become a path: the database is shared with other programs and
// may hold anything.
const std::vector<std::string> kHostileNames = {
    "../../../escaped", "/tmp/abs", "a/b", "", ".", "..", "a\tb", std::string(300, 'n')};

class UnsafeNamesTest : public testing::CliSampleTest {
 protected:
  // The output folder lies deep in the test's folder, so a page written "../../../" above it
  // still lands inside the test's folder, where Files() finds it.
  std::string Out() { return Path("a/b/c/out"); }

  void Store(const std::string& sql, const std::vector<Value>& values) {
    std::unique_ptr<Database> db = OpenDataBase(Db(), kSuitePassword);
    ASSERT_NE(db, nullptr);
    db->Write(sql, values);
  }
  void SetAname(const std::string& bowler, const std::string& aname) {
    Store("UPDATE Bowler_Data SET Aname = ? WHERE Name = ?", {aname, bowler});
  }
  // Every file of the test's folder but the database.
  std::set<std::string> Written() {
    std::set<std::string> files = Files(dir_.Path());
    files.erase("score.db");
    return files;
  }
};

TEST_F(UnsafeNamesTest, ABowlerWhoseAnameCannotBeAFolderGetsNoPageOfAnyKind) {
  const Bowler bowler = Bowlers().front();
  for (const std::string& aname : kHostileNames) {
    SCOPED_TRACE(aname);
    SetAname(bowler.name, aname);
    CliResult score = RunCli({"score-pages", Db(), "--bowler", bowler.name, "--from", "2025/01/01",
                              "--to", "2025/12/31", "--out", Out()});
    EXPECT_EQ(score.status, 1) << score.err;
    EXPECT_NE(score.err.find("ボウラー「" + bowler.name + "」のフォルダ名"), std::string::npos)
        << score.err;
    EXPECT_NE(score.err.find("はファイル名に使えません"), std::string::npos) << score.err;
    EXPECT_EQ(score.out.find("スコア表を作成しました"), std::string::npos);

    CliResult monthly = RunCli({"monthly-pages", Db(), "--bowler", bowler.name, "--from", "2025/01",
                                "--to", "2025/12", "--out", Out()});
    EXPECT_EQ(monthly.status, 1) << monthly.err;
    EXPECT_NE(monthly.err.find("ボウラー「" + bowler.name + "」"), std::string::npos);

    CliResult profile =
        RunCli({"profile-pages", Db(), "--dir", Path("a/b/c/profiles"), "--bowler", bowler.name});
    EXPECT_EQ(profile.status, 1) << profile.err;
    EXPECT_NE(profile.err.find("ボウラー「" + bowler.name + "」"), std::string::npos);

    std::set<std::string> written = Written();
    EXPECT_TRUE(written.empty()) << *written.begin();
  }
}

TEST_F(UnsafeNamesTest, BulkAndProfileRunsSkipTheBowlerAndMakeTheOthers) {
  const std::vector<Bowler> bowlers = Bowlers();
  ASSERT_GE(bowlers.size(), 2u);
  SetAname(bowlers[0].name, "../../../escaped");

  CliResult bulk = RunCli({"bulk", Db(), "--year", "2025", "--out", Out()});
  EXPECT_EQ(bulk.status, 0) << bulk.err;
  EXPECT_NE(bulk.err.find("ボウラー「" + bowlers[0].name + "」のフォルダ名「../../../escaped」"),
            std::string::npos)
      << bulk.err;
  std::set<std::string> expected;
  for (std::size_t i = 1; i < bowlers.size(); ++i) {
    for (bool monthly : {true, false}) {
      std::set<std::string> pages = ExpectedPages(bowlers[i], "20250101", "20251231", monthly);
      expected.insert(pages.begin(), pages.end());
    }
    // The bulk run ends with each published bowler's year page.
    expected.insert("score2025/" + bowlers[i].aname + "/index.html");
  }
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(BowlerPages(Files(Out())), expected);

  CliResult profiles = RunCli({"profile-pages", Db(), "--dir", Path("a/b/c/profiles")});
  EXPECT_EQ(profiles.status, 0) << profiles.err;
  EXPECT_NE(profiles.err.find("ボウラー「" + bowlers[0].name + "」"), std::string::npos);
  std::set<std::string> profile_files = Files(Path("a/b/c/profiles"));
  EXPECT_TRUE(profile_files.count(bowlers[1].aname + ".html"));
  EXPECT_TRUE(profile_files.count("profiles.js"));

  // Nothing anywhere but inside the two folders the runs were given.
  for (const std::string& file : Written())
    EXPECT_TRUE(file.starts_with("a/b/c/out/") || file.starts_with("a/b/c/profiles/")) << file;
}

TEST_F(UnsafeNamesTest, AStoredPlayDateNeverLeadsOutOfTheOutputFolder) {
  const std::vector<Bowler> bowlers = Bowlers();
  // A game record reads its date as a real date of eight digits, so neither text can name a
  // path of its own: the first reads as 2025/01/01, the second as no date at all.
  for (const std::string& date :
       {std::string("20250101/../../../x"), std::string("20251../../x")}) {
    SCOPED_TRACE(date);
    Store(
        "UPDATE Result_Data SET Play_Date = ? WHERE Bowler_Name = ? AND Play_Date = "
        "(SELECT MIN(Play_Date) FROM Result_Data WHERE Bowler_Name = ? AND Play_Date LIKE "
        "'2025%')",
        {date, bowlers[0].name, bowlers[0].name});
    RunCli({"score-pages", Db(), "--bowler", bowlers[0].name, "--from", "2025/01/01", "--to",
            "2025/12/31", "--out", Out()});
    RunCli({"bulk", Db(), "--year", "2025", "--out", Out()});
    for (const std::string& file : Written()) {
      // The pages, and the look images the first run copied beside them.
      EXPECT_TRUE(file.starts_with("a/b/c/out/score2025/") || file.starts_with("a/b/c/out/jpg/"))
          << file;
      EXPECT_EQ(file.find(".."), std::string::npos) << file;
    }
  }
}

TEST_F(UnsafeNamesTest, ASheetWhoseNameCannotNameItsPageIsNotPublished) {
  std::string tpl = Path("template.xlsx");
  testing::XlsxTemplate()
      .AddSheet("Good", "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>x</t></is></c></row>")
      .AddSheet("../../bad", "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>y</t></is></c></row>")
      .Write(tpl);
  CliResult made =
      RunCli({"workbook", Db(), "--template", tpl, "--html", "--out", Path("a/b/c/out")});
  EXPECT_EQ(made.status, 0) << made.err;
  EXPECT_NE(made.err.find("シート名「../../bad」はファイル名に使えません"), std::string::npos)
      << made.err;
  std::set<std::string> files = Written();
  EXPECT_TRUE(files.count("a/b/c/out/score/Good-.html"));
  for (const std::string& file : files)
    EXPECT_TRUE(file.starts_with("a/b/c/out/") || file == "template.xlsx") << file;
}

TEST_F(UnsafeNamesTest, ADatabaseNameWithAControlCharacterMakesNoFolder) {
  std::string odd = Path("odd\x01name.db");
  fs::copy_file(Db(), odd);
  CliResult made = RunCli({"monthly-pages", odd, "--bowler", Bowlers().front().name, "--from",
                           "2025/01", "--to", "2025/12", "--out", Out()});
  EXPECT_EQ(made.status, 1);
  EXPECT_NE(made.err.find("データベース名「odd\\x01name」"), std::string::npos) << made.err;
  std::set<std::string> files = Written();
  files.erase("odd\x01name.db");
  EXPECT_TRUE(files.empty()) << *files.begin();
}

}  // namespace
}  // namespace lanereport
