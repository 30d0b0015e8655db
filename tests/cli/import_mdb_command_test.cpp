#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "CliRunner.h"
#include "TempDir.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;
using testing::CliResult;
using testing::RunCli;

const std::string kJetDir = std::string(LANEREPORT_TEST_DATA_DIR) + "/jet/";

// Every file below folder, by its path relative to folder, with its bytes.
std::map<std::string, std::string> Tree(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file())
      files[fs::relative(e.path(), folder).string()] = testing::ReadFileBytes(e.path().string());
  return files;
}

// The score, monthly and profile pages of every bowler of the sample's year, made from db into
// the folder out.
void MakePages(const std::string& db, const std::string& out) {
  fs::create_directories(out + "/profiles");
  for (const char* bowler : {"小川　哲也", "西村　誠", "遠藤　陽子"}) {
    CliResult score = RunCli({"score-pages", db, "--bowler", bowler, "--from", "2025/01/01", "--to",
                              "2025/12/31", "--out", out});
    ASSERT_EQ(score.status, 0) << score.err;
    CliResult monthly = RunCli({"monthly-pages", db, "--bowler", bowler, "--from", "2025/01",
                                "--to", "2025/12", "--out", out});
    ASSERT_EQ(monthly.status, 0) << monthly.err;
  }
  CliResult profiles = RunCli({"profile-pages", db, "--dir", out + "/profiles"});
  ASSERT_EQ(profiles.status, 0) << profiles.err;
}

TEST(ImportMdbCommandTest, ImportedDatabaseMakesTheSamePagesAsTheOriginal) {
  testing::TempDir dir;
  // The same file name, so the pages' folders ({name}{year}) are named alike.
  fs::create_directories(dir.File("original"));
  fs::create_directories(dir.File("imported"));
  fs::copy_file(kJetDir + "jet4-sample.db", dir.File("original/jet4-sample.db"));
  fs::copy_file(kJetDir + "jet4-sample.mdb", dir.File("imported/jet4-sample.mdb"));
  CliResult imported = RunCli({"import-mdb", dir.File("imported/jet4-sample.mdb")});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_NE(imported.out.find("Result_Data"), std::string::npos);
  EXPECT_NE(imported.out.find("883 行"), std::string::npos) << imported.out;
  EXPECT_NE(imported.out.find("UCS-2"), std::string::npos);
  EXPECT_NE(imported.out.find("データベースを作成しました：" + dir.File("imported/jet4-sample.db")),
            std::string::npos)
      << imported.out;

  MakePages(dir.File("original/jet4-sample.db"), dir.File("pages-original"));
  MakePages(dir.File("imported/jet4-sample.db"), dir.File("pages-imported"));
  auto want = Tree(dir.File("pages-original"));
  EXPECT_GT(want.size(), 100u);
  auto got = Tree(dir.File("pages-imported"));
  ASSERT_EQ(got.size(), want.size());
  for (const auto& [name, bytes] : want) EXPECT_TRUE(got[name] == bytes) << name;
}

TEST(ImportMdbCommandTest, ExistingTargetIsRefusedWithExitOne) {
  testing::TempDir dir;
  std::string target = dir.File("x.db");
  ASSERT_EQ(RunCli({"import-mdb", kJetDir + "jet4-sample.mdb", target}).status, 0);
  auto before = testing::ReadFileBytes(target);
  CliResult again = RunCli({"import-mdb", kJetDir + "jet4-sample.mdb", target});
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find(target), std::string::npos) << again.err;
  EXPECT_EQ(testing::ReadFileBytes(target), before);
}

