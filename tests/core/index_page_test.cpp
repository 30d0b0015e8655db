#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <pugixml.hpp>
#include <thread>

#include "CountingProgress.h"
#include "GameBuilder.h"
#include "PageTestSupport.h"
#include "ScoreDb.h"
#include "TempDir.h"
#include "pages/IndexPage.h"
#include "pages/IndexPageOutput.h"
#include "pages/PageLayout.h"
#include "pages/SvgChart.h"
#include "scoring/YearGames.h"
#include "scoring/clsResult_List.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/Make.h"
#include "util/NumberFormat.h"

namespace lanereport {
namespace {

using namespace testing;
namespace fs = std::filesystem;

const std::string k90 = "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-";
const std::string k200 = "X 9/ X 9/ X 9/ X 9/ X 9/X";
const std::string k300 = "X X X X X X X X X XXX";
// Every frame a spare after n pins, the bonus ball n: 100 + 10 n.
std::string Spares(int n) {
  std::string frame = std::to_string(n) + "/";
  std::string game;
  for (int f = 0; f < 9; ++f) game += frame + " ";
  return game + frame + std::to_string(n);
}

// The text of a cell without its markup, trimmed.
std::string PlainText(const std::string& markup) {
  std::string text;
  bool in_tag = false;
  for (char c : markup) {
    if (c == '<') in_tag = true;
    if (!in_tag) text += c;
    if (c == '>') in_tag = false;
  }
  std::size_t a = text.find_first_not_of(" \r\n");
  std::size_t b = text.find_last_not_of(" \r\n");
  return a == std::string::npos ? "" : text.substr(a, b - a + 1);
}

// The cells of the table with that summary, row by row, as the markup inside each cell's
// <strong>, trimmed.
std::vector<std::vector<std::string>> TableCells(const std::string& page,
                                                 const std::string& summary) {
  std::vector<std::vector<std::string>> rows;
  std::size_t start = page.find("<table summary=\"" + summary + "\"");
  if (start == std::string::npos) return rows;
  std::size_t end = page.find("</table>", start);
  for (std::size_t tr = page.find("<tr", start); tr < end; tr = page.find("<tr", tr + 1)) {
    std::size_t tr_end = page.find("</tr>", tr);
    std::vector<std::string> cells;
    for (std::size_t s = page.find("<strong>", tr); s < tr_end; s = page.find("<strong>", s + 1)) {
      std::size_t e = page.find("</strong>", s);
      std::string cell = page.substr(s + 8, e - s - 8);
      std::size_t a = cell.find_first_not_of(" \r\n");
      std::size_t b = cell.find_last_not_of(" \r\n");
      cells.push_back(a == std::string::npos ? "" : cell.substr(a, b - a + 1));
    }
    rows.push_back(cells);
  }
  return rows;
}

std::vector<std::vector<std::string>> PlainCells(const std::string& page,
                                                 const std::string& summary) {
  auto rows = TableCells(page, summary);
  for (auto& row : rows)
    for (auto& cell : row) cell = PlainText(cell);
  return rows;
}

// Every inline SVG of the page with the summary of the table that follows it.
struct PageChart {
  std::string svg;
  std::string table;
};
std::vector<PageChart> Charts(const std::string& page) {
  std::vector<PageChart> charts;
  for (std::size_t at = page.find("<svg"); at != std::string::npos;
       at = page.find("<svg", at + 1)) {
    std::size_t end = page.find("</svg>", at) + 6;
    std::size_t table = page.find("<table summary=\"", end) + 16;
    charts.push_back(
        {page.substr(at, end - at), page.substr(table, page.find('"', table) - table)});
  }
  return charts;
}

struct Mark {
  std::string kind;  // "rect" or "circle"
  std::string category, series, figure;
  double x = 0, y = 0, height = 0;
};
// The bars and points of a chart, by the <title> each carries: "{category} {series}: {figure}".
std::vector<Mark> Marks(const pugi::xml_node& svg) {
  std::vector<Mark> marks;
  for (pugi::xpath_node found : svg.select_nodes("//*[@class='bar' or @class='point']")) {
    pugi::xml_node node = found.node();
    std::string title = node.child("title").text().get();
    std::size_t colon = title.rfind(": ");
    std::size_t space = title.find(' ');
    Mark m;
    m.kind = node.name();
    m.category = title.substr(0, space);
    m.series = title.substr(space + 1, colon - space - 1);
    m.figure = title.substr(colon + 2);
    if (m.kind == "rect") {
      m.x = node.attribute("x").as_double();
      m.y = node.attribute("y").as_double();
      m.height = node.attribute("height").as_double();
    } else {
      m.x = node.attribute("cx").as_double();
      m.y = node.attribute("cy").as_double();
    }
    marks.push_back(m);
  }
  return marks;
}

// The figure a mark carries parsed as a number ("32.5%" gives 32.5).
double Figure(const Mark& m) {
  return std::stod(m.figure);
}

// Checks what every page with charts must hold: each SVG is well-formed XML with a title; each
// bar and point names a category and a series of the table beneath and carries that table's
// figure; bars are as high as their figures on one scale, points of one series lie higher the
// greater their figure.
void ExpectChartsMatchTheirTables(const std::string& page, std::size_t expected_charts) {
  std::vector<PageChart> charts = Charts(page);
  ASSERT_EQ(charts.size(), expected_charts);
  for (const PageChart& chart : charts) {
    SCOPED_TRACE(chart.table);
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_string(chart.svg.c_str());
    ASSERT_TRUE(parsed) << parsed.description();
    pugi::xml_node svg = doc.child("svg");
    EXPECT_STREQ(svg.attribute("xmlns").value(), "http://www.w3.org/2000/svg");
    EXPECT_FALSE(std::string(svg.child("title").text().get()).empty());

    auto rows = PlainCells(page, chart.table);
    ASSERT_GE(rows.size(), 2u);
    const std::vector<std::string>& categories = rows[0];
    std::vector<Mark> marks = Marks(svg);
    EXPECT_FALSE(marks.empty());
    std::map<std::string, double> scale;  // height per unit, per series of bars
    std::map<std::string, std::vector<Mark>> points;
    for (const Mark& m : marks) {
      auto column = std::find(categories.begin() + 1, categories.end(), m.category);
      ASSERT_NE(column, categories.end()) << m.category;
      auto row = std::find_if(rows.begin() + 1, rows.end(),
                              [&](const auto& r) { return r[0] == m.series; });
      ASSERT_NE(row, rows.end()) << m.series;
      EXPECT_EQ((*row)[column - categories.begin()], m.figure) << m.category << " " << m.series;
      if (m.kind == "rect" && Figure(m) > 0) {
        double per_unit = m.height / Figure(m);
        if (!scale.count(m.series)) scale[m.series] = per_unit;
        EXPECT_NEAR(per_unit, scale[m.series], 0.11 / Figure(m) + 0.01 * per_unit) << m.category;
      }
      if (m.kind == "circle") points[m.series].push_back(m);
    }
    for (auto& [series, list] : points) {
      for (const Mark& a : list)
        for (const Mark& b : list)
          if (Figure(a) > Figure(b)) {
            EXPECT_LT(a.y, b.y) << a.category << " " << b.category;
          }
    }
  }
}

// Centres 中央レーン (1), 第一ボウル (2); levels 公式戦 (1), リーグ戦 (2), 練習 (3, not counted).
class IndexPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Database& db = fx_.Db();
    AddBowler(db, "山田太郎", "yamada", 1);
    AddBowler(db, "新人", "rookie", 2);
    AddBowler(db, "練習生", "renshu", 3);
    AddAlley(db, "中央レーン", 1, true);
    AddAlley(db, "第一ボウル", 2, false);
    AddLevel(db, "公式戦", 1, true);
    AddLevel(db, "リーグ戦", 2, true, "#0000ff");
    AddLevel(db, "練習", 3, false);
    look_.Background = "#336699";
    look_.CharacterColor = "#FFFFFF";
  }

