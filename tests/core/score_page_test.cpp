#include <gtest/gtest.h>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "GameBuilder.h"
#include "PageTestSupport.h"
#include "ScoreDb.h"
#include "TempDir.h"
#include "database/WindowSettings.h"
#include "pages/PageLayout.h"
#include "pages/ScorePage.h"
#include "pages/ScorePageOutput.h"
#include "scoring/clsResult_Data.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/Make.h"
#include "util/PathControl.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace lanereport {
namespace {

using namespace testing;

// The page start of a score page whose look has a colour background, no text colour and a
// style sheet, for the bowler 髙橋一郎.
constexpr std::string_view kPlainStart =
    R"page(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html lang="ja">
   <head>
       <meta http-equiv="content-type" content="text/html; charset=shift_jis">
       <meta http-equiv="content-style-type" content="text/html; charset=shift_jis">
       <meta name="keywords" content="ZepaMasters">⏎
       <meta name="Generator" content="ZEPA">⏎
       <link rev="made" href="mailto:{MADE}">
       <link rel="start" href="index.html">
       <link rel="stylesheet" type="text/css" href="../../css/score.css">
       <title>スコア表</title>
   </head>
   <body style="background-color:#000000;">
       <table summary="name" border="0" width="770">
           <tbody>
               <tr>
                   <td style="width:70;">
                       <strong>
                           投球者：
                       </strong>
                   </td>
                   <td>
                       <strong>
                           髙橋一郎
                       </strong>
                   </td>
               </tr>
           </tbody>
       </table>
       <table summary="allay" border="0" width="770">
           <tbody>
               <tr>
                   <td>
                       第一ボウル
                   </td>
               </tr>
           </tbody>
       </table>
       <table summary="level" border="0" width="770">
           <tbody>
               <tr>
                   <td style="width:100;">
                       <br>
                   </td>
                   <td style="width:330;">
                       リーグ戦
                   </td>
                   <td style="width:155;">
                       <br>
                   </td>
                   <td style="width:95;" align="right">
                       2024/03/15
                   </td>
                   <td style="width:90;">
                       <br>
                   </td>
               </tr>
           </tbody>
       </table>
)page";

constexpr std::string_view kEnd = R"page(       <table summary="ZEPA" border="0" width="770">
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