TEST(ImportMdbCommandTest, RefusalsAreOneLineWithExitOne) {
  testing::TempDir dir;
  CliResult jet3 = RunCli({"import-mdb", kJetDir + "jet3-cp932.mdb", dir.File("a.db")});
  EXPECT_EQ(jet3.status, 1);
  EXPECT_EQ(std::count(jet3.err.begin(), jet3.err.end(), '\n'), 1) << jet3.err;
  CliResult password =
      RunCli({"import-mdb", kJetDir + "jet4-sample.mdb", dir.File("a.db"), "--password", "ZEPA"});
  EXPECT_EQ(password.status, 1);
  EXPECT_NE(password.err.find("パスワード"), std::string::npos);
  CliResult missing = RunCli({"import-mdb", dir.File("none.mdb"), dir.File("a.db")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(ImportMdbCommandTest, UsageErrorsExitTwo) {
  EXPECT_EQ(RunCli({"import-mdb"}).status, 2);
  EXPECT_EQ(RunCli({"import-mdb", "a.mdb", "b.db", "c"}).status, 2);
  EXPECT_EQ(RunCli({"import-mdb", "a.mdb", "--jet3-code-page"}).status, 2);
  CliResult unknown = RunCli({"import-mdb", "a.mdb", "--jet3-code-page", "NO-SUCH"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("NO-SUCH"), std::string::npos);
}

TEST(ImportMdbCommandTest, PasswordOfTheSuiteIsAccepted) {
  testing::TempDir dir;
  CliResult made =
      RunCli({"import-mdb", kJetDir + "jet4-sample.mdb", dir.File("a.db"), "--password", "KMRT"});
  EXPECT_EQ(made.status, 0) << made.err;
}

TEST(ImportMdbCommandTest, UpdateRefreshesTheGamesAndKeepsTheSettings) {
  testing::TempDir dir;
  std::string mdb = dir.File("score.mdb");
  std::string db = dir.File("score.db");
  fs::copy_file(kJetDir + "jet4-sample.mdb", mdb);
  ASSERT_EQ(RunCli({"import-mdb", mdb}).status, 0);
  CliResult set = RunCli({"settings", db, "CharacterColor=#102030"});
  ASSERT_EQ(set.status, 0) << set.err;
  fs::remove(mdb);
  fs::copy_file(kJetDir + "jet4-sample-later.mdb", mdb);

  CliResult update = RunCli({"import-mdb", mdb, db, "--update"});
  ASSERT_EQ(update.status, 0) << update.err;
  EXPECT_NE(update.out.find("947 行"), std::string::npos) << update.out;
  EXPECT_NE(update.out.find("Result_Data         追加 66・削除 2・変更 3"), std::string::npos)
      << update.out;
  EXPECT_NE(update.out.find("2026/01/17 田中　健太  追加 3・削除 0・変更 0"), std::string::npos)
      << update.out;
  EXPECT_NE(update.out.find("取り込めなかったもの・変えた値：ありません"), std::string::npos);
  EXPECT_NE(update.out.find("データベースを更新しました：" + db), std::string::npos);
  CliResult settings = RunCli({"settings", db});
  EXPECT_NE(settings.out.find("#102030"), std::string::npos) << settings.out;
  CliResult bowlers = RunCli({"bowlers", db});
  EXPECT_NE(bowlers.out.find("TanakaKenta"), std::string::npos) << bowlers.out;

  // Once more from the same file: nothing changes.
  CliResult again = RunCli({"import-mdb", mdb, db, "--update"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("Result_Data         追加 0・削除 0・変更 0"), std::string::npos)
      << again.out;
  EXPECT_NE(again.out.find("変わったゲーム：ありません"), std::string::npos) << again.out;
}

TEST(ImportMdbCommandTest, UpdateNeedsAnExistingDb) {
  testing::TempDir dir;
  EXPECT_EQ(RunCli({"import-mdb", kJetDir + "jet4-sample.mdb", "--update"}).status, 2);
  CliResult missing =
      RunCli({"import-mdb", kJetDir + "jet4-sample.mdb", dir.File("none.db"), "--update"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find(dir.File("none.db")), std::string::npos) << missing.err;
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(ImportMdbCommandTest, BadValuesAreListedAndExitThree) {
  testing::TempDir dir;
  // Three full-width digits of the file's rolls written as ASCII digits by another program.
  std::string bytes = testing::ReadFileBytes(kJetDir + "jet4-sample.mdb");
  int done = 0;
  for (std::size_t i = 0; i + 1 < bytes.size() && done < 3; ++i) {
    auto lo = static_cast<unsigned char>(bytes[i]);
    if (static_cast<unsigned char>(bytes[i + 1]) == 0xFF && lo >= 0x11 && lo <= 0x19) {
      bytes[i] = static_cast<char>(lo - 0x11 + '1');
      bytes[i + 1] = 0;
      ++done;
    }
  }
  std::string mdb = dir.File("digits.mdb");
  { std::ofstream(mdb, std::ios::binary) << bytes; }
  CliResult imported = RunCli({"import-mdb", mdb});
  EXPECT_EQ(imported.status, 3) << imported.err;
  EXPECT_EQ(imported.out.find("変えた値：ありません"), std::string::npos) << imported.out;
  EXPECT_NE(imported.out.find("正しくない値：Result_Data EntryNumber"), std::string::npos)
      << imported.out;
  EXPECT_NE(imported.out.find("行を除きました"), std::string::npos) << imported.out;
  EXPECT_TRUE(fs::exists(dir.File("digits.db")));
}

}  // namespace
}  // namespace lanereport
