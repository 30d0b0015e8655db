#include <gtest/gtest.h>

#include <filesystem>

#include "CliSample.h"
#include "CommandTable.h"
#include "database/Database.h"
#include "database/basDataBase.h"
#include "start/StartUp.h"
#include "util/Utf8Text.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;
using testing::CliResult;
using testing::RunCli;

class CliConventionsTest : public testing::CliSampleTest {
 protected:
  // The test's own copy of the sample database.
  std::unique_ptr<Database> Copy() { return OpenDataBase(Db(), kSuitePassword); }

  // Every line of the text, each at most 80 terminal columns wide.
  static void ExpectFitsEightyColumns(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      std::string line = text.substr(start, end == std::string::npos ? end : end - start);
      EXPECT_LE(DisplayColumns(line), 80) << line;
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
};

TEST_F(CliConventionsTest, HelpListsEveryCommandAndEachCommandItsUsage) {
  for (const char* word : {"--help", "-h", "help"}) {
    CliResult help = RunCli({word});
    EXPECT_EQ(help.status, 0) << word;
    EXPECT_TRUE(help.err.empty());
    for (const cli::CommandEntry& entry : cli::CommandTable()) {
      EXPECT_NE(help.out.find(std::string("  ") + entry.name + " "), std::string::npos)
          << entry.name;
      EXPECT_NE(help.out.find(entry.summary), std::string::npos) << entry.name;
    }
    ExpectFitsEightyColumns(help.out);
  }
  for (const cli::CommandEntry& entry : cli::CommandTable()) {
    for (std::vector<std::string> words : {std::vector<std::string>{entry.name, "--help"},
                                           {entry.name, Path("x.db"), "-h"},
                                           {"help", entry.name}}) {
      CliResult usage = RunCli(words);
      EXPECT_EQ(usage.status, 0) << entry.name;
      EXPECT_EQ(usage.out, std::string(entry.usage) + "\n");
      EXPECT_EQ(usage.out.rfind("使い方: lanereport " + std::string(entry.name), 0), 0u);
      ExpectFitsEightyColumns(usage.out);
    }
  }
  // Asking for help writes nothing: the database named before --help is not made.
  EXPECT_FALSE(fs::exists(Path("x.db")));
  EXPECT_FALSE(fs::exists("--help"));

  CliResult version = RunCli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "lanereport " + ProgramVersion() + "\n");

