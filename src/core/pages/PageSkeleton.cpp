#include "pages/PageSkeleton.h"

#include "pages/Authorship.h"
#include "util/Markup.h"
#include "util/StringUtil.h"

namespace lanereport {

bool IsSettingEmpty(std::string_view setting) {
  return Trim(setting).empty();
}

std::string BodyStartTag(const WindowSettings& look, std::string_view up) {
  std::string tag = "<body";
  bool open = false;
  if (!IsSettingEmpty(look.Background)) {
    if (look.Background.find('.') == std::string::npos) {
      tag += " style=\"background-color:" + HtmlAttr(look.Background) + ";";
    } else {
      tag +=
          " style=\"background:url('" + std::string(up) + HtmlAttr(look.Background, true) + "');";
    }
    open = true;
  }
  if (!IsSettingEmpty(look.CharacterColor)) {
    tag += open ? "color:" : " style=\"color:";
    tag += HtmlAttr(look.CharacterColor) + ";";
    open = true;
  }
  if (open) tag += "\"";
  return tag + ">";
}

void AppendPageHead(PageText& page, const WindowSettings& look, std::string_view title,
                    std::string_view head_comment, std::string_view up) {
  page.Line(0, R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">)");
  page.Line(0, R"(<html lang="ja">)");
  page.Line(3, "<head>");
  page.Line(7, R"(<meta http-equiv="content-type" content="text/html; charset=shift_jis">)");
  page.Line(7, R"(<meta http-equiv="content-style-type" content="text/html; charset=shift_jis">)");
  page.Line(7, R"(<meta name="keywords" content="ZepaMasters">)", kCr);
  page.Line(7, R"(<meta name="Generator" content="ZEPA">)", kCr);
  if (!head_comment.empty()) page.Line(7, head_comment);
  page.Line(7, {R"(<link rev="made" href="mailto:)", kAuthorMailAddress, R"(">)"});
  page.Line(7, R"(<link rel="start" href="index.html">)");
  if (!IsSettingEmpty(look.StyleSheet)) {
    page.Line(7, {R"(<link rel="stylesheet" type="text/css" href=")", up, HtmlAttr(look.StyleSheet),
                  R"(">)"});
  }
  page.Line(7, {"<title>", HtmlText(title), "</title>"});
  page.Line(3, "</head>");
  page.Line(3, BodyStartTag(look, up));
}

void AppendNameTable(PageText& page, std::string_view width, std::string_view label,
                     std::string_view value) {
  page.Line(7, {R"(<table summary="name" border="0" width=")", width, R"(">)"});
  page.Line(11, "<tbody>");
  page.Line(15, "<tr>");
  page.Line(19, R"(<td style="width:70;">)");
  page.Line(23, "<strong>");
  page.Line(27, label);
  page.Line(23, "</strong>");
  page.Line(19, "</td>");
  page.Line(19, "<td>");
  page.Line(23, "<strong>");
  page.Line(27, HtmlText(value));
  page.Line(23, "</strong>");
  page.Line(19, "</td>");
  page.Line(15, "</tr>");
  page.Line(11, "</tbody>");
  page.Line(7, "</table>");
}

void AppendPageStart(PageText& page, const WindowSettings& look, std::string_view title,
                     std::string_view width, std::string_view bowler) {
  AppendPageHead(page, look, title, "");
  AppendNameTable(page, width, "投球者：", bowler);
}

void AppendPageEnd(PageText& page, std::string_view width) {
  page.Line(7, {R"(<table summary="ZEPA" border="0" width=")", width, R"(">)"});
  page.Line(11, "<tbody>");
  page.Line(15, R"(<tr align="right">)");
  page.Line(19, "<td>");
  page.Line(23,
            {R"(<a href=")", kGeneratorHomePage, R"(" accesskey="s">GENERATOR <em>ZEPA</em></a>)"});
  page.Line(19, "</td>");
  page.Line(15, "</tr>");
  page.Line(11, "</tbody>");
  page.Line(7, "</table>");
  page.Line(3, "</body>");
  page.Line(0, "</html>");
}

}  // namespace lanereport