  void Game(const std::string& date, const std::string& alley, const std::string& level,
            long number, const std::string& notation, const std::string& bowler = "山田太郎") {
    AddNotatedGame(fx_.Db(), bowler, alley, level, date, number, notation);
  }

  // 山田太郎 in 2024: 300, 200, 190 on 03/10; 150, 90 on 03/24; 170 on 05/06; the practice
  // and the game of 2023 do not count. 新人 has one counted game, 練習生 only practice.
  void AddYear() {
    Game("2024/03/10", "中央レーン", "公式戦", 1, k300);
    Game("2024/03/10", "中央レーン", "公式戦", 2, k200);
    Game("2024/03/10", "中央レーン", "公式戦", 3, Spares(9));
    Game("2024/03/24", "第一ボウル", "リーグ戦", 1, Spares(5));
    Game("2024/03/24", "第一ボウル", "リーグ戦", 2, k90);
    Game("2024/05/06", "中央レーン", "公式戦", 1, Spares(7));
    Game("2024/05/06", "中央レーン", "練習", 1, k300);
    Game("2023/12/31", "中央レーン", "公式戦", 1, k90);
    Game("2024/05/06", "中央レーン", "公式戦", 1, k90, "新人");
    Game("2024/06/01", "中央レーン", "練習", 1, k200, "練習生");
  }

