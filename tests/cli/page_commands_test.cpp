#include <gtest/gtest.h>

#include <filesystem>

#include "CliSample.h"
#include "util/Make.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;
using testing::CliResult;
using testing::ReadFileBytes;
using testing::RunCli;

class PageCommandsTest : public testing::CliSampleTest {};

// The images the sample's look settings name, in the order of the settings (background,
// frames, strike, spare, space), copied by the first run into an output folder.
const std::vector<std::string> kLookImages = {"jpg/BG.jpg",     "jpg/waku0.jpg", "jpg/waku.jpg",
                                              "jpg/strike.jpg", "jpg/spare.jpg", "jpg/space.jpg"};

std::string ImagesLine(const std::string& out) {
  return "出力先にない画像 6 個をコピーしました：" + out + "/jpg/\n";
}

// The files of a run into out: its pages and the look images.
std::set<std::string> WithImages(std::set<std::string> pages) {
  pages.insert(kLookImages.begin(), kLookImages.end());
  return pages;
}

TEST_F(PageCommandsTest, ScorePagesWriteEveryCountedPlayAndKeepOnlyWhenAsked) {
  Bowler b = Bowlers().at(0);
  std::string out = Path("out");
  std::vector<std::string> words = {"score-pages", Db(),   "--bowler",   b.name,  "--from",
                                    "2025/03/01",  "--to", "2025/04/30", "--out", out};
  CliResult made = RunCli(words);
  ASSERT_EQ(made.status, 0) << made.err;
  std::set<std::string> expected = ExpectedPages(b, "20250301", "20250430", false);
  ASSERT_GT(expected.size(), 3u);
  EXPECT_EQ(made.out, "スコア表を作成しました\n" + std::to_string(expected.size()) + " ページ：" +
                          out + "/score2025/" + b.aname + "\n年間ページ：" + out + "/score2025/" +
                          b.aname + "/index.html\n年間ページ：" + out + "/score2025/index.html\n" +
                          ImagesLine(out));
  // The index pages of the bowler and of the year come with the tables.
  std::set<std::string> with_index = expected;
  with_index.insert({"score2025/" + b.aname + "/index.html", "score2025/index.html"});
  EXPECT_EQ(Files(out), WithImages(with_index));
  for (const std::string& page : with_index) EXPECT_TRUE(IsWholePage(out + "/" + page)) << page;

  // --keep leaves a page that is there; without it the page is made again. The images are
  // there now, and one the user replaced is left as it is, so nothing is said about them.
  std::string first = out + "/" + *expected.begin();
  MakeFile(first, "old page");
  MakeFile(out + "/jpg/BG.jpg", "my background");
  std::filesystem::remove(out + "/jpg/space.jpg");
  words.push_back("--keep");
  CliResult kept = RunCli(words);
  ASSERT_EQ(kept.status, 0);
  EXPECT_EQ(ReadFileBytes(first), "old page");
  EXPECT_EQ(ReadFileBytes(out + "/jpg/BG.jpg"), "my background");
  EXPECT_NE(kept.out.find("出力先にない画像 1 個をコピーしました：" + out + "/jpg/\n"),
            std::string::npos)
      << kept.out;
  words.pop_back();
  CliResult again = RunCli(words);
  ASSERT_EQ(again.status, 0);
  EXPECT_TRUE(IsWholePage(first));
  EXPECT_EQ(again.out.find("画像"), std::string::npos) << again.out;
}

TEST_F(PageCommandsTest, MonthlyPagesWriteEveryMonthWithCountedGames) {
  Bowler b = Bowlers().at(1);
  std::string out = Path("out");
  CliResult made = RunCli({"monthly-pages", Db(), "--bowler", b.name, "--from", "2025/01", "--to",
                           "2025/12", "--out", out});
  ASSERT_EQ(made.status, 0) << made.err;
  std::set<std::string> expected = ExpectedPages(b, "20250101", "20251231", true);
  EXPECT_GE(expected.size(), 2u);
  EXPECT_EQ(made.out, "月間表を作成しました\n" + std::to_string(expected.size()) + " ページ：" +
                          out + "/score2025/" + b.aname + "\n年間ページ：" + out + "/score2025/" +
                          b.aname + "/index.html\n年間ページ：" + out + "/score2025/index.html\n" +
                          ImagesLine(out));
  expected.insert({"score2025/" + b.aname + "/index.html", "score2025/index.html"});
  EXPECT_EQ(Files(out), WithImages(expected));
  for (const std::string& page : expected) EXPECT_TRUE(IsWholePage(out + "/" + page)) << page;
  // The bowler's index page links the monthly pages made.
  std::string index = ReadFileBytes(out + "/score2025/" + b.aname + "/index.html");
  for (const std::string& page : expected) {
    std::string file = page.substr(page.rfind('/') + 1);
    if (file == "index.html") continue;
    EXPECT_NE(index.find("<a href=\"" + file + "\">"), std::string::npos) << file;
  }
}

