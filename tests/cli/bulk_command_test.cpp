#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "CliSample.h"
#include "util/Cp932.h"
#include "util/Make.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;
using testing::CliResult;
using testing::ReadFileBytes;
using testing::RunCli;

class BulkCommandTest : public testing::CliSampleTest {};

// The links of every page under folder that lead to no file: each href, src and background
// url that is not a web or mail address, resolved from the page's folder (%XX decoded), as
// "page -> target". The look images are copied into the output folder by the runs; a style
// sheet is the user's to put there, so stylesheet links are not looked at.
std::vector<std::string> BrokenLinks(const std::string& folder) {
  std::vector<std::string> broken;
  std::regex href("(?:href|src)=\"([^\"]*)\"|url\\('([^']*)'\\)");
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".html") continue;
    std::string page = Cp932ToUtf8(ReadFileBytes(entry.path().string()));
    for (std::sregex_iterator it(page.begin(), page.end(), href), end; it != end; ++it) {
      std::string target = (*it)[1].matched ? (*it)[1].str() : (*it)[2].str();
      std::size_t line = page.rfind('<', it->position());
      if (page.compare(line, 5, "<link") == 0 &&
          page.substr(line, it->position() - line).find("stylesheet") != std::string::npos)
        continue;
      if (target.starts_with("http") || target.starts_with("mailto:")) continue;
      target = target.substr(0, target.find('#'));
      std::string decoded;
      for (std::size_t i = 0; i < target.size(); ++i) {
        if (target[i] == '%' && i + 2 < target.size()) {
          decoded += static_cast<char>(std::stoi(target.substr(i + 1, 2), nullptr, 16));
          i += 2;
        } else {
          decoded += target[i];
        }
      }
      if (!fs::exists(entry.path().parent_path() / decoded))
        broken.push_back(fs::relative(entry.path(), folder).string() + " -> " + target);
    }
  }
  return broken;
}

TEST_F(BulkCommandTest, BulkMakesTheWorkbookAndEveryTableOfTheYear) {
  std::string out = Path("out");
  CliResult made = RunCli({"bulk", Db(), "--year", "2025", "--out", out});
  ASSERT_EQ(made.status, 0) << made.err;
  std::set<std::string> files = Files(out);
  EXPECT_TRUE(files.count("score2025/score2025.xlsx"));
  EXPECT_TRUE(files.count("score2025/Month-2025.html"));
  EXPECT_TRUE(files.count("score2025/index.html"));
  EXPECT_NE(made.out.find(out + "/score2025/score2025.xlsx\n"), std::string::npos);
  EXPECT_NE(made.out.find("一括出力が終了しました"), std::string::npos);

  // Every bowler of the table gets the monthly tables and score tables of 2025 and the index
  // page of the year, and no more.
  std::set<std::string> expected;
  std::size_t monthly = 0, score = 0;
  for (const Bowler& b : Bowlers()) {
    std::set<std::string> months = ExpectedPages(b, "20250101", "20251231", true);
    std::set<std::string> plays = ExpectedPages(b, "20250101", "20251231", false);
    monthly += months.size();
    score += plays.size();
    expected.insert(months.begin(), months.end());
    expected.insert(plays.begin(), plays.end());
    if (!months.empty()) expected.insert("score2025/" + b.aname + "/index.html");
  }
  EXPECT_EQ(BowlerPages(files), expected);
  EXPECT_NE(made.out.find("月間表 " + std::to_string(monthly) + " ページ、スコア表 " +
                          std::to_string(score) + " ページ"),
            std::string::npos);
  for (const std::string& page : expected) EXPECT_TRUE(IsWholePage(out + "/" + page)) << page;

  // The statistics page leads to monthly pages that are there.
  std::string sheet = Cp932ToUtf8(ReadFileBytes(out + "/score2025/Month-2025.html"));
  std::regex link("href=\"\\.\\./(score2025/[^/\"]+/2025[0-9]{2}\\.html)\"");
  int links = 0;
  for (std::sregex_iterator it(sheet.begin(), sheet.end(), link), end; it != end; ++it, ++links)
    EXPECT_TRUE(files.count((*it)[1].str())) << (*it)[1].str();
  EXPECT_GT(links, 0);
  // Every link of the site leads to a file: the start links of the tables too.
  EXPECT_EQ(BrokenLinks(out), std::vector<std::string>{});
  std::string year_page = Cp932ToUtf8(ReadFileBytes(out + "/score2025/index.html"));
  for (const Bowler& b : Bowlers())
    EXPECT_NE(year_page.find("<a href=\"" + b.aname + "/index.html\">"), std::string::npos);

  // A second run over the pages keeps them and still ends well.
  CliResult again = RunCli({"bulk", Db(), "--year", "2025", "--out", out});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(Files(out), files);
}

