#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "GameBuilder.h"
#include "PageTestSupport.h"
#include "ScoreDb.h"
#include "database/clsBowler_Data.h"
#include "pages/ProfilePage.h"
#include "pages/ProfilePageOutput.h"
#include "util/AppError.h"
#include "util/Clock.h"
#include "util/Cp932.h"
#include "util/Make.h"

namespace lanereport {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// The page of a bowler with every field filled, on the league database; {BODY}, {STYLE} and
// {PHOTO} are filled in per case.
constexpr std::string_view kPageTemplate =
    R"page(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html lang="ja">
    <head>
        <meta http-equiv="content-type" content="text/html; charset=shift_jis">
        <meta http-equiv="content-script-type" content="text/html; charset=shift_jis">
        <meta http-equiv="content-style-type" content="text/html; charset=shift_jis">
        <meta name="keywords" content="ZepaMasters">
        <meta name="Generator" content="ZEPA">
        <link rev="made" href="mailto:{MADE}">↵
        <link rel="start" href="index.html">
{STYLE}        <title>BowlerProfile</title>
        <script type="text/javascript" src="profiles.js">
        </script>
    </head>
    {BODY}
        <noscript>
            javascriptをonにして下さい
        </noscript>
        <table summary="profiles" border="1" width="775">
            <tbody>
                <tr>
                    <td>
                        <strong>{RANKA}</strong>
                    </td>
                    <td rowspan="2" valign="top">
                        <div id="lmsg">　</div>
                    </td>
                </tr>
                <tr>
                    <td style="width:200;">
{PHOTO}                    </td>
                </tr>
            </tbody>
        </table>
        <table summary="email" border="0" width="775">
            <tbody>
                <tr>
                    <td align="right">
                        mail：<a href="mailto:{MAIL}" accesskey="m">{MAIL}</a>
                    </td>
                </tr>
            </tbody>
        </table>
    </body>
</html>
)page";

constexpr std::string_view kScript = R"js(var nt=0;
var tmrshow=0;
function showmsg(mes){
 clearInterval(tmrshow)
 nt=0
 tmrshow=setInterval("terop('"+mes+"')",100);
}
function terop(mes)
{
 var msg=mes.substring(0,nt);
 if(nt>mes.length){
     clearInterval(tmrshow)
 }else{
     if(msg==""){msg="　"}
     if(document.all){
         lmsg.innerHTML="<font color='yellow'><b>"+msg+"</b></font>";
     }
     if(!document.all&&!document.layers&&document.getElementById){
         document.getElementById("lmsg").innerHTML="<font color='yellow'><b>"+msg+"</b></font>";
     }
     if(document.layers){
         document.lmsg.document.open();
         document.lmsg.document.write(msg);
         document.lmsg.document.close();
     }
     nt++;
 }
}
)js";

void Fill(std::string& text, std::string_view key, std::string_view value) {
  for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at)) {
    text.replace(at, key.size(), value);
    at += value.size();
  }
}

struct ExpectedPage {
  std::string body;
  std::string style;  // the whole style sheet line, or empty
  std::string photo;  // the whole image line, or empty
  std::string ranka;
  std::string mail;
};

std::string Expected(const ExpectedPage& e) {
  std::string text(kPageTemplate);
  Fill(text, "{BODY}", e.body);
  Fill(text, "{STYLE}", e.style.empty() ? "" : e.style + "\n");
  Fill(text, "{PHOTO}", e.photo.empty() ? "" : e.photo + "\n");
  Fill(text, "{RANKA}", e.ranka);
  Fill(text, "{MAIL}", e.mail);
  return PageLines(text, "\r");
}

class ProfilePageTest : public ::testing::Test {
 protected:
  // A bowler with every profile field filled.
  static void FillFull(clsBowler_Data& b) {
    b.Name("山田太郎");
    b.Aname("yamada");
    b.Password("pw");
    b.Number(1);
    b.Ranka("三段");
    b.Rankb("名人");
    b.Birth("1990/12/20");
    b.Height("172");
    b.Weight("65.5");
    b.Arm("右");
    b.Ball("ハンマー");
    b.Wrist("なし");
    b.Shoes("Dexter");
    b.Bag("3個用");
    b.Maxim("一投入魂");
    b.Mailaddress("yamada@example.jp");
    b.Photo("photo/yamada.jpg");
    b.Pathback("#003300");
    b.Pathchar("#ffffcc");
  }