// One game without frame images, strike and space images; the spare image is set. Game
// "Y 9/ X 81 -- 7/ X 9- F9 X9/", no handicap, an HTML-like memo.
constexpr std::string_view kPlainGame =
    R"page(       <table summary="score" border="1" cellspacing="1" width="770" style="background-color:#ffffff;">
           <tbody>
               <tr align="center">
                   <td style="width:60;background-color:#c0c0c0" colspan="1">－</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">１</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">２</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">３</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">４</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">５</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">６</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">７</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">８</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">９</td>
                   <td style="width:90;background-color:#c0c0c0" colspan="3">１０</td>
                   <td style="width:80;background-color:#c0c0c0" colspan="1">total</td>
               </tr>
               <tr align="center" style="color:#000000;">
                   <td rowspan="2" style="width:60;">
                       1
                   </td>
                   <td style="width:30;">
                        
                   </td>
                   <td style="width:30;">
                       Ｘ
                   </td>
                   <td style="width:30;">
                       ９
                   </td>
                   <td style="width:30;">
                       <img alt="spare" src="../../img/sp.gif" width="15" height="15">
                   </td>
                   <td style="width:30;">
                        
                   </td>
                   <td style="width:30;">
                       ×
                   </td>
                   <td style="width:30;">
                       ８
                   </td>
                   <td style="width:30;">
                       １
                   </td>
                   <td style="width:30;">
                       Ｇ
                   </td>
                   <td style="width:30;">
                       －
                   </td>
                   <td style="width:30;">
                       ７
                   </td>
                   <td style="width:30;">
                       <img alt="spare" src="../../img/sp.gif" width="15" height="15">
                   </td>
                   <td style="width:30;">
                        
                   </td>
                   <td style="width:30;">
                       ×
                   </td>
                   <td style="width:30;">
                       ９
                   </td>
                   <td style="width:30;">
                       －
                   </td>
                   <td style="width:30;">
                       Ｆ
                   </td>
                   <td style="width:30;">
                       ９
                   </td>
                   <td style="width:30;">
                       ×
                   </td>
                   <td style="width:30;">
                       ９
                   </td>
                   <td style="width:30;">
                       <img alt="spare" src="../../img/sp.gif" width="15" height="15">
                   </td>
                   <td rowspan="2" style="width:80;">
                       145
                   </td>
               </tr>
               <tr align="center" style="color:#000000;">
                   <td style="width:60;" colspan="2">
                       20
                   </td>
                   <td style="width:60;" colspan="2">
                       40
                   </td>
                   <td style="width:60;" colspan="2">
                       59
                   </td>
                   <td style="width:60;" colspan="2">
                       68
                   </td>
                   <td style="width:60;" colspan="2">
                       68
                   </td>
                   <td style="width:60;" colspan="2">
                       88
                   </td>
                   <td style="width:60;" colspan="2">
                       107
                   </td>
                   <td style="width:60;" colspan="2">
                       116
                   </td>
                   <td style="width:60;" colspan="2">
                       125
                   </td>
                   <td style="width:90;" colspan="3">
                       145
                   </td>
               </tr>
               <tr>
                   <td style="width:60;background-color:#c0c0c0;" align="center" colspan="1">
                       Memo
                   </td>
                   <td style="width:710;background-color:#c0c0c0;" align="left" colspan="21">
                       &lt;b&gt;好調&lt;/b&gt; &amp; 𠮷
                   </td>
                   <td style="width:80;background-color:#c0c0c0;color:#000000;" align="center">
                       <strong>145</strong>
                   </td>
               </tr>
           </tbody>
       </table>
       <br>
)page";

// The initial look; bowler 山田太郎 at 中央レーン in 公式戦 on 2024/05/06.
constexpr std::string_view kImageStart =
    R"page(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html lang="ja">
   <head>
       <meta http-equiv="content-type" content="text/html; charset=shift_jis">
       <meta http-equiv="content-style-type" content="text/html; charset=shift_jis">
       <meta name="keywords" content="ZepaMasters">⏎
       <meta name="Generator" content="ZEPA">⏎
       <link rev="made" href="mailto:{MADE}">
       <link rel="start" href="index.html">
       <title>スコア表</title>
   </head>
   <body style="background:url('../../jpg/BG.jpg');color:#FFFFFF;">
       <table summary="name" border="0" width="770">
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
       <table summary="allay" border="0" width="770">
           <tbody>
               <tr>
                   <td>
                       中央レーン
                   </td>
               </tr>
           </tbody>
       </table>
       <table summary="level" border="0" width="770">
           <tbody>
               <tr>
                   <td style="width:100;">
                       <br>
                   </td>
                   <td style="width:330;">
                       公式戦
                   </td>
                   <td style="width:155;">
                       <br>
                   </td>
                   <td style="width:95;" align="right">
                       2024/05/06
                   </td>
                   <td style="width:90;">
                       <br>
                   </td>
               </tr>
           </tbody>
       </table>
)page";