TEST_F(PageCommandsTest, IndexPagesWriteTheYearOfEveryBowlerAndLeaveTheUsersPagesAlone) {
  std::vector<Bowler> bowlers = Bowlers();
  std::string out = Path("out");
  MakeFile(out + "/score2025/" + bowlers[1].aname + "/index.html", "<html>mine</html>");
  CliResult made = RunCli({"index-pages", Db(), "--year", "2025", "--out", out});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out, "年間ページを作成しました\n" + std::to_string(bowlers.size()) + " ページ：" +
                          out + "/score2025\n" + ImagesLine(out));
  EXPECT_NE(made.err.find("をそのままにしました：" + out + "/score2025/" + bowlers[1].aname +
                          "/index.html\n"),
            std::string::npos)
      << made.err;
  EXPECT_EQ(ReadFileBytes(out + "/score2025/" + bowlers[1].aname + "/index.html"),
            "<html>mine</html>");
  std::set<std::string> expected = {"score2025/index.html"};
  for (const Bowler& b : bowlers) expected.insert("score2025/" + b.aname + "/index.html");
  EXPECT_EQ(Files(out), WithImages(expected));
  expected.erase("score2025/" + bowlers[1].aname + "/index.html");
  for (const std::string& page : expected) EXPECT_TRUE(IsWholePage(out + "/" + page)) << page;

  // A year without games writes nothing; a year that is not one is a usage error.
  std::string empty = Path("empty");
  CliResult none = RunCli({"index-pages", Db(), "--year", "2010", "--out", empty});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("該当するﾃﾞｰﾀは存在しません"), std::string::npos);
  EXPECT_TRUE(Files(empty).empty());
  for (const char* year : {"25", "abcd", "0000"}) {
    CliResult bad = RunCli({"index-pages", Db(), "--year", year, "--out", empty});
    EXPECT_EQ(bad.status, 2) << year;
    EXPECT_NE(bad.err.find("使い方"), std::string::npos);
  }
  EXPECT_EQ(RunCli({"index-pages", Db(), "--out", empty}).status, 2);
  EXPECT_EQ(RunCli({"index-pages", Path("none.db"), "--year", "2025"}).status, 1);
}

TEST_F(PageCommandsTest, ScorePageWritesOnePlayIntoTheGivenFolder) {
  Bowler b = Bowlers().at(0);
  std::string page = *ExpectedPages(b, "20250101", "20251231", false).begin();
  std::string file = page.substr(page.rfind('/') + 1);
  std::string date = file.substr(0, 4) + "/" + file.substr(4, 2) + "/" + file.substr(6, 2);
  // The sample's centre 1 and levels 1 and 2 are the names below.
  std::string centre = file[8] == '1' ? "サンライズボウル" : file[8] == '2' ? "スターレーン" : "";
  std::string level = file[9] == '1' ? "リーグ戦" : "大会";
  ASSERT_FALSE(centre.empty()) << file;
  std::string dir = Path("picked");
  fs::create_directories(dir);
  CliResult made = RunCli({"score-page", Db(), "--bowler", b.name, "--date", date, "--centre",
                           centre, "--level", level, "--dir", dir});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out, "スコア表を作成しました\n1 ページ：" + dir + "\n");
  EXPECT_EQ(Files(dir), std::set<std::string>{file});
  EXPECT_TRUE(IsWholePage(dir + "/" + file));

  // A play that does not exist writes nothing.
  CliResult none = RunCli({"score-page", Db(), "--bowler", b.name, "--date", "1999/01/01",
                           "--centre", centre, "--level", level, "--dir", dir});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("該当するﾃﾞｰﾀは存在しません"), std::string::npos);
  EXPECT_EQ(Files(dir).size(), 1u);
}