TEST_F(BulkCommandTest, BadInputGetsOneLineAndTheRightStatus) {
  std::string out = Path("out");
  for (const char* year : {"25", "20251", "abcd", ""}) {
    CliResult bad = RunCli({"bulk", Db(), "--year", year, "--out", out});
    EXPECT_EQ(bad.status, 2) << year;
    EXPECT_NE(bad.err.find("使い方"), std::string::npos);
  }
  EXPECT_EQ(RunCli({"bulk", Db(), "--out", out}).status, 2);
  EXPECT_EQ(RunCli({"bulk", Path("none.db"), "--year", "2025", "--out", out}).status, 1);

  // Without a template nothing of the workbook is made; the table of bowlers is empty on a
  // first run, so no tables either; the run reports the template.
  CliResult no_template =
      RunCli({"bulk", Db(), "--year", "2025", "--out", out, "--template", Path("missing.xlsx")});
  EXPECT_EQ(no_template.status, 1);
  EXPECT_NE(no_template.err.find("ボウラー情報用テンプレートファイルが存在しません！"),
            std::string::npos);
  EXPECT_TRUE(BowlerPages(Files(out)).empty());

  // A damaged template is reported and left as it was.
  MakeFile(Path("damaged.xlsx"), "PK\x03\x04 this is not a workbook");
  CliResult damaged =
      RunCli({"bulk", Db(), "--year", "2025", "--out", out, "--template", Path("damaged.xlsx")});
  EXPECT_EQ(damaged.status, 1);
  EXPECT_FALSE(damaged.err.empty());
  EXPECT_EQ(ReadFileBytes(Path("damaged.xlsx")), "PK\x03\x04 this is not a workbook");
  EXPECT_FALSE(Files(out).count("score2025/score2025.xlsx"));
}

TEST_F(BulkCommandTest, CtrlCTermAndHangupLeaveEveryWrittenFileWhole) {
  // A whole run first, to count its progress steps; then the signal three quarters of the way,
  // which lies among the score tables, the last and longest step.
  auto steps = std::make_shared<int>(0);
  cli::TerminalProgress::SetCountHookForTesting([steps] { ++*steps; });
  ASSERT_EQ(RunCli({"bulk", Db(), "--year", "2025", "--out", Path("whole")}).status, 0);
  std::set<std::string> whole = BowlerPages(Files(Path("whole")));
  for (auto [signal, status] : {std::pair{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}}) {
    SCOPED_TRACE(status);
    std::string out = Path("out" + std::to_string(signal));
    StopAtCount(*steps * 3 / 4, signal);
    CliResult stopped = RunCli({"bulk", Db(), "--year", "2025", "--out", out});
    EXPECT_EQ(stopped.status, status);
    EXPECT_NE(stopped.err.find("処理を中断しました"), std::string::npos);
    EXPECT_EQ(stopped.out.find("一括出力が終了しました"), std::string::npos);
    std::set<std::string> files = Files(out);
    std::set<std::string> pages = BowlerPages(files);
    EXPECT_FALSE(pages.empty());
    EXPECT_LT(pages.size(), whole.size());
    for (const std::string& page : pages) {
      EXPECT_TRUE(whole.count(page)) << page;
      EXPECT_TRUE(IsWholePage(out + "/" + page)) << page;
    }
    // The workbook and its pages were finished before the tables began; nothing else lies
    // there, no temporary file either.
    EXPECT_TRUE(files.count("score2025/score2025.xlsx"));
    for (const std::string& f : files) {
      EXPECT_TRUE(f.ends_with(".html") || f.ends_with(".xlsx") || f.ends_with(".png") ||
                  f.ends_with(".jpg") || f.ends_with(".jpeg") || f.ends_with(".gif"))
          << "stray file " << f;
    }
  }
}

