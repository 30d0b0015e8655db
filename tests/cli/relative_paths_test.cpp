#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliSample.h"
#include "database/WindowSettings.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;
using testing::CliResult;
using testing::RunCli;

// Each command run from a current folder of its own (cwd/ under the test's folder) with
// relative paths: what it writes lies below the current folder, under the names given, and
// nothing lies anywhere else, neither beside the current folder nor at the root.
class RelativePathsTest : public testing::CliSampleTest {
 protected:
  void SetUp() override {
    fs::create_directories(Path("cwd"));
    fs::rename(Db(), Path("cwd/score.db"));
    previous_ = fs::current_path();
    fs::current_path(Path("cwd"));
  }
  void TearDown() override {
    fs::current_path(previous_);
    for (const std::string& name : names_) EXPECT_FALSE(fs::exists("/" + name)) << name;
    testing::CliSampleTest::TearDown();
  }

  // A relative name that nothing at the root holds, so that finding it there after the run
  // can only mean the run made it.
  std::string Name(const std::string& stem) {
    std::string name = "lr-" + stem + "-" + std::to_string(::getpid());
    EXPECT_FALSE(fs::exists("/" + name)) << name;
    names_.push_back(name);
    return name;
  }

  // Whatever lies under the test's folder outside cwd/score.db, cwd/ itself and the given
  // names of the current folder (with everything below them).
  std::vector<std::string> Elsewhere(const std::vector<std::string>& allowed) const {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir_.Path())) {
      std::string rel = fs::relative(entry.path(), dir_.Path()).string();
      bool ok = rel == "cwd" || rel == "cwd/score.db";
      for (const std::string& name : allowed)
        ok = ok || rel == "cwd/" + name || rel.starts_with("cwd/" + name + "/");
      if (!ok) found.push_back(rel);
    }
    return found;
  }

  static bool IsFile(const std::string& path) { return fs::is_regular_file(path); }

  fs::path previous_;
  std::vector<std::string> names_;
};

