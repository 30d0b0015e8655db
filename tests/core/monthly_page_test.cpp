#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "CountingProgress.h"
#include "GameBuilder.h"
#include "PageTestSupport.h"
#include "ScoreDb.h"
#include "TempDir.h"
#include "pages/MonthlyPage.h"
#include "pages/MonthlyPageOutput.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/Make.h"

namespace lanereport {
namespace {

using namespace testing;

// Games of known scores in the notation of BowlingNotation.h.
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

// The page start of a monthly page for 山田太郎 with a colour background, a text colour and a
// style sheet.
constexpr std::string_view kStart =
    R"page(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html lang="ja">
   <head>
       <meta http-equiv="content-type" content="text/html; charset=shift_jis">
       <meta http-equiv="content-style-type" content="text/html; charset=shift_jis">
       <meta name="keywords" content="ZepaMasters">⏎
       <meta name="Generator" content="ZEPA">⏎
       <link rev="made" href="mailto:{MADE}">
       <link rel="start" href="index.html">
       <link rel="stylesheet" type="text/css" href="../../css/m.css">
       <title>月間表</title>
   </head>
   <body style="background-color:#336699;color:#FFFFFF;">
       <table summary="name" border="0" width="100%">
           <tbody>
               <tr>
                   <td style="width:70;">
                       <strong>
                           投球者：
                       </strong>
                   </td>
                   <td>
                       <strong>
                           山田太郎
                       </strong>
                   </td>
               </tr>
           </tbody>
       </table>
)page";

constexpr std::string_view kEnd = R"page(           </tbody>
       </table>
       <table summary="ZEPA" border="0" width="100%">
           <tbody>
               <tr align="right">
                   <td>
                       <a href="{HOME}" accesskey="s">GENERATOR <em>ZEPA</em></a>
                   </td>
               </tr>
           </tbody>
       </table>
   </body>
</html>
)page";

// May 2024: 300, 200, 190 on the 20th; 150, 90 on the 6th. Total 930, 5 games, 186.0.
constexpr std::string_view kMay =
    R"page(       <table summary="total" border="1" width="100%" style="background-color:#ffffff;">
           <tbody>
               <tr align="center">
                   <td style="background-color:#c0c0c0;">
                       <strong>
                           ﾄｰﾀﾙﾋﾟﾝ数
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;">
                       <strong>
                           ｹﾞｰﾑ数
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;">
                       <strong>
                           AVG
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;">
                       <strong>
                           ﾊｲｽｺｱ
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;">
                       <strong>
                           ﾛｰｽｺｱ
                       </strong>
                   </td>
               </tr>
               <tr align="center">
                   <td style="background-color:#ccffcc;">
                       <strong>
                           930
                       </strong>
                   </td>
                   <td style="background-color:#ccffcc;">
                       <strong>
                           5
                       </strong>
                   </td>
                   <td style="background-color:#ccffcc;">
                       <strong>
                           186.0
                       </strong>
                   </td>
                   <td style="background-color:#ffccff;">
                       <strong>
                           300
                       </strong>
                   </td>
                   <td style="background-color:#ccffff;">
                       <strong>
                           90
                       </strong>
                   </td>
               </tr>
           </tbody>
       </table>
       <p>
           <br>
       </p>
       <table summary="grade" border="1" width="100%" style="background-color:#ffffff;">
           <tbody>
               <tr align="center">
                   <td style="width:70;background-color:#c0c0c0;">
                       <strong>
                           日付
                       </strong>
                   </td>
                   <td style="width:100;background-color:#c0c0c0;">
                       <strong>
                           ボウリング場
                       </strong>
                   </td>
                   <td style="width:45;background-color:#c0c0c0;">
                       <strong>
                           AVG
                       </strong>
                   </td>
                   <td style="width:30;background-color:#c0c0c0;">
                       <strong>
                           1
                       </strong>
                   </td>
                   <td style="width:30;background-color:#c0c0c0;">
                       <strong>
                           2
                       </strong>
                   </td>
                   <td style="width:30;background-color:#c0c0c0;">
                       <strong>
                           3
                       </strong>
                   </td>
                   <td style="width:50;background-color:#c0c0c0;">
                       <strong>
                           ｼﾘｰｽﾞ
                       </strong>
                   </td>
                   <td style="width:45;background-color:#c0c0c0;">
                       <strong>
                           ﾄｰﾀﾙ
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;">
                       <strong>
                           備考
                       </strong>
                   </td>
               </tr>
               <tr align="center">
                   <td>
                       <strong>
                           <a href="2024052022.html" accesskey="r" title="2024052022">2024/05/20</a>
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:#ff0000;">
                       <strong>
                           中央レーン
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:#ffff00;">
                       <strong>
                           230.0
                       </strong>
                   </td>
                   <td style="background-color:#ffccff;">
                       <strong>
                           300
                       </strong>
                   </td>
                   <td style="background-color:#ffffcc;">
                       <strong>
                           200
                       </strong>
                   </td>
                   <td style="background-color:#ccffcc;">
                       <strong>
                           190
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:#ffff00;">
                       <strong>
                           690
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:#ffff00;">
                       <strong>
                           690
                       </strong>
                   </td>
                   <td>
                       -
                   </td>
               </tr>
               <tr align="center">
                   <td>
                       <strong>
                           <a href="2024050633.html" accesskey="r" title="2024050633">2024/05/06</a>
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:#0000ff;">
                       <strong>
                           第一ボウル
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:#000000;">
                       <strong>
                           120.0
                       </strong>
                   </td>
                   <td style="background-color:#ccffcc;">
                       <strong>
                           150
                       </strong>
                   </td>
                   <td style="background-color:#ccffff;">
                       <strong>
                           90
                       </strong>
                   </td>
                   <td>
                       -
                   </td>
                   <td style="background-color:#c0c0c0;">
                       -
                   </td>
                   <td style="background-color:#c0c0c0;color:#000000;">
                       <strong>
                           240
                       </strong>
                   </td>
                   <td>
                       -
                   </td>
               </tr>
)page";