// Game 1 "X Y 7/ 9- X -8 8/ -6 X XY8" with handicap 10 and a memo, drawn with every image.
constexpr std::string_view kImageGame1 =
    R"page(       <table summary="score" border="0" cellspacing="1" width="770" style="background-color:#ffffff;">
           <tbody>
               <tr align="center">
                   <td style="width:60;background-color:#c0c0c0" colspan="1">－</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">１</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">２</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">３</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">４</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">５</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">６</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">７</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">８</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">９</td>
                   <td style="width:90;background-color:#c0c0c0" colspan="3">１０</td>
                   <td style="width:80;background-color:#c0c0c0" colspan="1">total</td>
               </tr>
               <tr align="center" style="color:#000000;">
                   <td rowspan="2" style="width:60;background:url('../../jpg/waku.jpg')">
                       1
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       <img alt="space" src="../../jpg/space.jpg" width="15" height="15">
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       <img alt="strike" src="../../jpg/strike.jpg" width="15" height="15">
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       <img alt="space" src="../../jpg/space.jpg" width="15" height="15">
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       <img alt="strike" src="../../jpg/strike.jpg" width="15" height="15">
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ７
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       <img alt="spare" src="../../jpg/spare.jpg" width="15" height="15">
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ９
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       －
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       <img alt="space" src="../../jpg/space.jpg" width="15" height="15">
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       <img alt="strike" src="../../jpg/strike.jpg" width="15" height="15">
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       Ｇ
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       ８
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ８
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       <img alt="spare" src="../../jpg/spare.jpg" width="15" height="15">
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       Ｇ
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       ６
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       <img alt="space" src="../../jpg/space.jpg" width="15" height="15">
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       <img alt="strike" src="../../jpg/strike.jpg" width="15" height="15">
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       <img alt="strike" src="../../jpg/strike.jpg" width="15" height="15">
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       <img alt="strike" src="../../jpg/strike.jpg" width="15" height="15">
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       ８
                   </td>
                   <td rowspan="2" style="width:80;background:url('../../jpg/waku.jpg')">
                       185<br>(10)
                   </td>
               </tr>
               <tr align="center" style="color:#000000;">
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       27
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       47
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       66
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       75
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       93
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       101
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       111
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       117
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       147
                   </td>
                   <td style="width:90;background:url('../../jpg/waku.jpg')" colspan="3">
                       175
                   </td>
               </tr>
               <tr>
                   <td style="width:60;background-color:#c0c0c0;" align="center" colspan="1">
                       Memo
                   </td>
                   <td style="width:710;background-color:#c0c0c0;" align="left" colspan="21">
                       初ゲーム
                   </td>
                   <td style="width:80;background-color:#c0c0c0;color:#000000;" align="center">
                       <strong>185</strong>
<br>(10)
                   </td>
               </tr>
           </tbody>
       </table>
       <br>
)page";

// Game 2 "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-" with handicap 10 and no memo.
constexpr std::string_view kImageGame2 =
    R"page(       <table summary="score" border="0" cellspacing="1" width="770" style="background-color:#ffffff;">
           <tbody>
               <tr align="center">
                   <td style="width:60;background-color:#c0c0c0" colspan="1">－</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">１</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">２</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">３</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">４</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">５</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">６</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">７</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">８</td>
                   <td style="width:60;background-color:#c0c0c0" colspan="2">９</td>
                   <td style="width:90;background-color:#c0c0c0" colspan="3">１０</td>
                   <td style="width:80;background-color:#c0c0c0" colspan="1">total</td>
               </tr>
               <tr align="center" style="color:#000000;">
                   <td rowspan="2" style="width:60;background:url('../../jpg/waku.jpg')">
                       2
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ９
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       －
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ９
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       －
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ９
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       －
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ９
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       －
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ９
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       －
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ９
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       －
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ９
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       －
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ９
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       －
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ９
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       －
                   </td>
                   <td style="width:30;background:url('../../jpg/waku.jpg')">
                       ９
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       －
                   </td>
                   <td style="width:30;background:url('../../jpg/waku0.jpg')">
                       <img alt="space" src="../../jpg/space.jpg" width="15" height="15">
                   </td>
                   <td rowspan="2" style="width:80;background:url('../../jpg/waku.jpg')">
                       100<br>(10)
                   </td>
               </tr>
               <tr align="center" style="color:#000000;">
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       9
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       18
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       27
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       36
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       45
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       54
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       63
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       72
                   </td>
                   <td style="width:60;background:url('../../jpg/waku.jpg')" colspan="2">
                       81
                   </td>
                   <td style="width:90;background:url('../../jpg/waku.jpg')" colspan="3">
                       90
                   </td>
               </tr>
               <tr>
                   <td style="width:60;background-color:#c0c0c0;" align="center" colspan="1">
                       Memo
                   </td>
                   <td style="width:710;background-color:#c0c0c0;" align="left" colspan="21">
                       -
                   </td>
                   <td style="width:80;background-color:#c0c0c0;color:#000000;" align="center">
                       <strong>285</strong>