  PageContext Context() { return PageContext{fx_.Db(), "score", look_, out_.Path(), progress_}; }
  std::string Read(const std::string& relative) {
    return Cp932ToUtf8(ReadFileBytes(out_.File(relative)));
  }

  ScoreDbFixture fx_;
  TempDir out_;
  WindowSettings look_;
  CountingProgress progress_;
};

TEST_F(IndexPageTest, BowlerYearPageShowsTheYearsFiguresChartsMonthsAndPlays) {
  AddYear();
  // Of the tables, only the March page and the page of the first play are there.
  MakeFile(out_.File("score2024/yamada/202403.html"), "march");
  MakeFile(out_.File("score2024/yamada/2024031011.html"), "play");
  PageContext context = Context();
  IndexRunResult run = OutputIndexPages(context, "2024", {"山田太郎"});
  EXPECT_EQ(run.pages, 2);
  EXPECT_EQ(run.written, (std::vector<std::string>{out_.File("score2024/yamada/index.html"),
                                                   out_.File("score2024/index.html")}));
  EXPECT_TRUE(run.left_alone.empty());
  std::string bytes = ReadFileBytes(out_.File("score2024/yamada/index.html"));
  std::string page = Cp932ToUtf8(bytes);

  // The skeleton of the other pages, with the marker after the Generator line.
  EXPECT_EQ(page.rfind(R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">)"
                       "\r\n<html lang=\"ja\">\r\n",
                       0),
            0u);
  EXPECT_NE(page.find("       <meta name=\"Generator\" content=\"ZEPA\">\r       <!-- ZEPA "
                      "index-pages year=\"2024\" folder=\"yamada\" bowler=\"山田太郎\" -->\r\n"),
            std::string::npos);
  EXPECT_NE(page.find("   <body style=\"background-color:#336699;color:#FFFFFF;\">\r\n"),
            std::string::npos);
  EXPECT_NE(page.find("<title>2024年の成績</title>"), std::string::npos);
  EXPECT_EQ(PlainCells(page, "name"),
            (std::vector<std::vector<std::string>>{{"投球者：", "山田太郎"}}));
  EXPECT_TRUE(page.ends_with("   </body>\r\n</html>\r\n"));
  EXPECT_EQ(page.find("\n\n"), std::string::npos);
  EXPECT_NE(page.find("<a href=\"../index.html\">2024年のボウラー一覧</a>"), std::string::npos);

  // The year: six counted games, 1100 pins, one complete series of 690.
  auto summary = TableCells(page, "year");
  ASSERT_EQ(summary.size(), 2u);
  EXPECT_EQ(summary[1],
            (std::vector<std::string>{"6", "1100", "183.3", "300", "90", "690", "690"}));
  EXPECT_NE(page.find("<td style=\"background-color:#ccffcc;\">\r\n                       "
                      "<strong>\r\n                           183.3"),
            std::string::npos);

  // The monthly averages and games, every month of the year.
  auto months = PlainCells(page, "monthly average");
  ASSERT_EQ(months.size(), 3u);
  EXPECT_EQ(months[0][3], "3月");
  EXPECT_EQ(months[1], (std::vector<std::string>{"AVG", "-", "-", "186.0", "-", "170.0", "-", "-",
                                                 "-", "-", "-", "-", "-"}));
  EXPECT_EQ(months[2], (std::vector<std::string>{"ｹﾞｰﾑ数", "0", "0", "5", "0", "1", "0", "0", "0",
                                                 "0", "0", "0", "0"}));

  // The distribution from the lowest band with a game to the highest, 300 a band of its own.
  auto bands = PlainCells(page, "distribution");
  ASSERT_EQ(bands.size(), 2u);
  ASSERT_EQ(bands[0].size(), 23u);
  EXPECT_EQ(bands[0][1], "90-99");
  EXPECT_EQ(bands[0][22], "300");
  std::map<std::string, std::string> counts;
  for (std::size_t i = 1; i < bands[0].size(); ++i) counts[bands[0][i]] = bands[1][i];
  EXPECT_EQ(counts["90-99"], "1");
  EXPECT_EQ(counts["100-109"], "0");
  EXPECT_EQ(counts["150-159"], "1");
  EXPECT_EQ(counts["170-179"], "1");
  EXPECT_EQ(counts["190-199"], "1");
  EXPECT_EQ(counts["200-209"], "1");
  EXPECT_EQ(counts["290-299"], "0");
  EXPECT_EQ(counts["300"], "1");

  // Rates by frame: frame 1 has two strikes in six games and three spares of four chances,
  // frame 2 one strike and four spares of five; frame 10 is the rates' index 0, the same
  // figures as the game list of the year gives.
  auto rates = PlainCells(page, "frame rates");
  ASSERT_EQ(rates.size(), 4u);
  EXPECT_EQ(rates[0],
            (std::vector<std::string>{"ﾌﾚｰﾑ", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
  EXPECT_EQ(rates[1][0], "ストライク率");
  EXPECT_EQ(rates[1][1], "33.3%");
  EXPECT_EQ(rates[2][1], "75.0%");
  EXPECT_EQ(rates[3][1], "16.7%");
  EXPECT_EQ(rates[1][2], "16.7%");
  EXPECT_EQ(rates[2][2], "80.0%");
  clsResult_List same(fx_.Db());
  same.SelectRecord("Bowler_Name = '山田太郎' And Play_Date Like '2024%' And Level_Name <> '練習'",
                    0);
  same.CalcProbability();
  EXPECT_EQ(rates[1][10], FormatFixed1(same.Probability(0, kRateStrike)) + "%");
  EXPECT_EQ(rates[2][10], FormatFixed1(same.Probability(0, kRateSpare)) + "%");
  EXPECT_EQ(rates[3][10], FormatFixed1(same.Probability(0, kRateOpen)) + "%");
  // Frame 10 counts its bonus balls: seven spares of eight chances, against 75.0 in frame 9.
  EXPECT_EQ(rates[2][10], "87.5%");
  EXPECT_EQ(rates[2][9], "75.0%");

  ExpectChartsMatchTheirTables(page, 3);

  // The months with games, linked only when their monthly page is there.
  auto month_rows = TableCells(page, "months");
  ASSERT_EQ(month_rows.size(), 3u);
  EXPECT_EQ(month_rows[1], (std::vector<std::string>{"<a href=\"202403.html\">2024/03</a>", "5",
                                                     "930", "186.0", "300", "90"}));
  EXPECT_EQ(month_rows[2],
            (std::vector<std::string>{"2024/05", "1", "170", "170.0", "170", "170"}));

  // The plays newest first, linked only when their score page is there.
  auto plays = TableCells(page, "plays");
  ASSERT_EQ(plays.size(), 4u);
  EXPECT_EQ(plays[1], (std::vector<std::string>{"2024/05/06", "中央レーン", "公式戦", "1", "170"}));
  EXPECT_EQ(plays[2],
            (std::vector<std::string>{"2024/03/24", "第一ボウル", "リーグ戦", "2", "240"}));
  EXPECT_EQ(plays[3], (std::vector<std::string>{"<a href=\"2024031011.html\">2024/03/10</a>",
                                                "中央レーン", "公式戦", "3", "690"}));

  // Every chart text is one that code page 932 holds: no character reference in the file.
  for (std::size_t at = bytes.find("<svg"); at != std::string::npos;
       at = bytes.find("<svg", at + 1))
    EXPECT_EQ(bytes.substr(at, bytes.find("</svg>", at) - at).find("&#"), std::string::npos);
  // The pages of the other bowlers were not asked for.
  EXPECT_FALSE(fs::exists(out_.File("score2024/rookie")));
}

TEST_F(IndexPageTest, YearPageListsTheYearsBowlersAndLinksWhatIsThere) {
  AddYear();
  MakeFile(out_.File("yamada.html"), "profile");
  MakeFile(out_.File("rookie.html"), "profile");
  MakeFile(out_.File("score2024/Month-2024.html"), "sheet");
  MakeFile(out_.File("score2024/Month-2023.html"), "sheet of another year");
  MakeFile(out_.File("score2024/score2024.xlsx"), "book");
  // The look's image and style sheet lie in the output folder, one level above this page and
  // two above the bowler's.
  look_.Background = "jpg/BG.jpg";
  look_.StyleSheet = "style.css";
  PageContext context = Context();
  ASSERT_EQ(OutputIndexPages(context, "2024", {"山田太郎"}).pages, 2);
  std::string page = Read("score2024/index.html");
  EXPECT_NE(page.find("<!-- ZEPA index-pages year=\"2024\" -->\r\n"), std::string::npos);
  EXPECT_NE(page.find("<link rel=\"stylesheet\" type=\"text/css\" href=\"../style.css\">"),
            std::string::npos);
  EXPECT_NE(page.find("<body style=\"background:url('../jpg/BG.jpg');"), std::string::npos);
  EXPECT_NE(
      Read("score2024/yamada/index.html").find("<body style=\"background:url('../../jpg/BG.jpg');"),
      std::string::npos);
  EXPECT_EQ(PlainCells(page, "name"),
            (std::vector<std::vector<std::string>>{{"年度：", "2024年"}}));
  // Number order; the practising bowler has no counted game; the rookie has no year page yet.
  auto bowlers = TableCells(page, "bowlers");
  ASSERT_EQ(bowlers.size(), 3u);
  EXPECT_EQ(bowlers[1],
            (std::vector<std::string>{"1", "<a href=\"yamada/index.html\">山田太郎</a>", "6",
                                      "183.3", "300", "<a href=\"../yamada.html\">紹介</a>"}));
  EXPECT_EQ(bowlers[2], (std::vector<std::string>{"2", "新人", "1", "90.0", "90",
                                                  "<a href=\"../rookie.html\">紹介</a>"}));
  EXPECT_EQ(TableCells(page, "workbook"), (std::vector<std::vector<std::string>>{
                                              {"<a href=\"Month-2024.html\">Month</a>"},
                                              {"<a href=\"score2024.xlsx\">score2024.xlsx</a>"}}));

  // Every bowler of the year: the rookie's page is made and linked now.
  IndexRunResult all = OutputIndexPages(context, "2024", {}, true);
  EXPECT_EQ(all.pages, 3);
  EXPECT_TRUE(fs::exists(out_.File("score2024/rookie/index.html")));
  EXPECT_FALSE(fs::exists(out_.File("score2024/renshu")));
  EXPECT_EQ(TableCells(Read("score2024/index.html"), "bowlers")[2][1],
            "<a href=\"rookie/index.html\">新人</a>");
  ExpectChartsMatchTheirTables(Read("score2024/rookie/index.html"), 3);
}

// Every file under the folder, by its path relative to it, with its bytes.
std::map<std::string, std::string> TreeBytes(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), folder).string()] = ReadFileBytes(entry.path().string());
  return files;
}