TEST_F(RelativePathsTest, ProfilePagesGoIntoAFolderOfTheCurrentFolder) {
  std::string op = Name("op");
  CliResult made = RunCli({"profile-pages", "score.db", "--dir", op});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_TRUE(IsFile(op + "/profiles.js"));
  EXPECT_TRUE(IsFile(op + "/" + Bowlers().at(0).aname + ".html"));
  EXPECT_EQ(Elsewhere({op}), std::vector<std::string>{});

  // A folder that is there already is used as it is.
  CliResult again = RunCli({"profile-pages", "score.db", "--dir", op + "/"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(Elsewhere({op}), std::vector<std::string>{});
}

TEST_F(RelativePathsTest, ScorePageGoesIntoANewFolderOfTheCurrentFolder) {
  std::string dir = Name("new");
  Bowler b = Bowlers().at(0);
  std::set<std::string> plays = ExpectedPages(b, "20250101", "20251231", false);
  ASSERT_FALSE(plays.empty());
  // score2025/{aname}/{yyyymmdd}{centre}{level}.html: the date of the first play, and its
  // centre and level by name.
  std::string file = fs::path(*plays.begin()).filename().string();
  std::string ymd = file.substr(0, 8);
  std::string date = ymd.substr(0, 4) + "/" + ymd.substr(4, 2) + "/" + ymd.substr(6, 2);
  auto db = OpenDataBase("score.db", kSuitePassword);
  ASSERT_NE(db, nullptr);
  auto rs = db->OpenRecordset(
      "Select Alley_Name, Level_Name From Result_Data, Alley_Data, Level_Data Where "
      "Alley_Name = Alley_Data.Name And Level_Name = Level_Data.Name And "
      "CalculationTarget = True And Bowler_Name = '" +
      b.name + "' And Play_Date = '" + ymd + "' Order By Alley_Data.ID, Level_Data.ID");
  ASSERT_FALSE(rs->Eof());
  std::string centre = rs->Field("Alley_Name").Text();
  std::string level = rs->Field("Level_Name").Text();
  rs.reset();
  db.reset();

  CliResult made = RunCli({"score-page", "score.db", "--bowler", b.name, "--date", date, "--centre",
                           centre, "--level", level, "--dir", dir});
  ASSERT_EQ(made.status, 0) << made.err;
  std::vector<std::string> pages;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().extension() == ".html") pages.push_back(entry.path().filename().string());
  EXPECT_EQ(pages.size(), 1u);
  EXPECT_EQ(Elsewhere({dir}), std::vector<std::string>{});
}

TEST_F(RelativePathsTest, PageCommandsWriteUnderTheirRelativeOutFolder) {
  Bowler b = Bowlers().at(0);
  std::string scores = Name("scores");
  CliResult score = RunCli({"score-pages", "score.db", "--bowler", b.name, "--from", "2025/03/01",
                            "--to", "2025/04/30", "--out", scores});
  ASSERT_EQ(score.status, 0) << score.err;
  for (const std::string& page : ExpectedPages(b, "20250301", "20250430", false))
    EXPECT_TRUE(IsFile(scores + "/" + page)) << page;

  std::string monthly = Name("monthly");
  CliResult month = RunCli({"monthly-pages", "score.db", "--bowler", b.name, "--from", "2025/01",
                            "--to", "2025/12", "--out", monthly});
  ASSERT_EQ(month.status, 0) << month.err;
  for (const std::string& page : ExpectedPages(b, "20250101", "20251231", true))
    EXPECT_TRUE(IsFile(monthly + "/" + page)) << page;

  std::string index = Name("index");
  CliResult year = RunCli({"index-pages", "score.db", "--year", "2025", "--out", index});
  ASSERT_EQ(year.status, 0) << year.err;
  EXPECT_TRUE(IsFile(index + "/score2025/index.html"));
  EXPECT_TRUE(IsFile(index + "/score2025/" + b.aname + "/index.html"));

  // A folder below one that is missing too.
  std::string deep = Name("deep");
  CliResult nested = RunCli({"score-pages", "score.db", "--bowler", b.name, "--from", "2025/03/01",
                             "--to", "2025/03/31", "--out", deep + "/a/b"});
  ASSERT_EQ(nested.status, 0) << nested.err;
  EXPECT_TRUE(fs::is_directory(deep + "/a/b/score2025/" + b.aname));
  EXPECT_EQ(Elsewhere({scores, monthly, index, deep}), std::vector<std::string>{});
}

TEST_F(RelativePathsTest, WorkbookAndBulkTakeARelativeTemplateAndOutFolder) {
  fs::copy_file(DefaultTemplatePath(), "template.xlsx");
  std::string book = Name("book");
  CliResult workbook =
      RunCli({"workbook", "score.db", "--template", "template.xlsx", "--html", "--out", book});
  ASSERT_EQ(workbook.status, 0) << workbook.err;
  // "ボウラー情報を作成しました", then the workbook's path: in the folder given, as given.
  std::string saved = workbook.out.substr(workbook.out.find('\n') + 1);
  saved = saved.substr(0, saved.find('\n'));
  EXPECT_TRUE(saved.starts_with(book + "/")) << workbook.out;
  EXPECT_TRUE(IsFile(saved)) << saved;
  std::string bulk = Name("bulk");
  CliResult year =
      RunCli({"bulk", "score.db", "--year", "2025", "--template", "template.xlsx", "--out", bulk});
  ASSERT_EQ(year.status, 0) << year.err;
  EXPECT_TRUE(IsFile(bulk + "/score2025/index.html"));
  EXPECT_EQ(Elsewhere({book, bulk, "template.xlsx"}), std::vector<std::string>{});
}

TEST_F(RelativePathsTest, NewDatabasesLieWhereTheirRelativePathSays) {
  std::string made = Name("made");
  fs::create_directories(made);
  CliResult init = RunCli({"init", made + "/empty.db"});
  ASSERT_EQ(init.status, 0) << init.err;
  EXPECT_TRUE(IsFile(made + "/empty.db"));
  CliResult bare = RunCli({"init", "bare.db"});
  ASSERT_EQ(bare.status, 0) << bare.err;
  EXPECT_TRUE(IsFile("bare.db"));
  CliResult sample = RunCli({"sample-db", made + "/sample.db", "--bowlers", "1", "--years", "1",
                             "--end-year", "2025", "--seed", "1"});
  ASSERT_EQ(sample.status, 0) << sample.err;
  EXPECT_TRUE(IsFile(made + "/sample.db"));

  fs::copy_file(std::string(LANEREPORT_TEST_DATA_DIR) + "/jet/jet4-sample.mdb", made + "/jet.mdb");
  CliResult beside = RunCli({"import-mdb", made + "/jet.mdb"});
  ASSERT_EQ(beside.status, 0) << beside.err;
  EXPECT_TRUE(IsFile(made + "/jet.db"));
  CliResult named = RunCli({"import-mdb", made + "/jet.mdb", "named.db"});
  ASSERT_EQ(named.status, 0) << named.err;
  EXPECT_TRUE(IsFile("named.db"));
  EXPECT_EQ(Elsewhere({made, "bare.db", "named.db"}), std::vector<std::string>{});
}

TEST_F(RelativePathsTest, DemoMakesItsFolderInTheCurrentFolder) {
  std::string demo = Name("demo");
  CliResult made = RunCli({"demo", demo});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_TRUE(IsFile(demo + "/sample.db"));
  EXPECT_TRUE(IsFile(demo + "/site/profiles.js"));
  EXPECT_NE(made.out.find("最初に開くページ：" + Path("cwd/" + demo + "/site/")), std::string::npos)
      << made.out;
  EXPECT_EQ(Elsewhere({demo}), std::vector<std::string>{});
}

}  // namespace
}  // namespace lanereport