<br>(20)
                   </td>
               </tr>
           </tbody>
       </table>
       <br>
)page";

const std::string kCrLf = "\r\n";

std::string Page(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view p : parts) text += p;
  return PageLines(text, kCrLf);
}

// Masters with Ids above 1 so that file names show them: centres 中央レーン (2), 第一ボウル (3);
// levels 公式戦 (2, counted), リーグ戦 (3, counted), 練習 (4, not counted).
class ScorePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Database& db = fx_.Db();
    AddBowler(db, "山田太郎", "yamada", 1);
    AddBowler(db, "髙橋一郎", "takahashi", 2);
    AddBowler(db, "新人", "rookie", 3);
    AddAlley(db, "閉店", 1, false);
    AddAlley(db, "中央レーン", 2, true);
    AddAlley(db, "第一ボウル", 3, false);
    AddLevel(db, "予備", 1, false);
    AddLevel(db, "公式戦", 2, true);
    AddLevel(db, "リーグ戦", 3, true, "#0000ff");
    AddLevel(db, "練習", 4, false);
  }

  PageContext Context(const WindowSettings& look, ProgressWindow& progress) {
    return PageContext{fx_.Db(), "score", look, out_.Path(), progress};
  }

  void AddHandicapPlay() {
    AddNotatedGame(fx_.Db(), "山田太郎", "中央レーン", "公式戦", "2024/05/06", 1,
                   "X Y 7/ 9- X -8 8/ -6 X XY8", 10, "初ゲーム");
    AddNotatedGame(fx_.Db(), "山田太郎", "中央レーン", "公式戦", "2024/05/06", 2,
                   "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-", 10);
  }

  static WindowSettings PlainLook() {
    WindowSettings look;
    look.Background = "#000000";
    look.CharacterColor = "   ";
    look.StyleSheet = "css/score.css";
    look.Frame2 = " ";
    look.Spare = "img/sp.gif";
    return look;
  }

  // The files under the output folder, as paths relative to it, sorted.
  std::vector<std::string> OutputFiles() const {
    std::vector<std::string> files;
    for (auto& e : std::filesystem::recursive_directory_iterator(out_.Path())) {
      if (e.is_regular_file())
        files.push_back(std::filesystem::relative(e.path(), out_.Path()).string());
    }
    std::sort(files.begin(), files.end());
    return files;
  }

  std::string ReadPage(const std::string& relative) const {
    return Cp932ToUtf8(ReadFileBytes(out_.File(relative)));
  }

  static long CountOf(const std::string& text, std::string_view piece) {
    long n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
      ++n;
    return n;
  }

  ScoreDbFixture fx_;
  TempDir out_;
};

TEST_F(ScorePageTest, HandicapPlayWithImagesShowsBothStrikeMarksAndRunningTotals) {
  AddHandicapPlay();
  AddNotatedGame(fx_.Db(), "山田太郎", "中央レーン", "練習", "2024/05/06", 1,
                 "X X X X X X X X X XXX");
  CountingProgress progress;
  PageContext context = Context(InitialLook(), progress);
  std::string page;
  EXPECT_EQ(MakeScorePage(context, "山田太郎", "20240506", "中央レーン", "公式戦", page), 2);
  EXPECT_EQ(page, Page({kImageStart, kImageGame1, kImageGame2, kEnd}));
  EXPECT_EQ(progress.counted, 2);
}