  ScoreDbFixture fx_;
  FixedClock clock_{{2026, 12, 6}};
  ScopedClock pinned_{clock_};
};

TEST_F(ProfilePageTest, LeaguePageWithEveryFieldAndItsOwnColours) {
  clsBowler_Data full(fx_.Db());
  FillFull(full);
  std::string ticker =
      "Zepa-名人]&lt;br&gt;名前：山田太郎&lt;br&gt;年齢：35歳&lt;br&gt;身長：172ｃｍ"
      "&lt;br&gt;体重：65.5ｋｇ&lt;br&gt;利き腕：右&lt;br&gt;ボール：ハンマー"
      "&lt;br&gt;リスタイ：なし&lt;br&gt;シューズ：Dexter&lt;br&gt;バック：3個用"
      "&lt;br&gt;座右の銘：一投入魂";
  EXPECT_EQ(MakeProfilePage(full, "ZepaMasters"),
            Expected({
                .body = "<body style=\"background-color:#003300;color:#ffffcc;\" "
                        "onload=\"showmsg(&quot;[" +
                        ticker + "&lt;br&gt;&quot;)\">",
                .style = "",
                .photo = "                        <img alt=\"写真\" width=\"190\" height=\"200\" "
                         "style=\"border:0;\" src=\"photo/yamada.jpg\">",
                .ranka = "三段",
                .mail = "yamada@example.jp",
            }));
}

TEST_F(ProfilePageTest, StyleSheetWinsAndEmptyFieldsAreSecretOrHouseEquipment) {
  clsBowler_Data b(fx_.Db());
  b.Name("新人");
  b.Aname("rookie");
  b.Rankb("初心者");
  b.Pathstyle("css/my.css");
  b.Pathback("jpg/BG.jpg");
  b.Pathchar("#ff0000");
  EXPECT_EQ(MakeProfilePage(b, "score"),
            Expected({
                .body = "<body onload=\"showmsg(&quot;[初心者]&lt;br&gt;名前：新人"
                        "&lt;br&gt;年齢：秘密♪&lt;br&gt;身長：秘密♪&lt;br&gt;体重：秘密♪"
                        "&lt;br&gt;利き腕：&lt;br&gt;ボール：ハウスボール&lt;br&gt;リスタイ："
                        "&lt;br&gt;シューズ：ハウスシューズ&lt;br&gt;バック：&lt;br&gt;座右の銘："
                        "&lt;br&gt;&quot;)\">",
                .style = "        <link rel=\"stylesheet\" type=\"text/css\" href=\"css/my.css\">",
                .photo = "",
                .ranka = "",
                .mail = "",
            }));
}

TEST_F(ProfilePageTest, BodyStyleFromBackgroundAndTextColour) {
  auto body = [&](const std::string& back, const std::string& chr) {
    clsBowler_Data b(fx_.Db());
    FillFull(b);
    b.Pathback(back);
    b.Pathchar(chr);
    std::string page = MakeProfilePage(b, "score");
    std::size_t at = page.find("<body");
    return page.substr(at, page.find(" onload=", at) - at);
  };
  EXPECT_EQ(body("", "#ff0000"), "<body style=\"color:#ff0000;\"");
  EXPECT_EQ(body("jpg/BG.jpg", ""), "<body style=\"background:jpg/BG.jpg;\"");
  EXPECT_EQ(body("jpg/BG.jpg", "#000"), "<body style=\"background:jpg/BG.jpg;color:#000;\"");
  EXPECT_EQ(body("silver", ""), "<body style=\"background-color:silver;\"");
  EXPECT_EQ(body("", ""), "<body");
}