// June 2024: seven games on the 10th (150 160 170 180 190 200 90, 1140, 162.9) at 中央レーン in
// 交流戦 (no colour), four on the 3rd (90 90 90 300, 570, 142.5) at 幻のレーン, a centre missing
// from its table, in 特別戦 (colour "ピンク"). Total 1710, 11 games, 155.5.
constexpr std::string_view kJune =
    R"page(       <table summary="total" border="1" width="100%" style="background-color:#ffffff;">
           <tbody>
               <tr align="center">
                   <td style="background-color:#c0c0c0;">
                       <strong>
                           ﾄｰﾀﾙﾋﾟﾝ数
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;">
                       <strong>
                           ｹﾞｰﾑ数
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;">
                       <strong>
                           AVG
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;">
                       <strong>
                           ﾊｲｽｺｱ
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;">
                       <strong>
                           ﾛｰｽｺｱ
                       </strong>
                   </td>
               </tr>
               <tr align="center">
                   <td style="background-color:#ccffcc;">
                       <strong>
                           1710
                       </strong>
                   </td>
                   <td style="background-color:#ccffcc;">
                       <strong>
                           11
                       </strong>
                   </td>
                   <td style="background-color:#ccffcc;">
                       <strong>
                           155.5
                       </strong>
                   </td>
                   <td style="background-color:#ffccff;">
                       <strong>
                           300
                       </strong>
                   </td>
                   <td style="background-color:#ccffff;">
                       <strong>
                           90
                       </strong>
                   </td>
               </tr>
           </tbody>
       </table>
       <p>
           <br>
       </p>
       <table summary="grade" border="1" width="100%" style="background-color:#ffffff;">
           <tbody>
               <tr align="center">
                   <td style="width:70;background-color:#c0c0c0;">
                       <strong>
                           日付
                       </strong>
                   </td>
                   <td style="width:100;background-color:#c0c0c0;">
                       <strong>
                           ボウリング場
                       </strong>
                   </td>
                   <td style="width:45;background-color:#c0c0c0;">
                       <strong>
                           AVG
                       </strong>
                   </td>
                   <td style="width:30;background-color:#c0c0c0;">
                       <strong>
                           1
                       </strong>
                   </td>
                   <td style="width:30;background-color:#c0c0c0;">
                       <strong>
                           2
                       </strong>
                   </td>
                   <td style="width:30;background-color:#c0c0c0;">
                       <strong>
                           3
                       </strong>
                   </td>
                   <td style="width:50;background-color:#c0c0c0;">
                       <strong>
                           ｼﾘｰｽﾞ
                       </strong>
                   </td>
                   <td style="width:30;background-color:#c0c0c0;">
                       <strong>
                           4
                       </strong>
                   </td>
                   <td style="width:30;background-color:#c0c0c0;">
                       <strong>
                           5
                       </strong>
                   </td>
                   <td style="width:30;background-color:#c0c0c0;">
                       <strong>
                           6
                       </strong>
                   </td>
                   <td style="width:50;background-color:#c0c0c0;">
                       <strong>
                           ｼﾘｰｽﾞ
                       </strong>
                   </td>
                   <td style="width:45;background-color:#c0c0c0;">
                       <strong>
                           ﾄｰﾀﾙ
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;">
                       <strong>
                           備考
                       </strong>
                   </td>
               </tr>
               <tr align="center">
                   <td rowspan="2">
                       <strong>
                           <a href="2024061025.html" accesskey="r" title="2024061025">2024/06/10</a>
                       </strong>
                   </td>
                   <td rowspan="2" style="background-color:#c0c0c0;">
                       <strong>
                           中央レーン
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:#009933;" rowspan="2">
                       <strong>
                           162.9
                       </strong>
                   </td>
                   <td style="background-color:#ccffcc;">
                       <strong>
                           150
                       </strong>
                   </td>
                   <td style="background-color:#ccffcc;">
                       <strong>
                           160
                       </strong>
                   </td>
                   <td style="background-color:#ccffcc;">
                       <strong>
                           170
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:#009933;">
                       <strong>
                           480
                       </strong>
                   </td>
                   <td style="background-color:#ccffcc;">
                       <strong>
                           180
                       </strong>
                   </td>
                   <td style="background-color:#ccffcc;">
                       <strong>
                           190
                       </strong>
                   </td>
                   <td style="background-color:#ffffcc;">
                       <strong>
                           200
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:#009933;">
                       <strong>
                           570
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:#009933;" rowspan="2">
                       <strong>
                           1140
                       </strong>
                   </td>
                   <td rowspan="2">
                       -
                   </td>
               </tr>
               <tr align="center">
                   <td style="background-color:#ccffff;">
                       <strong>
                           90
                       </strong>
                   </td>
                   <td>
                       -
                   </td>
                   <td>
                       -
                   </td>
                   <td style="background-color:#c0c0c0;">
                       -
                   </td>
                   <td>
                       -
                   </td>
                   <td>
                       -
                   </td>
                   <td>
                       -
                   </td>
                   <td style="background-color:#c0c0c0;">
                       -
                   </td>
               </tr>
               <tr align="center">
                   <td>
                       <strong>
                           <a href="2024060316.html" accesskey="r" title="2024060316">2024/06/03</a>
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:ピンク;">
                       <strong>
                           幻のレーン
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:#000000;">
                       <strong>
                           142.5
                       </strong>
                   </td>
                   <td style="background-color:#ccffff;">
                       <strong>
                           90
                       </strong>
                   </td>
                   <td style="background-color:#ccffff;">
                       <strong>
                           90
                       </strong>
                   </td>
                   <td style="background-color:#ccffff;">
                       <strong>
                           90
                       </strong>
                   </td>
                   <td style="background-color:#c0c0c0;color:#006699;">
                       <strong>
                           270
                       </strong>
                   </td>
                   <td style="background-color:#ffccff;">
                       <strong>
                           300
                       </strong>
                   </td>
                   <td>
                       -
                   </td>
                   <td>
                       -
                   </td>
                   <td style="background-color:#c0c0c0;">
                       -
                   </td>
                   <td style="background-color:#c0c0c0;color:#000000;">
                       <strong>
                           570
                       </strong>
                   </td>
                   <td>
                       -
                   </td>
               </tr>
)page";