TEST_F(ScorePageTest, WithoutFrameImagesTablesHaveBordersAndTheMemoShowsAsStored) {
  AddNotatedGame(fx_.Db(), "髙橋一郎", "第一ボウル", "リーグ戦", "2024/03/15", 1,
                 "Y 9/ X 81 -- 7/ X 9- F9 X9/", 0, "<b>好調</b> & 𠮷");
  CountingProgress progress;
  PageContext context = Context(PlainLook(), progress);
  std::string page;
  EXPECT_EQ(MakeScorePage(context, "髙橋一郎", "20240315", "第一ボウル", "リーグ戦", page), 1);
  EXPECT_EQ(page, Page({kPlainStart, kPlainGame, kEnd}));
}

TEST_F(ScorePageTest, PlayWithoutGamesAndStoppedPlayLeaveThePageTextAlone) {
  AddHandicapPlay();
  std::string page = "unchanged";
  CountingProgress progress;
  PageContext context = Context(InitialLook(), progress);
  EXPECT_EQ(MakeScorePage(context, "山田太郎", "20240507", "中央レーン", "公式戦", page), 0);
  EXPECT_EQ(page, "unchanged");
  EXPECT_EQ(progress.counted, 0);

  CountingProgress stopping(1);
  PageContext stopped = Context(InitialLook(), stopping);
  EXPECT_EQ(MakeScorePage(stopped, "山田太郎", "20240506", "中央レーン", "公式戦", page), 0);
  EXPECT_EQ(page, "unchanged");
}

TEST_F(ScorePageTest, RollMarksBySlot) {
  AddHandicapPlay();
  clsResult_Data game(fx_.Db());
  game.BowlerName("山田太郎");
  game.AlleyName("中央レーン");
  game.LevelName("公式戦");
  game.PlayDate("2024/05/06");
  game.GameNumber(1);
  game.Load();
  EXPECT_EQ(GetRollMark(0, game), "");
  EXPECT_EQ(GetRollMark(1, game), "×");
  EXPECT_EQ(GetRollMark(3, game), "Ｘ");
  EXPECT_EQ(GetRollMark(4, game), "７");
  EXPECT_EQ(GetRollMark(19, game), "Ｘ");
  EXPECT_EQ(GetRollMark(20, game), "８");
  EXPECT_EQ(GetRollMark(-1, game), "");
  EXPECT_EQ(GetRollMark(21, game), "");
}

TEST_F(ScorePageTest, PageFileIsCodePage932WithReferencesForOtherCharacters) {
  AddNotatedGame(fx_.Db(), "髙橋一郎", "第一ボウル", "リーグ戦", "2024/03/15", 1,
                 "Y 9/ X 81 -- 7/ X 9- F9 X9/", 0, "<b>好調</b> & 𠮷");
  CountingProgress progress;
  PageContext context = Context(PlainLook(), progress);
  FixedChooser chooser(out_.Path() + "/");
  RecordingMessages messages;
  ASSERT_TRUE(OutputScorePage(context, chooser, messages, "髙橋一郎",
                              "2024/03/15  \t第一ボウル          \tリーグ戦"));
  std::string bytes = ReadFileBytes(out_.File("2024031533.html"));
  // 投球者： and 髙 in code page 932; the character it cannot hold as a reference.
  EXPECT_NE(bytes.find("\x93\x8A\x8B\x85\x8E\xD2\x81\x46"), std::string::npos);
  EXPECT_NE(bytes.find("\xFB\xFC"), std::string::npos);
  EXPECT_NE(bytes.find("&lt;b&gt;\x8D\x44\x92\xB2&lt;/b&gt; &amp; &#134071;"), std::string::npos);
  std::string expected = Page({kPlainStart, kPlainGame, kEnd});
  std::string reference = "&#134071;";
  expected.replace(expected.find("𠮷"), std::string("𠮷").size(), reference);
  EXPECT_EQ(Cp932ToUtf8(bytes), expected);
}