TEST_F(ProfilePageTest, HeightAndWeightShowOnlyWhenTheyAreNumbersOtherThanZero) {
  auto ticker = [&](const std::string& height, const std::string& weight) {
    clsBowler_Data b(fx_.Db());
    FillFull(b);
    b.Height(height);
    b.Weight(weight);
    std::string page = MakeProfilePage(b, "score");
    std::size_t at = page.find("身長：");
    return page.substr(at, page.find("&lt;br&gt;利き腕", at) - at);
  };
  EXPECT_EQ(ticker("0", "abc"), "身長：秘密♪&lt;br&gt;体重：秘密♪");
  EXPECT_EQ(ticker("180.5", "0.0"), "身長：180.5ｃｍ&lt;br&gt;体重：秘密♪");
  EXPECT_EQ(ticker("", "70"), "身長：秘密♪&lt;br&gt;体重：70ｋｇ");
}

TEST_F(ProfilePageTest, AgeCountsTheBirthdayOnlyOnceItIsReached) {
  // Today is 2026/12/06.
  EXPECT_EQ(BowlerAge("2000/12/06"), 26);  // the birthday itself
  EXPECT_EQ(BowlerAge("2000/12/05"), 26);
  EXPECT_EQ(BowlerAge("2000/12/07"), 25);  // later this month
  EXPECT_EQ(BowlerAge("2000/11/30"), 26);
  EXPECT_EQ(BowlerAge("2001/01/01"), 25);
  EXPECT_EQ(BowlerAge(" 1990/06/15 "), 36);
  EXPECT_EQ(BowlerAge(""), 0);
  EXPECT_EQ(BowlerAge("   "), 0);
  EXPECT_EQ(BowlerAge("いつか"), 0);
  EXPECT_EQ(BowlerAge("2000/02/30"), 0);
  // A bowler born today shows as a secret age, 0 years being no age to show.
  clsBowler_Data b(fx_.Db());
  FillFull(b);
  b.Birth("2026/12/06");
  EXPECT_NE(MakeProfilePage(b, "score").find("年齢：秘密♪"), std::string::npos);
}

TEST_F(ProfilePageTest, TickerScriptEndsEveryLineWithCr) {
  EXPECT_EQ(MakeTickerScript(), PageLines(kScript, "\r"));
}

class ProfileRunTest : public ProfilePageTest {
 protected:
  void SetUp() override {
    clsBowler_Data full(fx_.Db());
    FillFull(full);
    full.Add();
    AddBowler(fx_.Db(), "佐藤花子", "sato", 2, true);
    clsBowler_Data odd(fx_.Db());
    odd.Name("𠮷田");
    odd.Aname("yoshida");
    odd.Password("pw");
    odd.Number(3);
    odd.Maxim("<b>全力</b>");
    odd.Add();
  }

  std::vector<std::string> Files(const std::string& folder) const {
    std::vector<std::string> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder))
      files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
  }

  std::string Out() const { return fx_.Dir().File("site/"); }

  CountingProgress progress_;
  RecordingMessages messages_;
};

TEST_F(ProfileRunTest, AllBowlersGetAPageAndTheScriptInCodePage932) {
  fs::create_directories(Out());
  ProfileRunResult result = CreateProfilePages(fx_.Db(), "score", Out(), "", progress_, messages_);
  EXPECT_TRUE(result.done);
  EXPECT_EQ(result.pages, 3);
  EXPECT_EQ(Files(Out()),
            (std::vector<std::string>{"profiles.js", "sato.html", "yamada.html", "yoshida.html"}));
  EXPECT_EQ(ReadFileBytes(Out() + "profiles.js"), Utf8ToCp932(PageLines(kScript, "\r")));
  clsBowler_Data yamada(fx_.Db());
  yamada.Name("山田太郎");
  yamada.Load();
  EXPECT_EQ(Cp932ToUtf8(ReadFileBytes(Out() + "yamada.html")), MakeProfilePage(yamada, "score"));
  // Characters outside the code page become references; HTML in a field shows as its text.
  std::string odd = Cp932ToUtf8(ReadFileBytes(Out() + "yoshida.html"));
  EXPECT_NE(odd.find("名前：&#134071;田"), std::string::npos);
  EXPECT_NE(odd.find("座右の銘：&amp;lt;b&amp;gt;全力&amp;lt;/b&amp;gt;"), std::string::npos);
  EXPECT_EQ(progress_.last_maximum, 3);
  EXPECT_EQ(progress_.counted, 3);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].message2, "Ｂｏｗｌｅｒ紹介を作成しました");
  EXPECT_EQ(messages_.shown[0].color, kCompletionColor);
  EXPECT_TRUE(messages_.asked.empty());
}