TEST_F(BulkCommandTest, SettingsPrintAndSetAllOrNothing) {
  CliResult shown = RunCli({"settings", Db()});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("CharacterColor=#1c2a44\n"), std::string::npos);
  EXPECT_NE(shown.out.find("Frame1=jpg/waku0.jpg\n"), std::string::npos);

  CliResult set = RunCli({"settings", Db(), "OutFolder= /srv/site ", "CharacterColor=#000000"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_NE(set.out.find("OutFolder=/srv/site\n"), std::string::npos);
  EXPECT_NE(set.out.find("CharacterColor=#000000\n"), std::string::npos);
  EXPECT_NE(RunCli({"settings", Db()}).out.find("OutFolder=/srv/site\n"), std::string::npos);

  // A value no page could hold is refused with its message, and nothing is stored.
  CliResult refused = RunCli({"settings", Db(), "StyleSheet=ok.css", "CharacterColor=#GGGGGG"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("文字色には色を"), std::string::npos) << refused.err;
  EXPECT_NE(RunCli({"settings", Db()}).out.find("StyleSheet=\n"), std::string::npos);

  // An unknown key refuses the whole line of changes.
  EXPECT_EQ(RunCli({"settings", Db(), "LinkPath=x", "Colour=#fff"}).status, 2);
  EXPECT_EQ(RunCli({"settings", Db(), "LinkPath"}).status, 2);
  EXPECT_NE(RunCli({"settings", Db()}).out.find("LinkPath=\n"), std::string::npos);
  EXPECT_EQ(RunCli({"settings", Path("none.db")}).status, 1);
}

TEST_F(BulkCommandTest, AStoredSettingNoPageCanHoldIsReplacedByItsDefaultAndSaidOnce) {
  // Another program stored a text colour that would end the body's style attribute.
  OpenDataBase(Db(), kSuitePassword)
      ->Execute(
          "Update S_SYSTEM Set SS_Contents = '\"><script>alert(1)</script>' "
          "Where SS_ID = 'CharacterColor'");
  std::string out = Path("site");
  CliResult made = RunCli({"bulk", Db(), "--year", "2025", "--out", out});
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string said = "設定「CharacterColor」の値はページに書けないため、既定値「#FFFFFF」";
  std::size_t at = made.err.find(said);
  ASSERT_NE(at, std::string::npos) << made.err;
  EXPECT_EQ(made.err.find(said, at + 1), std::string::npos) << "said twice: " << made.err;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(out)) {
    if (entry.path().extension() != ".html") continue;
    std::string page = ReadFileBytes(entry.path().string());
    EXPECT_EQ(page.find("<script>alert"), std::string::npos) << entry.path();
  }
  std::string bowler = Bowlers()[0].aname;
  std::string page;
  for (const auto& entry : std::filesystem::directory_iterator(out + "/score2025/" + bowler)) {
    if (entry.path().filename().string().size() > 12) page = ReadFileBytes(entry.path().string());
  }
  EXPECT_NE(page.find("color:#FFFFFF;\">"), std::string::npos);
  // The commands that make pages without the make flow say it too.
  CliResult year = RunCli({"index-pages", Db(), "--year", "2025", "--out", out});
  EXPECT_EQ(year.status, 0) << year.err;
  EXPECT_NE(year.err.find(said), std::string::npos) << year.err;
}

TEST_F(BulkCommandTest, SheetsAddShowUpdateAndDeleteADefinition) {
  ASSERT_EQ(
      RunCli({"sheets", Db(), "add", "Mine", "--count", "30", "--on", "Totalavg,37,Sex"}).status,
      0);
  CliResult shown = RunCli({"sheets", Db(), "show", "Mine"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("Condition=GAME数\n"), std::string::npos);
  EXPECT_NE(shown.out.find("PastCount=30\n"), std::string::npos);
  EXPECT_NE(shown.out.find("0\tSex\t性別\ton\n"), std::string::npos);
  EXPECT_NE(shown.out.find("37\tMonthAvg\t月間AVG\ton\n"), std::string::npos);
  EXPECT_NE(shown.out.find("1\t"), std::string::npos);
  EXPECT_NE(RunCli({"sheets", Db(), "list"}).out.find("Mine\t過去 30 Game\t項目 3\n"),
            std::string::npos);

  CliResult updated = RunCli({"sheets", Db(), "update", "Mine", "--rename", "Ours", "--period",
                              "--start", "2025/01/01", "--end", "2025/06/30", "--off", "Sex"});
  ASSERT_EQ(updated.status, 0) << updated.err;
  EXPECT_NE(RunCli({"sheets", Db()}).out.find("Ours\t期間 2025/01/01～2025/06/30\t項目 2\n"),
            std::string::npos);
  EXPECT_EQ(RunCli({"sheets", Db(), "show", "Mine"}).status, 1);

  // Refused options change nothing.
  EXPECT_EQ(RunCli({"sheets", Db(), "update", "Ours", "--on", "NoSuchColumn"}).status, 2);
  EXPECT_EQ(RunCli({"sheets", Db(), "update", "Ours", "--period", "--count", "5"}).status, 2);
  EXPECT_NE(RunCli({"sheets", Db(), "list"}).out.find("Ours\t期間 2025/01/01～2025/06/30\t項目 2"),
            std::string::npos);
  EXPECT_EQ(RunCli({"sheets", Db(), "frobnicate"}).status, 2);

  ASSERT_EQ(RunCli({"sheets", Db(), "delete", "Ours"}).status, 0);
  EXPECT_EQ(RunCli({"sheets", Db(), "list"}).out.find("Ours"), std::string::npos);
  EXPECT_EQ(RunCli({"sheets", Db(), "delete", "Ours"}).status, 1);
}

TEST(WorkbookCommandTest, WorkbookWithPagesWhoseMonthLinksLeadToTheMonthlyPages) {
  // Sheets without a period cover the months up to today: a sample that ends this year.
  testing::TempDir dir;
  std::string db = dir.File("club.db");
  ASSERT_EQ(RunCli({"sample-db", db, "--bowlers", "2", "--years", "1", "--seed", "9"}).status, 0);
  std::string out = dir.File("out");
  CliResult made = RunCli({"workbook", db, "--html", "--out", out});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_NE(made.out.find("ボウラー情報を作成しました\n" + out + "/club/club.xlsx\n"),
            std::string::npos);
  std::string sheet_page = out + "/club/Month-.html";
  EXPECT_NE(made.out.find(sheet_page + "\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(out + "/club/@All-.html"));

  // Every month link of the sheet finds the monthly page that monthly-pages writes.
  std::string sheet = Cp932ToUtf8(ReadFileBytes(sheet_page));
  std::regex link("href=\"\\.\\./(club[0-9]{4}/[^/\"]+/[0-9]{6}\\.html)\"");
  std::set<std::string> linked;
  for (std::sregex_iterator it(sheet.begin(), sheet.end(), link), end; it != end; ++it)
    linked.insert((*it)[1].str());
  ASSERT_FALSE(linked.empty());
  std::vector<std::string> names;
  {
    auto opened = OpenDataBase(db, kSuitePassword);
    ASSERT_NE(opened, nullptr);
    for (auto rs = opened->OpenRecordset("Select Name From Bowler_Data"); !rs->Eof();
         rs->MoveNext())
      names.push_back(rs->Field("Name").Text());
  }
  std::set<std::string> years;
  for (const std::string& target : linked) years.insert(target.substr(4, 4));
  for (const std::string& year : years)
    for (const std::string& name : names)
      ASSERT_EQ(RunCli({"monthly-pages", db, "--bowler", name, "--from", year + "/01", "--to",
                        year + "/12", "--out", out})
                    .status,
                0);
  for (const std::string& target : linked) EXPECT_TRUE(fs::exists(out + "/" + target)) << target;
}

TEST(DemoCommandTest, MakesASiteWhoseFirstPageLeadsToPagesWithImages) {
  testing::TempDir dir;
  CliResult made = RunCli({"demo", dir.Path()});
  ASSERT_EQ(made.status, 0) << made.err;
  std::smatch m;
  std::regex first("最初に開くページ：(.*/site/sample([0-9]{4})/index\\.html)\n");
  ASSERT_TRUE(std::regex_search(made.out, m, first)) << made.out;
  std::string page = m[1].str();
  std::string year = m[2].str();
  EXPECT_EQ(page, dir.File("site/sample" + year + "/index.html"));
  ASSERT_TRUE(fs::exists(page));
  EXPECT_TRUE(fs::exists(dir.File("sample.db")));
  EXPECT_TRUE(fs::exists(dir.File("BowlerData.xlsx")));
  EXPECT_TRUE(fs::exists(dir.File("site/profiles.js")));
  // Every link of the site leads to a file.
  EXPECT_EQ(BrokenLinks(dir.File("site")), std::vector<std::string>{});

  // The year page → a bowler's year page with its charts → a monthly page → a score page,
  // whose images are all there.
  std::string year_text = Cp932ToUtf8(ReadFileBytes(page));
  std::smatch bowler_link;
  ASSERT_TRUE(
      std::regex_search(year_text, bowler_link, std::regex("href=\"([^/\"]+/index\\.html)\"")));
  std::string bowler_page = dir.File("site/sample" + year + "/" + bowler_link[1].str());
  std::string sheet = Cp932ToUtf8(ReadFileBytes(bowler_page));
  std::size_t charts = 0;
  for (std::size_t at = sheet.find("<svg"); at != std::string::npos;
       at = sheet.find("<svg", at + 1))
    ++charts;
  EXPECT_EQ(charts, 3u);
  std::smatch month_link;
  ASSERT_TRUE(std::regex_search(sheet, month_link, std::regex("href=\"([0-9]{6}\\.html)\"")));
  std::string monthly = fs::path(bowler_page).parent_path() / month_link[1].str();
  ASSERT_TRUE(fs::exists(monthly)) << monthly;
  std::string month_text = Cp932ToUtf8(ReadFileBytes(monthly));
  std::smatch score_link;
  ASSERT_TRUE(
      std::regex_search(month_text, score_link, std::regex("href=\"([0-9]{8}[0-9]+\\.html)\"")));
  std::string score = fs::path(monthly).parent_path() / score_link[1].str();
  ASSERT_TRUE(fs::exists(score)) << score;
  std::string score_text = Cp932ToUtf8(ReadFileBytes(score));
  std::regex image("(?:src=\"|url\\(')([^\"']+\\.jpg)");
  int images = 0;
  for (std::sregex_iterator it(score_text.begin(), score_text.end(), image), end; it != end;
       ++it, ++images) {
    fs::path target = fs::path(score).parent_path() / (*it)[1].str();
    EXPECT_TRUE(fs::exists(target)) << target;
  }
  EXPECT_GT(images, 0);

  // Run again, it reuses what is there.
  std::set<std::string> files = testing::CliSampleTest::Files(dir.Path());
  CliResult again = RunCli({"demo", dir.Path()});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out.find("サンプルデータベースを作成しました"), std::string::npos);
  EXPECT_EQ(testing::CliSampleTest::Files(dir.Path()), files);
}

}  // namespace
}  // namespace lanereport
