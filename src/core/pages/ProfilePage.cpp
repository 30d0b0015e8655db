#include "pages/ProfilePage.h"

#include "database/clsBowler_Data.h"
#include "pages/Authorship.h"
#include "pages/PageContext.h"
#include "pages/PageText.h"
#include "util/Clock.h"
#include "util/DataChange.h"
#include "util/DateText.h"
#include "util/Markup.h"
#include "util/StringUtil.h"
#include "util/VisibleText.h"

namespace lanereport {
namespace {

constexpr std::string_view kSecret = "秘密♪";

bool IsNonZeroNumber(const std::string& text) {
  return NullToValue(Value(text), true).Number().value_or(0) != 0;
}

// A stored field of the ticker's message. The message reaches the page through three readers:
// the onload attribute holds the literal of showmsg("…"), showmsg evaluates "terop('…')" with
// the message inside apostrophes, and terop shows it through innerHTML. So the field is made
// text for innerHTML, then a literal for each of the two scripts, then an attribute value.
std::string TickerField(std::string_view value) {
  return HtmlAttr(JsString(JsString(HtmlText(value))));
}

// The bowler's own look and the photograph as the page may hold them: a value that cannot go
// into its attribute is left out (as if empty), and a line saying so is added to replaced.
struct ProfileLook {
  std::string style;
  std::string back;
  std::string color;
  std::string photo;
};

ProfileLook LookOf(const clsBowler_Data& bowler, std::vector<std::string>* replaced) {
  ProfileLook look{bowler.Pathstyle(), bowler.Pathback(), bowler.Pathchar(), bowler.Photo()};
  auto refuse = [&](std::string& value, const char* field) {
    if (replaced) {
      replaced->push_back("ボウラー「" + VisibleText(bowler.Name()) + "」の" + field +
                          "はページに書けないため、使わずに作成しました：" + VisibleText(value));
    }
    value.clear();
  };
  if (!IsSafeLinkTarget(look.style)) refuse(look.style, "スタイルシート");
  // A background image's value ("url('back.jpg')") may quote its address.
  bool image = look.back.find('.') != std::string::npos;
  if (!IsSafeStyleValue(look.back, image)) refuse(look.back, "背景");
  if (!IsSafeStyleValue(look.color)) refuse(look.color, "文字色");
  if (!IsSafeLinkTarget(look.photo)) refuse(look.photo, "写真");
  return look;
}

// The text the ticker types: the bowler's titles and details, lines separated by an escaped
// <br>.
std::string TickerMessage(const clsBowler_Data& bowler, std::string_view db_name) {
  std::string m;
  if (IsLeagueDatabase(std::string(db_name))) m += "Zepa-";
  m += TickerField(bowler.Rankb()) + "]&lt;br&gt;名前：" + TickerField(bowler.Name());
  long age = BowlerAge(bowler.Birth());
  m += "&lt;br&gt;年齢：";
  m += age != 0 ? std::to_string(age) + "歳" : std::string(kSecret);
  std::string height = bowler.Height();
  m += "&lt;br&gt;身長：";
  m += IsNonZeroNumber(height) ? TickerField(height) + "ｃｍ" : std::string(kSecret);
  std::string weight = bowler.Weight();
  m += "&lt;br&gt;体重：";
  m += IsNonZeroNumber(weight) ? TickerField(weight) + "ｋｇ" : std::string(kSecret);
  m += "&lt;br&gt;利き腕：" + TickerField(bowler.Arm());
  std::string ball = bowler.Ball();
  m += "&lt;br&gt;ボール：" + (ball.empty() ? std::string("ハウスボール") : TickerField(ball));
  m += "&lt;br&gt;リスタイ：" + TickerField(bowler.Wrist());
  std::string shoes = bowler.Shoes();
  m +=
      "&lt;br&gt;シューズ：" + (shoes.empty() ? std::string("ハウスシューズ") : TickerField(shoes));
  m += "&lt;br&gt;バック：" + TickerField(bowler.Bag());
  m += "&lt;br&gt;座右の銘：" + TickerField(bowler.Maxim());
  return m;
}

std::string ProfileBodyTag(const clsBowler_Data& bowler, const ProfileLook& look,
                           std::string_view db_name) {
  std::string tag = "<body";
  if (look.style.empty()) {
    bool open = false;
    if (!look.back.empty()) {
      tag += look.back.find('.') == std::string::npos ? " style=\"background-color:"
                                                      : " style=\"background:";
      tag += HtmlAttr(look.back);
      open = true;
    }
    if (!look.color.empty()) {
      tag += open ? ";color:" : " style=\"color:";
      tag += HtmlAttr(look.color);
      open = true;
    }
    if (open) tag += ";\"";
  }
  return tag + " onload=\"showmsg(&quot;[" + TickerMessage(bowler, db_name) +
         "&lt;br&gt;&quot;)\">";
}

}  // namespace

std::string MakeTickerScript() {
  PageText s(kCr);
  for (const char* line : {
           "var nt=0;",
           "var tmrshow=0;",
           "function showmsg(mes){",
           " clearInterval(tmrshow)",
           " nt=0",
           R"js( tmrshow=setInterval("terop('"+mes+"')",100);)js",
           "}",
           "function terop(mes)",
           "{",
           " var msg=mes.substring(0,nt);",
           " if(nt>mes.length){",
           "     clearInterval(tmrshow)",
           " }else{",
           R"js(     if(msg==""){msg="　"})js",
           "     if(document.all){",
           R"js(         lmsg.innerHTML="<font color='yellow'><b>"+msg+"</b></font>";)js",
           "     }",
           "     if(!document.all&&!document.layers&&document.getElementById){",
           R"js(         document.getElementById("lmsg").innerHTML=)js"
           R"js("<font color='yellow'><b>"+msg+"</b></font>";)js",
           "     }",
           "     if(document.layers){",
           "         document.lmsg.document.open();",
           "         document.lmsg.document.write(msg);",
           "         document.lmsg.document.close();",
           "     }",
           "     nt++;",
           " }",
           "}",
       }) {
    s.Line(0, line);
  }
  return s.Take();
}

std::string MakeProfilePage(const clsBowler_Data& bowler, std::string_view db_name,
                            std::vector<std::string>* replaced) {
  const ProfileLook look = LookOf(bowler, replaced);
  PageText p(kCr);
  p.Line(0, R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">)");
  p.Line(0, R"(<html lang="ja">)");
  p.Line(4, "<head>");
  p.Line(8, R"(<meta http-equiv="content-type" content="text/html; charset=shift_jis">)");
  p.Line(8, R"(<meta http-equiv="content-script-type" content="text/html; charset=shift_jis">)");
  p.Line(8, R"(<meta http-equiv="content-style-type" content="text/html; charset=shift_jis">)");
  p.Line(8, R"(<meta name="keywords" content="ZepaMasters">)");
  p.Line(8, R"(<meta name="Generator" content="ZEPA">)");
  p.Line(8, std::string(R"(<link rev="made" href="mailto:)") + kAuthorMailAddress + R"(">)", kCrLf);
  p.Line(8, R"(<link rel="start" href="index.html">)");
  if (!look.style.empty()) {
    p.Line(8, {R"(<link rel="stylesheet" type="text/css" href=")", HtmlAttr(UrlAddress(look.style)),
               R"(">)"});
  }
  p.Line(8, "<title>BowlerProfile</title>");
  p.Line(8, R"(<script type="text/javascript" src="profiles.js">)");
  p.Line(8, "</script>");
  p.Line(4, "</head>");
  p.Line(4, ProfileBodyTag(bowler, look, db_name));
  p.Line(8, "<noscript>");
  p.Line(12, "javascriptをonにして下さい");
  p.Line(8, "</noscript>");
  p.Line(8, R"(<table summary="profiles" border="1" width="775">)");
  p.Line(12, "<tbody>");
  p.Line(16, "<tr>");
  p.Line(20, "<td>");
  p.Line(24, {"<strong>", HtmlText(bowler.Ranka()), "</strong>"});
  p.Line(20, "</td>");
  p.Line(20, R"(<td rowspan="2" valign="top">)");
  p.Line(24, R"(<div id="lmsg">　</div>)");
  p.Line(20, "</td>");
  p.Line(16, "</tr>");
  p.Line(16, "<tr>");
  p.Line(20, R"(<td style="width:200;">)");
  if (!look.photo.empty()) {
    p.Line(24, {R"(<img alt="写真" width="190" height="200" style="border:0;" src=")",
                HtmlAttr(UrlAddress(look.photo)), R"(">)"});
  }
  p.Line(20, "</td>");
  p.Line(16, "</tr>");
  p.Line(12, "</tbody>");
  p.Line(8, "</table>");
  p.Line(8, R"(<table summary="email" border="0" width="775">)");
  p.Line(12, "<tbody>");
  p.Line(16, "<tr>");
  p.Line(20, R"(<td align="right">)");
  std::string mail = bowler.Mailaddress();
  p.Line(24, {R"(mail：<a href="mailto:)", HtmlAttr(UrlAddress(mail)), R"(" accesskey="m">)",
              HtmlText(mail), "</a>"});
  p.Line(20, "</td>");
  p.Line(16, "</tr>");
  p.Line(12, "</tbody>");
  p.Line(8, "</table>");
  p.Line(4, "</body>");
  p.Line(0, "</html>");
  return p.Take();
}

long BowlerAge(std::string_view birth) {
  std::optional<std::string> ymd = ParseDateToYmd(Trim(birth));
  if (!ymd) return 0;
  long by = std::stol(ymd->substr(0, 4));
  long bm = std::stol(ymd->substr(4, 2));
  long bd = std::stol(ymd->substr(6, 2));
  CivilDate today = Today();
  long months = (today.year - by) * 12 + (today.month - bm);
  long age = months / 12;
  if (bm == today.month && bd > today.day) --age;
  return age;
}

}  // namespace lanereport