TEST_F(IndexPageTest, PagesFinishedFromDraftsMadeAheadAreThePagesMadeAtOnce) {
  AddYear();
  // The tables a run puts in place while the drafts are made: the links are those of the
  // pages there when the drafts are finished.
  auto tables = [](TempDir& out) {
    MakeFile(out.File("score2024/yamada/202403.html"), "march");
    MakeFile(out.File("score2024/yamada/2024031011.html"), "play");
    MakeFile(out.File("score2024/rookie/202405.html"), "may");
  };
  tables(out_);
  PageContext at_once = Context();
  ASSERT_EQ(OutputIndexPages(at_once, "2024", {"山田太郎", "新人"}).pages, 3);
  const std::map<std::string, std::string> expected = TreeBytes(out_.Path());
  ASSERT_EQ(expected.size(), 6u);

  // Every draft made by two threads at once, one draft only, or none: the index run makes
  // what was not drafted itself.
  for (int drafted : {2, 1, 0}) {
    SCOPED_TRACE(drafted);
    TempDir out;
    PageContext context{fx_.Db(), "score", look_, out.Path(), progress_};
    YearGames year(fx_.Db(), "2024");
    ASSERT_TRUE(year.Serves("20240101", "20241231"));
    context.year_games = &year;
    IndexDraftsAhead drafts(context, "2024", year);
    if (drafted == 2) {
      std::thread other([&] {
        while (drafts.DraftNext()) {
        }
      });
      while (drafts.DraftNext()) {
      }
      other.join();
    } else if (drafted == 1) {
      EXPECT_TRUE(drafts.DraftNext());
    }
    context.index_drafts = &drafts;
    tables(out);
    IndexRunResult run = OutputIndexPages(context, "2024", {"山田太郎", "新人"});
    EXPECT_EQ(run.pages, 3);
    EXPECT_EQ(TreeBytes(out.Path()), expected);
    // The drafts are handed over once; a second run of the year makes its pages itself.
    EXPECT_FALSE(drafts.Take("2024"));
    EXPECT_FALSE(drafts.DraftNext());
    EXPECT_EQ(OutputIndexPages(context, "2024", {"山田太郎", "新人"}).pages, 3);
    EXPECT_EQ(TreeBytes(out.Path()), expected);
  }

  // Drafts of another year are not taken.
  YearGames year(fx_.Db(), "2024");
  PageContext context = Context();
  IndexDraftsAhead drafts(context, "2024", year);
  EXPECT_FALSE(drafts.Take("2023"));
}