const std::string kCrLf = "\r\n";

std::string Page(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view p : parts) text += p;
  return PageLines(text, kCrLf);
}

// Centres 閉店 (1), 中央レーン (2), 第一ボウル (3); levels 予備 (1), 公式戦 (2, "#ff0000"),
// リーグ戦 (3, "#0000ff"), 練習 (4, not counted), 交流戦 (5, no colour), 特別戦 (6, "ピンク").
class MonthlyPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Database& db = fx_.Db();
    AddBowler(db, "山田太郎", "yamada", 1);
    AddBowler(db, "新人", "rookie", 2);
    AddAlley(db, "閉店", 1, false);
    AddAlley(db, "中央レーン", 2, true);
    AddAlley(db, "第一ボウル", 3, false);
    AddLevel(db, "予備", 1, false);
    AddLevel(db, "公式戦", 2, true);
    AddLevel(db, "リーグ戦", 3, true, "#0000ff");
    AddLevel(db, "練習", 4, false);
    AddLevel(db, "交流戦", 5, true, "");
    AddLevel(db, "特別戦", 6, true, "ピンク");
    look_.Background = "#336699";
    look_.CharacterColor = "#FFFFFF";
    look_.StyleSheet = "css/m.css";
  }

  void Game(const std::string& date, const std::string& alley, const std::string& level,
            long number, const std::string& notation, const std::string& bowler = "山田太郎") {
    AddNotatedGame(fx_.Db(), bowler, alley, level, date, number, notation);
  }

  void AddMay() {
    Game("2024/05/20", "中央レーン", "公式戦", 1, k300);
    Game("2024/05/20", "中央レーン", "公式戦", 2, k200);
    Game("2024/05/20", "中央レーン", "公式戦", 3, Spares(9));
    Game("2024/05/06", "第一ボウル", "リーグ戦", 1, Spares(5));
    Game("2024/05/06", "第一ボウル", "リーグ戦", 2, k90);
    Game("2024/05/06", "第一ボウル", "練習", 1, k300);    // not counted
    Game("2024/04/30", "中央レーン", "公式戦", 1, k300);  // another month
  }

  void AddJune() {
    const std::string seven[] = {Spares(5), Spares(6), Spares(7), Spares(8), Spares(9), k200, k90};
    for (long g = 1; g <= 7; ++g) Game("2024/06/10", "中央レーン", "交流戦", g, seven[g - 1]);
    Game("2024/06/03", "幻のレーン", "特別戦", 1, k90);
    Game("2024/06/03", "幻のレーン", "特別戦", 2, k90);
    Game("2024/06/03", "幻のレーン", "特別戦", 3, k90);
    Game("2024/06/03", "幻のレーン", "特別戦", 4, k300);
  }

  PageContext Context(ProgressWindow& progress, const std::string& db_name = "score") {
    return PageContext{fx_.Db(), db_name, look_, out_.Path(), progress};
  }

  std::vector<std::string> OutputFiles() const {
    std::vector<std::string> files;
    for (auto& e : std::filesystem::recursive_directory_iterator(out_.Path())) {
      if (e.is_regular_file())
        files.push_back(std::filesystem::relative(e.path(), out_.Path()).string());
    }
    std::sort(files.begin(), files.end());
    return files;
  }

  // The remarks of each play row of a page, in order.
  static std::vector<std::string> Remarks(const std::string& page) {
    std::vector<std::string> remarks;
    const std::size_t table = page.find("summary=\"grade\"");
    const std::size_t table_end = page.find("</table>", table);
    const std::string close = "\r\n                   </td>\r\n               </tr>";
    for (std::size_t at = page.find(close, table); at < table_end; at = page.find(close, at + 1)) {
      std::size_t start = page.rfind("\r\n", at - 1) + 2;
      std::string cell = page.substr(start + 23, at - start - 23);
      if (cell != "</strong>") remarks.push_back(cell);  // a heading row ends so
    }
    return remarks;
  }

  ScoreDbFixture fx_;
  TempDir out_;
  WindowSettings look_;
};