TEST_F(ProfileRunTest, OneBowlerAndAFilePathTakeTheFolderOfThePath) {
  fs::create_directories(Out());
  ProfileRunResult result = CreateProfilePages(fx_.Db(), "score", Out() + "index.html",
                                               " 佐藤花子 ", progress_, messages_);
  EXPECT_EQ(result.folder, Out());
  EXPECT_EQ(result.pages, 1);
  EXPECT_EQ(Files(Out()), (std::vector<std::string>{"profiles.js", "sato.html"}));
  EXPECT_EQ(progress_.last_maximum, 1);

  EXPECT_THROW(CreateProfilePages(fx_.Db(), "score", Out(), "誰か", progress_, messages_),
               AppError);
  EXPECT_EQ(Files(Out()).size(), 2u);

  // A folder typed without its closing "/" is that folder, not the one above it.
  fs::create_directories(Out() + "typed");
  ProfileRunResult typed =
      CreateProfilePages(fx_.Db(), "score", Out() + "typed", " 佐藤花子 ", progress_, messages_);
  EXPECT_EQ(typed.folder, Out() + "typed/");
  EXPECT_EQ(Files(Out() + "typed"), (std::vector<std::string>{"profiles.js", "sato.html"}));
  EXPECT_EQ(Files(Out()).size(), 3u);  // the two files and the folder
}

TEST_F(ProfileRunTest, MissingFolderIsMadeOnlyWhenTheUserAgrees) {
  std::string folder = fx_.Dir().File("new/site/");
  messages_.answer = false;
  ProfileRunResult declined =
      CreateProfilePages(fx_.Db(), "score", folder, "", progress_, messages_);
  EXPECT_FALSE(declined.done);
  EXPECT_FALSE(fs::exists(fx_.Dir().File("new")));
  ASSERT_EQ(messages_.asked.size(), 1u);
  EXPECT_EQ(messages_.asked[0].message1, "「" + folder + "」は存在しません");
  EXPECT_EQ(messages_.asked[0].message2, "「" + folder + "」を作成しますか？");
  EXPECT_TRUE(messages_.shown.empty());

  messages_.answer = true;
  EXPECT_TRUE(CreateProfilePages(fx_.Db(), "score", folder, "", progress_, messages_).done);
  EXPECT_EQ(Files(folder).size(), 4u);
}

TEST_F(ProfileRunTest, BlankFolderAndStop) {
  ProfileRunResult blank = CreateProfilePages(fx_.Db(), "score", "  ", "", progress_, messages_);
  EXPECT_FALSE(blank.done);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].message2, "出力先を指定してください");

  // STOP after the first page: the script and that page are written, nothing more.
  fs::create_directories(Out());
  CountingProgress stopping(1);
  ProfileRunResult stopped = CreateProfilePages(fx_.Db(), "score", Out(), "", stopping, messages_);
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(stopped.pages, 1);
  EXPECT_EQ(Files(Out()).size(), 2u);
}

TEST_F(ProfileRunTest, FolderThatCannotBeWrittenIsReportedByPath) {
  MakeFile(fx_.Dir().File("blocked"), "x");
  try {
    (void)CreateProfilePages(fx_.Db(), "score", fx_.Dir().File("blocked/site/"), "", progress_,
                             messages_);
    FAIL() << "no error";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrFile);
    EXPECT_NE(e.Description().find(fx_.Dir().File("blocked")), std::string::npos);
  }
}

}  // namespace
}  // namespace lanereport