TEST_F(PageCommandsTest, ProfilePagesForEveryBowlerOrOne) {
  std::vector<Bowler> bowlers = Bowlers();
  std::string dir = Path("profiles/");
  CliResult made = RunCli({"profile-pages", Db(), "--dir", dir});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out, "Ｂｏｗｌｅｒ紹介を作成しました\n" + std::to_string(bowlers.size()) +
                          " ページ：" + dir + "\n");
  std::set<std::string> expected = {"profiles.js"};
  for (const Bowler& b : bowlers) expected.insert(b.aname + ".html");
  EXPECT_EQ(Files(dir), expected);
  for (const Bowler& b : bowlers) EXPECT_TRUE(IsWholePage(dir + b.aname + ".html")) << b.aname;

  std::string one = Path("one/");
  ASSERT_EQ(RunCli({"profile-pages", Db(), "--dir", one, "--bowler", bowlers[2].name}).status, 0);
  EXPECT_EQ(Files(one), (std::set<std::string>{"profiles.js", bowlers[2].aname + ".html"}));
}

TEST_F(PageCommandsTest, BadInputGetsOneLineAndTheRightStatus) {
  Bowler b = Bowlers().at(0);
  std::string out = Path("out");
  auto score_pages = [&](const std::string& db, const std::string& bowler, const std::string& from,
                         const std::string& out_dir) {
    return RunCli({"score-pages", db, "--bowler", bowler, "--from", from, "--to", "2025/12/31",
                   "--out", out_dir});
  };
  // The run failed: status 1 with the reason.
  CliResult missing = score_pages(Path("nothing.db"), b.name, "2025/01/01", out);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find(Path("nothing.db")), std::string::npos);
  MakeFile(Path("text.db"), "not a database at all, just some text that is long enough");
  EXPECT_EQ(score_pages(Path("text.db"), b.name, "2025/01/01", out).status, 1);
  CliResult stranger = score_pages(Db(), "誰でもない人", "2025/01/01", out);
  EXPECT_EQ(stranger.status, 1);
  EXPECT_NE(stranger.err.find("誰でもない人"), std::string::npos);
  MakeFile(Path("blocked"), "a file where the folder should be");
  CliResult blocked = score_pages(Db(), b.name, "2025/01/01", Path("blocked/out"));
  EXPECT_EQ(blocked.status, 1);
  EXPECT_NE(blocked.err.find(Path("blocked")), std::string::npos);
  // Usage errors: status 2 with the usage line.
  CliResult bad_date = score_pages(Db(), b.name, "2025/13/01", out);
  EXPECT_EQ(bad_date.status, 2);
  EXPECT_NE(bad_date.err.find("使い方"), std::string::npos);
  EXPECT_EQ(RunCli({"monthly-pages", Db(), "--bowler", b.name, "--from", "2025/01"}).status, 2);
  EXPECT_EQ(RunCli({"monthly-pages", Db(), "--bowler", b.name, "--from", "2025/13", "--to",
                    "2025/02", "--out", out})
                .status,
            2);
  EXPECT_EQ(RunCli({"profile-pages", Db()}).status, 2);
  EXPECT_EQ(RunCli({"score-page", Db(), "--bowler", b.name}).status, 2);
  // Nothing was written by any of them.
  EXPECT_TRUE(Files(out).empty());
  EXPECT_EQ(ReadFileBytes(Path("blocked")), "a file where the folder should be");
}

TEST_F(PageCommandsTest, CtrlCEndsTheRunWithWholePagesOnly) {
  Bowler b = Bowlers().at(0);
  std::string out = Path("out");
  std::set<std::string> all = ExpectedPages(b, "20250101", "20251231", false);
  StopAtCount(20);
  CliResult stopped = RunCli({"score-pages", Db(), "--bowler", b.name, "--from", "2025/01/01",
                              "--to", "2025/12/31", "--out", out});
  EXPECT_EQ(stopped.status, 130);
  EXPECT_NE(stopped.err.find("処理を中断しました"), std::string::npos);
  EXPECT_EQ(stopped.out.find("スコア表を作成しました"), std::string::npos);
  // The index pages link what was made before the stop.
  std::set<std::string> written = Files(out);
  for (const std::string& image : kLookImages) EXPECT_EQ(written.erase(image), 1u) << image;
  EXPECT_EQ(written.erase("score2025/index.html"), 1u);
  EXPECT_EQ(written.erase("score2025/" + b.aname + "/index.html"), 1u);
  EXPECT_FALSE(written.empty());
  EXPECT_LT(written.size(), all.size());
  for (const std::string& page : written) {
    EXPECT_TRUE(all.count(page)) << page;
    EXPECT_TRUE(IsWholePage(out + "/" + page)) << page;
  }
  // The first pages in date order are the ones written.
  EXPECT_TRUE(std::equal(written.begin(), written.end(), all.begin()));
}

}  // namespace
}  // namespace lanereport