TEST_F(MonthlyPageTest, MonthOfThreeColumns) {
  AddMay();
  CountingProgress progress;
  PageContext context = Context(progress);
  std::string page;
  ASSERT_TRUE(MakeMonthlyPage(context, "山田太郎", "202405", page));
  EXPECT_EQ(page, Page({kStart, kMay, kEnd}));
}

TEST_F(MonthlyPageTest, MonthOfSixColumnsWithASevenGamePlay) {
  AddJune();
  CountingProgress progress;
  PageContext context = Context(progress);
  std::string page;
  ASSERT_TRUE(MakeMonthlyPage(context, "山田太郎", "202406", page));
  EXPECT_EQ(page, Page({kStart, kJune, kEnd}));
}

TEST_F(MonthlyPageTest, MonthWithoutCountedGamesGivesNoPage) {
  AddMay();
  Game("2024/07/01", "中央レーン", "練習", 1, k90);
  CountingProgress progress;
  PageContext context = Context(progress);
  std::string page = "unchanged";
  EXPECT_FALSE(MakeMonthlyPage(context, "山田太郎", "202407", page));
  EXPECT_FALSE(MakeMonthlyPage(context, "山田太郎", "202403", page));
  EXPECT_FALSE(MakeMonthlyPage(context, "新人", "202405", page));
  EXPECT_EQ(page, "unchanged");
}