TEST_F(ScorePageTest, SinglePlayGoesToTheChosenFolderWithTheCompletionMessage) {
  AddHandicapPlay();
  CountingProgress progress;
  PageContext context = Context(InitialLook(), progress);
  RecordingMessages messages;
  FixedChooser chooser(out_.Path() + "/picked/");
  ASSERT_TRUE(
      OutputScorePage(context, chooser, messages, "山田太郎", "2024/05/06\t中央レーン\t公式戦"));
  EXPECT_EQ(chooser.user, "SCORE");
  EXPECT_EQ(chooser.caption, "出力フォルダ指定");
  EXPECT_EQ(OutputFiles(), std::vector<std::string>{"picked/2024050622.html"});
  EXPECT_EQ(ReadPage("picked/2024050622.html"),
            Page({kImageStart, kImageGame1, kImageGame2, kEnd}));
  EXPECT_EQ(progress.last_maximum, 2);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].message2, "スコア表を作成しました");
  EXPECT_EQ(messages.shown[0].color, kCompletionColor);
  EXPECT_EQ(messages.shown[0].timer_seconds, 10);

  // Cancelling the chooser writes nothing; a play without games does not even ask.
  FixedChooser cancel(std::nullopt);
  EXPECT_FALSE(
      OutputScorePage(context, cancel, messages, "山田太郎", "2024/05/06\t中央レーン\t公式戦"));
  FixedChooser unasked(out_.Path() + "/other/");
  EXPECT_FALSE(
      OutputScorePage(context, unasked, messages, "山田太郎", "2024/05/07\t中央レーン\t公式戦"));
  EXPECT_EQ(unasked.calls, 0);
  EXPECT_EQ(OutputFiles().size(), 1u);
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(ScorePageTest, RangeWritesOnePagePerPlayOfTheCountedLevelsUnderTheYearFolders) {
  Database& db = fx_.Db();
  AddHandicapPlay();
  AddNotatedGame(db, "山田太郎", "第一ボウル", "公式戦", "2024/05/06", 1,
                 "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-");
  AddNotatedGame(db, "山田太郎", "中央レーン", "練習", "2024/05/20", 1,
                 "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-");
  AddNotatedGame(db, "山田太郎", "幻のレーン", "リーグ戦", "2024/12/31", 1,
                 "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-");
  AddNotatedGame(db, "山田太郎", "中央レーン", "公式戦", "2025/01/02", 1,
                 "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-");
  AddNotatedGame(db, "山田太郎", "中央レーン", "公式戦", "2024/04/30", 1,
                 "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-");
  AddNotatedGame(db, "髙橋一郎", "中央レーン", "公式戦", "2024/05/06", 1,
                 "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-");
  CountingProgress progress;
  PageContext context = Context(InitialLook(), progress);
  PageRunResult result =
      OutputScorePages(context, "山田太郎", "yamada", "2024/05/01", "2025/01/02", true);
  EXPECT_EQ(result.pages, 4);
  EXPECT_FALSE(result.stopped);
  EXPECT_EQ(OutputFiles(), (std::vector<std::string>{
                               "score2024/yamada/2024050622.html",
                               "score2024/yamada/2024050632.html",
                               "score2024/yamada/2024123113.html",
                               "score2025/yamada/2025010222.html",
                           }));
  EXPECT_EQ(ReadPage("score2024/yamada/2024050622.html"),
            Page({kImageStart, kImageGame1, kImageGame2, kEnd}));
  EXPECT_EQ(CountOf(ReadPage("score2024/yamada/2024123113.html"), "<table summary=\"score\""), 1);
  // The bar runs over the games of the range; every game drawn advances it.
  EXPECT_EQ(progress.last_maximum, 5);
  EXPECT_EQ(progress.counted, 5);

  // A bowler without games in the range gets nothing.
  PageRunResult none =
      OutputScorePages(context, "新人", "rookie", "2024/01/01", "2024/12/31", true);
  EXPECT_EQ(none.pages, 0);
  EXPECT_FALSE(std::filesystem::exists(out_.File("score2024/rookie")));
}