  CliResult unknown = RunCli({"publish"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("不明なコマンドです：publish"), std::string::npos);
  EXPECT_EQ(RunCli({"help", "publish"}).status, 2);
}

TEST_F(CliConventionsTest, AWordStartingWithADashIsNeverAFileUnlessAfterDoubleDash) {
  // Relative names land in the test's folder, where nothing but the database copy may appear.
  const fs::path before = fs::current_path();
  fs::current_path(Path(""));
  for (std::vector<std::string> words : {std::vector<std::string>{"init", "-x"},
                                         {"init", "--verbose"},
                                         {"demo", "-d"},
                                         {"settings", "-"},
                                         {"bowlers", "-q"},
                                         {"score-pages", Db(), "--bowler", "a", "--from",
                                          "2025/01/01", "--to", "2025/01/31", "--out", "-o"}}) {
    CliResult refused = RunCli(words);
    EXPECT_EQ(refused.status, 2) << words[0] << " " << words.back();
    EXPECT_NE(refused.err.find("使い方"), std::string::npos) << words[0];
  }
  EXPECT_TRUE(Files(Path("")).size() == 1u) << "only the database copy";
  // After "--" a dashed word is a name like any other.
  CliResult made = RunCli({"init", "--", "-dashed.db"});
  EXPECT_EQ(made.status, 0) << made.err;
  EXPECT_TRUE(fs::exists(Path("-dashed.db")));
  // A negative number and the blank entry of the centre list stay option values.
  CliResult negative = RunCli({"sample-db", Path("n.db"), "--bowlers", "-3"});
  EXPECT_EQ(negative.status, 2);
  EXPECT_NE(negative.err.find("--bowlers"), std::string::npos);
  CliResult blank = RunCli({"sheets", Db(), "add", "Z", "--alley", "----------------------"});
  EXPECT_EQ(blank.status, 0) << blank.err;
  fs::current_path(before);
}

TEST_F(CliConventionsTest, AReversedPeriodIsAUsageErrorAndAnEmptyOneWritesNothing) {
  Bowler b = Bowlers().at(0);
  std::string out = Path("out");
  CliResult reversed = RunCli({"score-pages", Db(), "--bowler", b.name, "--from", "2025/03/31",
                               "--to", "2025/01/01", "--out", out});
  EXPECT_EQ(reversed.status, 2);
  EXPECT_NE(reversed.err.find("2025/03/31"), std::string::npos);
  EXPECT_TRUE(reversed.out.empty());
  EXPECT_EQ(RunCli({"monthly-pages", Db(), "--bowler", b.name, "--from", "2025/12", "--to",
                    "2025/01", "--out", out})
                .status,
            2);
  EXPECT_FALSE(fs::exists(out + "/score2025"));

  for (std::vector<std::string> words :
       {std::vector<std::string>{"score-pages", Db(), "--bowler", b.name, "--from", "2010/01/01",
                                 "--to", "2010/12/31", "--out", out},
        {"monthly-pages", Db(), "--bowler", b.name, "--from", "2010/01", "--to", "2010/12", "--out",
         out}}) {
    CliResult empty = RunCli(words);
    EXPECT_EQ(empty.status, 1) << words[0];
    EXPECT_NE(empty.err.find("該当するﾃﾞｰﾀは存在しません"), std::string::npos) << words[0];
    EXPECT_TRUE(empty.out.empty()) << words[0];
  }
  // No empty year or bowler folder was left behind.
  EXPECT_TRUE(fs::is_empty(out));
}

TEST_F(CliConventionsTest, BowlersAreListedAndFoundByNameFolderOrSuggestion) {
  std::vector<Bowler> bowlers = Bowlers();
  // Two bowlers differing only in the kind of space, to show the suggestion.
  Copy()->Execute("Update Bowler_Data Set Name = '山田　太郎' Where Name = '" + bowlers[0].name +
                  "'");
  Copy()->Execute("Update Result_Data Set Bowler_Name = '山田　太郎' Where Bowler_Name = '" +
                  bowlers[0].name + "'");
  CliResult list = RunCli({"bowlers", Db()});
  ASSERT_EQ(list.status, 0) << list.err;
  std::size_t games =
      Copy()
          ->OpenRecordset("Select * From Result_Data Where Bowler_Name = '" + bowlers[1].name + "'")
          ->RecordCount();
  EXPECT_NE(list.out.find(bowlers[1].name), std::string::npos);
  EXPECT_NE(list.out.find(bowlers[1].aname + " "), std::string::npos);
  // The row of the second bowler: number 2, name, folder and games.
  std::size_t row = list.out.find("   2  " + bowlers[1].name);
  ASSERT_NE(row, std::string::npos) << list.out;
  std::string line = list.out.substr(row, list.out.find('\n', row) - row);
  EXPECT_EQ(line.substr(line.rfind(' ') + 1), std::to_string(games));
  EXPECT_NE(list.out.find("ボウラー " + std::to_string(bowlers.size()) + " 人"), std::string::npos);
  ExpectFitsEightyColumns(list.out);

  std::string out = Path("out");
  std::vector<std::string> by_folder = {"score-pages", Db(),   "--bowler",   "",      "--from",
                                        "2025/01/01",  "--to", "2025/12/31", "--out", out};
  by_folder[3] = bowlers[1].aname;
  CliResult found = RunCli(by_folder);
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_TRUE(fs::exists(out + "/score2025/" + bowlers[1].aname));

  by_folder[3] = "山田 太郎";  // an ASCII space where the name has an ideographic one
  CliResult near = RunCli(by_folder);
  EXPECT_EQ(near.status, 1);
  EXPECT_NE(near.err.find("ボウラーが見つかりません：山田 太郎"), std::string::npos);
  EXPECT_NE(near.err.find("近い名前：「山田　太郎」"), std::string::npos) << near.err;
  by_folder[3] = "まったく別の誰か";
  CliResult far = RunCli(by_folder);
  EXPECT_EQ(far.status, 1);
  EXPECT_EQ(far.err.find("近い名前"), std::string::npos);
}

}  // namespace
}  // namespace lanereport