TEST_F(MonthlyPageTest, PromotionRightNeedsThreeGamesSevenStrikesAndThreeInARow) {
  // Two levels on one day: 3 + 2 + 2 strikes, the turkey in the first game.
  Game("2024/07/07", "中央レーン", "公式戦", 1, "X X X 9- 9- 9- 9- 9- 9- 9-");
  Game("2024/07/07", "中央レーン", "公式戦", 2, "X 9- X 9- 9- 9- 9- 9- 9- 9-");
  Game("2024/07/07", "中央レーン", "リーグ戦", 1, "Y 9- Y 9- 9- 9- 9- 9- 9- 9-");
  EXPECT_TRUE(HasPromotionRight(fx_.Db(), "山田太郎", "20240707"));
  // Seven strikes in two games are not enough: three games are needed.
  Game("2024/07/08", "中央レーン", "公式戦", 1, "X X X X X X X 9- 9- 9-");
  Game("2024/07/08", "中央レーン", "公式戦", 2, k90);
  EXPECT_FALSE(HasPromotionRight(fx_.Db(), "山田太郎", "20240708"));
  // Seven strikes without three in a row.
  Game("2024/07/09", "中央レーン", "公式戦", 1, "X 9- X 9- X 9- X 9- X 9-");
  Game("2024/07/09", "中央レーン", "公式戦", 2, "X 9- X 9- X 9- 9- 9- 9- 9-");
  Game("2024/07/09", "中央レーン", "公式戦", 3, k90);
  EXPECT_FALSE(HasPromotionRight(fx_.Db(), "山田太郎", "20240709"));
  // Three in a row through frames 8, 9 and the first ball of frame 10; the seventh strike
  // comes in the third game.
  Game("2024/07/10", "中央レーン", "練習", 1, "9- 9- 9- 9- 9- 9- 9- X X X9-");
  Game("2024/07/10", "中央レーン", "練習", 2, "X 9- X 9- 9- 9- 9- 9- 9- 9-");
  Game("2024/07/10", "中央レーン", "練習", 3, "X 9- Y 9- 9- 9- 9- 9- 9- 9-");
  EXPECT_TRUE(HasPromotionRight(fx_.Db(), "山田太郎", "20240710"));
  // The three balls of frame 10.
  Game("2024/07/11", "中央レーン", "公式戦", 1, "9- 9- 9- 9- 9- 9- 9- 9- 9- XXX");
  Game("2024/07/11", "中央レーン", "公式戦", 2, "X 9- X 9- 9- 9- 9- 9- 9- 9-");
  Game("2024/07/11", "中央レーン", "公式戦", 3, "X 9- X 9- 9- 9- 9- 9- 9- 9-");
  EXPECT_TRUE(HasPromotionRight(fx_.Db(), "山田太郎", "20240711"));
  EXPECT_FALSE(HasPromotionRight(fx_.Db(), "山田太郎", "20240712"));
}

TEST_F(MonthlyPageTest, LeagueMarkersOnlyOnTheLeagueDatabase) {
  // 2024/08/01: the 30-game average is 150 and the day's 120 is exactly 0.8 of it.
  Game("2024/07/31", "中央レーン", "公式戦", 1, Spares(8));  // 180
  Game("2024/08/01", "中央レーン", "公式戦", 1, Spares(2));  // 120
  // 2024/08/03: (180 + 120 + 300 + 90) / 4 = 172.5 gives 138 against the day's 90 (the
  // uncounted 300 of the day counts in the 30 games, not in the day).
  Game("2024/08/03", "中央レーン", "練習", 1, k300);
  Game("2024/08/03", "中央レーン", "公式戦", 1, k90);
  // 2024/08/10: a promotion right over two levels (seven strikes, a turkey in the first
  // game), and a day average of (60 + 20 + 20) / 3 = 33.3 far below 0.8 of 790 / 7.
  Game("2024/08/10", "中央レーン", "公式戦", 1, "X X X -- -- -- -- -- -- --");
  Game("2024/08/10", "中央レーン", "公式戦", 2, "X -- X -- -- -- -- -- -- --");
  Game("2024/08/10", "第一ボウル", "リーグ戦", 1, "X -- X -- -- -- -- -- -- --");
  CountingProgress progress;
  PageContext league = Context(progress, " ZepaMasters ");
  std::string page;
  ASSERT_TRUE(MakeMonthlyPage(league, "山田太郎", "202408", page));
  EXPECT_EQ(Remarks(page), (std::vector<std::string>{
                               "【昇格対戦権利獲得】【角番】",
                               "【昇格対戦権利獲得】【角番】",
                               "【角番】",
                               "-",
                           }));
  PageContext other = Context(progress, "ZepaMasters2");
  ASSERT_TRUE(MakeMonthlyPage(other, "山田太郎", "202408", page));
  EXPECT_EQ(Remarks(page), (std::vector<std::string>{"-", "-", "-", "-"}));
}