TEST_F(IndexPageTest, AnIndexPageOfTheUsersIsNeverWrittenOver) {
  AddYear();
  PageContext context = Context();
  // The user's own start page in the bowler's folder, and a monthly page copied to that name:
  // it carries the Generator line but not the marker.
  MakeFile(out_.File("score2024/yamada/index.html"), "<html>my own page</html>");
  std::string monthly =
      Utf8ToCp932("<meta name=\"Generator\" content=\"ZEPA\">\r<title>月間表</title>\r\n");
  MakeFile(out_.File("score2024/rookie/index.html"), monthly);
  IndexRunResult run = OutputIndexPages(context, "2024", {}, true);
  EXPECT_EQ(run.left_alone, (std::vector<std::string>{out_.File("score2024/yamada/index.html"),
                                                      out_.File("score2024/rookie/index.html")}));
  EXPECT_EQ(run.pages, 1);  // the year's page
  EXPECT_EQ(ReadFileBytes(out_.File("score2024/yamada/index.html")), "<html>my own page</html>");
  EXPECT_EQ(ReadFileBytes(out_.File("score2024/rookie/index.html")), monthly);
  // The year's page links them all the same: they are files that are there.
  EXPECT_NE(Read("score2024/index.html").find("<a href=\"yamada/index.html\">"), std::string::npos);

  // A page of this program is written again, also a read-only one; the year's page and a page
  // made for another folder are not the bowler's.
  fs::remove(out_.File("score2024/yamada/index.html"));
  ASSERT_EQ(OutputIndexPages(context, "2024", {"山田太郎"}).pages, 2);
  std::string ours = ReadFileBytes(out_.File("score2024/yamada/index.html"));
  MakeFile(out_.File("score2024/yamada/index.html"), ours + "<!-- edited -->");
  ::chmod(out_.File("score2024/yamada/index.html").c_str(), 0444);
  EXPECT_EQ(OutputIndexPages(context, "2024", {"山田太郎"}).pages, 2);
  EXPECT_EQ(ReadFileBytes(out_.File("score2024/yamada/index.html")), ours);

  MakeFile(out_.File("score2024/yamada/index.html"),
           ReadFileBytes(out_.File("score2024/index.html")));
  EXPECT_EQ(OutputIndexPages(context, "2024", {"山田太郎"}).left_alone.size(), 1u);
  MakeFile(out_.File("score2024/rookie/index.html"), ours);
  run = OutputIndexPages(context, "2024", {"新人"});
  EXPECT_EQ(run.left_alone, std::vector<std::string>{out_.File("score2024/rookie/index.html")});
  EXPECT_EQ(ReadFileBytes(out_.File("score2024/rookie/index.html")), ours);

  // The same rule for the year's page.
  MakeFile(out_.File("score2024/index.html"), "<html>our club</html>");
  run = OutputIndexPages(context, "2024", {}, true);
  EXPECT_EQ(run.left_alone.back(), out_.File("score2024/index.html"));
  EXPECT_EQ(ReadFileBytes(out_.File("score2024/index.html")), "<html>our club</html>");
}