TEST_F(ScorePageTest, ExistingPagesAreKeptUnlessOverwriting) {
  AddHandicapPlay();
  MakeFile(out_.File("score2024/yamada/2024050622.html"), "old page");
  ::chmod(out_.File("score2024/yamada/2024050622.html").c_str(), 0444);
  CountingProgress progress;
  PageContext context = Context(InitialLook(), progress);
  EXPECT_EQ(
      OutputScorePages(context, "山田太郎", "yamada", "2024/05/06", "2024/05/06", false).pages, 0);
  EXPECT_EQ(ReadFileBytes(out_.File("score2024/yamada/2024050622.html")), "old page");
  EXPECT_EQ(progress.counted, 0);

  // The page name is found whatever the letter case of the file on disk.
  std::filesystem::rename(out_.File("score2024/yamada/2024050622.html"),
                          out_.File("score2024/yamada/2024050622.HTML"));
  EXPECT_EQ(
      OutputScorePages(context, "山田太郎", "yamada", "2024/05/06", "2024/05/06", false).pages, 0);
  std::filesystem::rename(out_.File("score2024/yamada/2024050622.HTML"),
                          out_.File("score2024/yamada/2024050622.html"));

  EXPECT_EQ(OutputScorePages(context, "山田太郎", "yamada", "2024/05/06", "2024/05/06", true).pages,
            1);
  EXPECT_EQ(ReadPage("score2024/yamada/2024050622.html"),
            Page({kImageStart, kImageGame1, kImageGame2, kEnd}));
}

TEST_F(ScorePageTest, StopKeepsThePagesWrittenAndWritesNoOther) {
  Database& db = fx_.Db();
  AddHandicapPlay();  // play 1: two games
  AddNotatedGame(db, "山田太郎", "中央レーン", "公式戦", "2024/05/13", 1,
                 "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-");
  AddNotatedGame(db, "山田太郎", "中央レーン", "公式戦", "2024/05/13", 2,
                 "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-");
  AddNotatedGame(db, "山田太郎", "中央レーン", "公式戦", "2024/05/20", 1,
                 "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-");
  MakeFile(out_.File("score2024/yamada/2024051322.html"), "old page");
  // STOP is pressed during the first game of the second play.
  CountingProgress progress(3);
  PageContext context = Context(InitialLook(), progress);
  PageRunResult result =
      OutputScorePages(context, "山田太郎", "yamada", "2024/05/01", "2024/05/31", true);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.pages, 1);
  EXPECT_EQ(OutputFiles(), (std::vector<std::string>{"score2024/yamada/2024050622.html",
                                                     "score2024/yamada/2024051322.html"}));
  EXPECT_EQ(ReadPage("score2024/yamada/2024050622.html"),
            Page({kImageStart, kImageGame1, kImageGame2, kEnd}));
  EXPECT_EQ(ReadFileBytes(out_.File("score2024/yamada/2024051322.html")), "old page");
}

TEST_F(ScorePageTest, FolderOrFileThatCannotBeWrittenIsReportedByPath) {
  AddHandicapPlay();
  CountingProgress progress;
  // The output folder is a file.
  MakeFile(out_.File("blocked"), "x");
  PageContext context{fx_.Db(), "score", InitialLook(), out_.File("blocked"), progress};
  try {
    (void)OutputScorePages(context, "山田太郎", "yamada", "2024/05/06", "2024/05/06", true);
    FAIL() << "no error";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrFile);
    EXPECT_NE(e.Description().find(out_.File("blocked")), std::string::npos);
  }

  // A write that fails at the last moment leaves the old page whole.
  MakeFile(out_.File("score2024/yamada/2024050622.html"), "old page");
  SetMakeFileFaultForTesting([](const std::string& path) {
    throw AppError(kErrFile, "MakeFile", "ファイルを書き込めません：" + path);
  });
  PageContext good = Context(InitialLook(), progress);
  EXPECT_THROW((void)OutputScorePages(good, "山田太郎", "yamada", "2024/05/06", "2024/05/06", true),
               AppError);
  SetMakeFileFaultForTesting({});
  EXPECT_EQ(ReadFileBytes(out_.File("score2024/yamada/2024050622.html")), "old page");
  EXPECT_EQ(OutputFiles().size(), 2u);
}

}  // namespace
}  // namespace lanereport
