#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "CliSample.h"

// What the command line says of a database it cannot wholly read: every game it can read is
// published, what it left out is named at the end with its count (exit 3), and a database the
// engine cannot read fails the run (exit 1) instead of passing for one without games.

namespace lanereport::testing {
namespace {

class LeftOutTest : public CliSampleTest {
 protected:
  void Spoil(const std::string& sql) { OpenDataBase(Db(), kSuitePassword)->Execute(sql); }

  std::size_t HtmlPages(const std::string& folder) const {
    std::size_t n = 0;
    if (!std::filesystem::exists(folder)) return 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
      n += e.path().extension() == ".html" && e.path().filename() != "index.html";
    return n;
  }
};

TEST_F(LeftOutTest, UnreadableGamesAreNamedAndCountedAtTheEndWithStatusThree) {
  const Bowler b = Bowlers()[0];
  CliResult clean = RunCli({"score-pages", Db(), "--bowler", b.name, "--from", "2025/01/01", "--to",
                            "2025/12/31", "--out", Path("clean")});
  ASSERT_EQ(clean.status, 0) << clean.err;
  // Another program stored a roll that is no mark in one game of the bowler's first play.
  Spoil(
      "Update Result_Data Set FirstFrame1 = '-1' Where rowid = (Select Min(rowid) From "
      "Result_Data Where Bowler_Name = '" +
      b.name + "' And Game_Number = 2)");
  CliResult made = RunCli({"score-pages", Db(), "--bowler", b.name, "--from", "2025/01/01", "--to",
                           "2025/12/31", "--out", Path("site")});
  EXPECT_EQ(made.status, 3) << made.err;
  EXPECT_EQ(HtmlPages(Path("site")), HtmlPages(Path("clean")));
  std::size_t line = made.err.find("読めないゲームを除きました：ボウラー「" + b.name + "」");
  std::size_t count = made.err.find("読めないゲーム 1 件を除きました");
  ASSERT_NE(line, std::string::npos) << made.err;
  ASSERT_NE(count, std::string::npos) << made.err;
  EXPECT_LT(line, count);
  EXPECT_NE(made.err.find("FirstFrame1「-1」"), std::string::npos) << made.err;
  // The bulk run says the same, once.
  CliResult bulk = RunCli({"bulk", Db(), "--year", "2025", "--out", Path("bulk")});
  EXPECT_EQ(bulk.status, 3) << bulk.err;
  count = bulk.err.find("読めないゲーム 1 件を除きました");
  EXPECT_NE(count, std::string::npos) << bulk.err;
  EXPECT_EQ(bulk.err.find("読めないゲーム 1 件を除きました", count + 1), std::string::npos);
}

TEST_F(LeftOutTest, NoDataIsSaidOnlyWhenThePeriodHoldsNoGame) {
  const Bowler b = Bowlers()[0];
  CliResult none = RunCli({"score-pages", Db(), "--bowler", b.name, "--from", "2020/01/01", "--to",
                           "2020/12/31", "--out", Path("none")});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("該当するﾃﾞｰﾀは存在しません"), std::string::npos) << none.err;
  // A month whose every game is unreadable holds games: that is what is said.
  Spoil("Update Result_Data Set Result_Memo = '" + std::string(300, 'm') +
        "' Where Bowler_Name = '" + b.name + "' And Play_Date Like '202503%'");
  CliResult unreadable = RunCli({"monthly-pages", Db(), "--bowler", b.name, "--from", "2025/03",
                                 "--to", "2025/03", "--out", Path("march")});
  EXPECT_NE(unreadable.status, 0);
  EXPECT_EQ(unreadable.err.find("該当するﾃﾞｰﾀは存在しません"), std::string::npos) << unreadable.err;
  EXPECT_NE(unreadable.err.find("読めないゲーム"), std::string::npos) << unreadable.err;
}

TEST_F(LeftOutTest, ADamagedDatabaseFailsTheRunAndNamesTheDatabase) {
  std::string db = Db();
  const std::string bowler = Bowlers()[0].name;
  {
    std::fstream file(db, std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    for (std::streamoff at = 16384; at < size; at += 1024) {
      file.seekp(at);
      file.write("\xFF\x00\xFF\x00\x13\x37\x13\x37", 8);
    }
  }
  for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
           {"bulk", db, "--year", "2025", "--out", Path("bulk")},
           {"score-pages", db, "--bowler", bowler, "--from", "2025/01/01", "--to", "2025/12/31",
            "--out", Path("score")}}) {
    CliResult run = RunCli(words);
    EXPECT_EQ(run.status, 1) << words[0] << "\n" << run.err;
    EXPECT_EQ(run.err.find("該当するﾃﾞｰﾀは存在しません"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("score.db"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace lanereport::testing