TEST_F(MonthlyPageTest, DriverWritesEveryMonthOfTheRangeAndKeepsPagesUnlessOverwriting) {
  AddMay();
  AddJune();
  Game("2023/12/24", "中央レーン", "公式戦", 1, k90);
  Game("2024/07/01", "中央レーン", "公式戦", 1, k90, "新人");  // the newest game of all
  CountingProgress progress;
  PageContext context = Context(progress);
  PageRunResult result =
      OutputMonthlyPages(context, "山田太郎", "yamada", "2023/11", "2024/07", true);
  EXPECT_EQ(result.pages, 4);
  EXPECT_EQ(OutputFiles(), (std::vector<std::string>{
                               "score2023/yamada/202312.html",
                               "score2024/yamada/202404.html",
                               "score2024/yamada/202405.html",
                               "score2024/yamada/202406.html",
                           }));
  EXPECT_EQ(Cp932ToUtf8(ReadFileBytes(out_.File("score2024/yamada/202405.html"))),
            Page({kStart, kMay, kEnd}));
  EXPECT_EQ(progress.last_maximum, 9);
  EXPECT_EQ(progress.counted, 9);

  // Without overwriting only missing months and the month of the newest game are written.
  MakeFile(out_.File("score2024/yamada/202405.html"), "old May");
  ::chmod(out_.File("score2024/yamada/202405.html").c_str(), 0444);
  std::filesystem::remove(out_.File("score2024/yamada/202406.html"));
  Game("2024/07/02", "中央レーン", "公式戦", 1, k90);
  MakeFile(out_.File("score2024/yamada/202407.html"), "old July");
  result = OutputMonthlyPages(context, "山田太郎", "yamada", "2024/05", "2024/07", false);
  EXPECT_EQ(result.pages, 2);
  EXPECT_EQ(ReadFileBytes(out_.File("score2024/yamada/202405.html")), "old May");
  EXPECT_EQ(Cp932ToUtf8(ReadFileBytes(out_.File("score2024/yamada/202406.html"))),
            Page({kStart, kJune, kEnd}));
  EXPECT_NE(ReadFileBytes(out_.File("score2024/yamada/202407.html")), "old July");

  // Overwriting replaces the read-only page.
  result = OutputMonthlyPages(context, "山田太郎", "yamada", "2024/05", "2024/05", true);
  EXPECT_EQ(Cp932ToUtf8(ReadFileBytes(out_.File("score2024/yamada/202405.html"))),
            Page({kStart, kMay, kEnd}));

  // A range that ends before it starts does nothing; a month that is no month is refused.
  EXPECT_EQ(OutputMonthlyPages(context, "山田太郎", "yamada", "2024/06", "2024/05", true).pages, 0);
  EXPECT_THROW(OutputMonthlyPages(context, "山田太郎", "yamada", "2024/13", "2024/05", true),
               AppError);
}

TEST_F(MonthlyPageTest, StopKeepsTheMonthsWrittenAndWritesNoOther) {
  AddMay();
  AddJune();
  MakeFile(out_.File("score2024/yamada/202406.html"), "old June");
  // STOP is pressed once the May page is counted.
  CountingProgress progress(2);
  PageContext context = Context(progress);
  PageRunResult result =
      OutputMonthlyPages(context, "山田太郎", "yamada", "2024/04", "2024/06", true);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.pages, 2);
  EXPECT_EQ(OutputFiles(), (std::vector<std::string>{"score2024/yamada/202404.html",
                                                     "score2024/yamada/202405.html",
                                                     "score2024/yamada/202406.html"}));
  EXPECT_EQ(ReadFileBytes(out_.File("score2024/yamada/202406.html")), "old June");

  // STOP pressed while a month is built: that month is not written.
  CountingProgress pressed;
  pressed.stop_requested = true;
  PageContext stopped = Context(pressed);
  result = OutputMonthlyPages(stopped, "山田太郎", "yamada", "2024/06", "2024/06", true);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(ReadFileBytes(out_.File("score2024/yamada/202406.html")), "old June");
}

}  // namespace
}  // namespace lanereport