TEST_F(IndexPageTest, RecognisesItsOwnPagesByGeneratorLineAndMarker) {
  std::string key = BowlerIndexKey("2024", "yamada");
  std::string marker = BowlerIndexMarker("2024", "yamada", "山田太郎");
  std::string generator = "<meta name=\"Generator\" content=\"ZEPA\">\r";
  EXPECT_TRUE(IsOwnIndexPage(Utf8ToCp932(generator + marker), key));
  // A renamed bowler's page is still ours: the folder decides.
  EXPECT_TRUE(
      IsOwnIndexPage(Utf8ToCp932(generator + BowlerIndexMarker("2024", "yamada", "山田")), key));
  EXPECT_FALSE(IsOwnIndexPage(Utf8ToCp932(marker), key));
  EXPECT_FALSE(IsOwnIndexPage(generator, key));
  EXPECT_FALSE(
      IsOwnIndexPage(Utf8ToCp932(generator + BowlerIndexMarker("2024", "yamada2", "x")), key));
  EXPECT_FALSE(
      IsOwnIndexPage(Utf8ToCp932(generator + BowlerIndexMarker("2023", "yamada", "x")), key));
  EXPECT_FALSE(IsOwnIndexPage(Utf8ToCp932(generator + YearIndexMarker("2024")), key));
  // A comment holds no "--" whatever the names hold.
  std::string odd = BowlerIndexMarker("2024", "a--b", "x-->y");
  EXPECT_EQ(odd.substr(4, odd.size() - 7).find("--"), std::string::npos) << odd;
}

TEST_F(IndexPageTest, NothingIsWrittenForAYearWithoutGamesOfTheNamedBowlers) {
  AddYear();
  PageContext context = Context();
  EXPECT_EQ(OutputIndexPages(context, "2022", {}, true).pages, 0);
  EXPECT_EQ(OutputIndexPages(context, "2024", {"練習生"}).pages, 0);
  EXPECT_EQ(OutputIndexPages(context, "2024", {"誰か"}).pages, 0);
  EXPECT_TRUE(fs::is_empty(out_.Path()));
}

TEST_F(IndexPageTest, StoredTextsAreEscapedAndUnsafeFoldersGetNoPage) {
  AddBowler(fx_.Db(), "外の人", "../out", 4);
  AddAlley(fx_.Db(), "A&B <1>", 3, false);
  Game("2024/08/01", "A&B <1>", "公式戦", 1, k90);
  Game("2024/08/01", "中央レーン", "公式戦", 1, k90, "外の人");
  PageContext context = Context();
  IndexRunResult run = OutputIndexPages(context, "2024", {}, true);
  EXPECT_EQ(run.written, (std::vector<std::string>{out_.File("score2024/yamada/index.html"),
                                                   out_.File("score2024/index.html")}));
  std::string page = Read("score2024/yamada/index.html");
  EXPECT_EQ(TableCells(page, "plays")[1][1], "A&amp;B &lt;1&gt;");
  ExpectChartsMatchTheirTables(page, 3);
  // The bowler whose folder cannot be one is listed without links.
  auto bowlers = TableCells(Read("score2024/index.html"), "bowlers");
  ASSERT_EQ(bowlers.size(), 3u);
  EXPECT_EQ(bowlers[2][1], "外の人");
  EXPECT_EQ(bowlers[2][5], "-");
  EXPECT_FALSE(fs::exists(out_.File("out")));
}

TEST(SvgChartTest, AxisFitsTheValuesInFewWholeSteps) {
  ValueAxis a = FitValueAxis(178, 191, 0, 300);
  EXPECT_EQ(a.min, 175);
  EXPECT_EQ(a.max, 195);
  EXPECT_EQ(a.step, 5);
  ValueAxis counts = FitValueAxis(0, 37, 0, 1e9);
  EXPECT_EQ(counts.min, 0);
  EXPECT_EQ(counts.max, 40);
  EXPECT_EQ(counts.step, 10);
  ValueAxis one = FitValueAxis(0, 1, 0, 1e9);
  EXPECT_EQ(one.max, 1);
  ValueAxis flat = FitValueAxis(170, 170, 0, 300);
  EXPECT_LT(flat.min, flat.max);
  ValueAxis top = FitValueAxis(285, 305, 0, 300);
  EXPECT_EQ(top.max, 300);
  EXPECT_LE((top.max - top.min) / top.step, 6);
}

TEST(SvgChartTest, BarsLinesAndGapsAreDrawnOnTheAxis) {
  ChartSpec chart;
  chart.title = "a <b> & \"c\"";
  chart.categories = {"1", "2", "3", "4"};
  chart.axis_min = 0;
  chart.axis_max = 100;
  chart.axis_step = 50;
  chart.series.push_back(
      {"x", "#ff0000", false, {10, 50, std::nullopt, 150}, {"10", "50", "-", "150"}});
  chart.series.push_back(
      {"y", "#0000ff", true, {20, std::nullopt, 60, 80}, {"20", "-", "60", "80"}});
  PageText page;
  AppendSvgChart(page, 7, chart);
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(page.Text().c_str()));
  pugi::xml_node svg = doc.child("svg");
  EXPECT_STREQ(svg.child("title").text().get(), "a <b> & \"c\"");
  std::vector<Mark> marks = Marks(svg);
  ASSERT_EQ(marks.size(), 6u);  // three bars and three points; the gaps draw nothing
  // A bar's foot is the axis; 150 is drawn at the top of the axis.
  EXPECT_NEAR(marks[0].y + marks[0].height, marks[1].y + marks[1].height, 0.05);
  EXPECT_NEAR(marks[1].height, 5 * marks[0].height, 0.2);
  EXPECT_NEAR(marks[2].height, 2 * marks[1].height, 0.2);
  // The bars of category 2 and the point of category 3 keep their slots.
  EXPECT_LT(marks[1].x, marks[4].x);
  EXPECT_LT(marks[4].x, marks[2].x);
  EXPECT_EQ(marks[4].category, "3");
  // The line: solid along 3 and 4, dashed across the gap from 1.
  std::vector<std::string> lines;
  for (pugi::xml_node l : svg.children("polyline"))
    lines.push_back(l.attribute("stroke-dasharray").value());
  EXPECT_EQ(lines, (std::vector<std::string>{"4 3", ""}));
}

}  // namespace
}  // namespace lanereport
