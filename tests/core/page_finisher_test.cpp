#include <gtest/gtest.h>

#include "CountingProgress.h"
#include "pages/Authorship.h"
#include "util/Cp932.h"
#include "workbook/PageFinisher.h"

namespace lanereport {
namespace {

// Bowler 7 (taro) with months 2003/04 to 2003/06 on the sheet and games only in May.
WorkbookState TaroState() {
  WorkbookState state;
  state.bowlers[7] = {"太郎", "taro"};
  state.bowlers[8] = {"次郎", "jiro"};  // in the table, but without monthly averages
  clsMonth_List& list = state.month_lists[7];
  list.Number(7);
  for (const char* m : {"200304", "200305", "200306"}) {
    list.Sttdt(m);
    list.Enddt(m);
    auto month = std::make_unique<clsMonth_Data>();
    month->Month(m);
    month->Link(std::string(m) == "200305");
    list.Additem(std::move(month), m);
  }
  return state;
}

const char* kPublished =
    "<html>\n"
    "<head>\n"
    "<meta http-equiv=Content-Type content=\"text/html; charset=shift_jis\">\n"
    "</head>\n"
    "<body>\n"
    "<td>&lt;ZEPA_Link_7_0&gt;</td><td>&lt;ZEPA_Link_7_1&gt;</td><td>&lt;ZEPA_Link_7_3&gt;</td>\n"
    "<td>&lt;ZEPA_Link_8_0&gt;</td>\n"
    "<!----------------------------->\n"
    "<img src=\"Stat_files/image001.png\">&lt;ZEPA_R&gt;\n"
    "</body>\n"
    "</html>\n";

TEST(PageFinisherTest, FinishesHeadLinksButtonFooterAndImages) {
  WorkbookState state = TaroState();
  FinishingContext context{&state, "sample", ""};
  testing::CountingProgress progress;
  std::string finished = Cp932ToUtf8(FinishPageBytes(kPublished, context, progress));
  std::string expected =
      std::string("<html>\r\n") +
      "<head>\r\n"
      "<meta name=\"keywords\" content=\"ZepaMasters\">\r\n"
      "<meta http-equiv=Content-Type content=\"text/html; charset=shift_jis\">\r\n"
      "<meta name=\"Generator\" content=\"ZEPA\">\r\n"
      "<title>ExcelOutPut</title>\r\n"
      "</head>\r\n"
      "<body>\r\n"
      "<td>2003年04月</td><td><a href=\"../sample2003/taro/200305.html\" accesskey=\"l\" "
      "title=\"taro_1\">2003年05月</a></td><td>&lt;ZEPA_Link_7_3&gt;</td>\r\n"
      "<td>&lt;ZEPA_Link_8_0&gt;</td>\r\n"
      "\r\n"
      "<img alt=\"グラフ\" src=\"Stat_files/image001.png\"><form "
      "action=\"javascript:location.reload()\"><input type=\"submit\" value=\"再表示\"></form>\r\n"
      "<div style=\"text-align:right;\"><a href=\"" +
      kGeneratorHomePage +
      "\">GENERATOR <em>ZEPA</em></a></div><br>\r\n"
      "</body>\r\n"
      "</html>\r\n";
  EXPECT_EQ(finished, expected);
  // Reading, the steps and bowler 7 advance the bar (bowler 8 has no month list).
  EXPECT_EQ(progress.counted, 9);
}

// The body of a finished page: what lies between "<body>\r\n" and the footer.
std::string FinishedBody(const std::string& body, const std::string& db_name) {
  WorkbookState state = TaroState();
  FinishingContext context{&state, db_name, ""};
  testing::CountingProgress progress;
  std::string page = "<html>\n<head>\n</head>\n<body>\n" + body + "\n</body>\n</html>\n";
  std::string finished = Cp932ToUtf8(FinishPageBytes(page, context, progress));
  std::size_t from = finished.find("<body>\r\n") + 8;
  return finished.substr(from, finished.find("\r\n<div style") - from);
}

TEST(PageFinisherTest, MonthLinksAreReplacedAsEachPlaceholderInTurnWould) {
  // Text that only looks like a placeholder stays; one inside it is still replaced.
  EXPECT_EQ(FinishedBody("&lt;ZEPA_Link_&lt;ZEPA_Link_7_0&gt;|&lt;ZEPA_Link_7_2|&lt;ZEPA_Link_7_"
                         "9&gt;&lt;ZEPA_Link_7_2&gt;",
                         "sample"),
            "&lt;ZEPA_Link_2003年04月|&lt;ZEPA_Link_7_2|&lt;ZEPA_Link_7_9&gt;2003年06月");
  // A database name holding a placeholder's text names the year folder: the link leads there,
  // the text escaped as an address, and no placeholder forms inside the link.
  EXPECT_EQ(FinishedBody("&lt;ZEPA_Link_7_1&gt;", "d&lt;ZEPA_Link_7_2&gt;"),
            "<a href=\"../d&amp;lt;ZEPA_Link_7_2&amp;gt;2003/taro/200305.html\" accesskey=\"l\" "
            "title=\"taro_1\">2003年05月</a>");
}

TEST(PageFinisherTest, StyleSheetAddsTwoHeadLines) {
  WorkbookState state;
  FinishingContext context{&state, "sample", "css/score.css"};
  testing::CountingProgress progress;
  std::string finished = FinishPageBytes(
      "<head>\r\n<meta http-equiv=Content-Type content=\"text/html; charset=shift_jis\">\r\n"
      "</head>\r\n",
      context, progress);
  EXPECT_EQ(finished,
            "<head>\r\n"
            "<meta name=\"keywords\" content=\"ZepaMasters\">\r\n"
            "<meta http-equiv=Content-Type content=\"text/html; charset=shift_jis\">\r\n"
            "<meta name=\"Generator\" content=\"ZEPA\">\r\n"
            "<meta http-equiv=\"content-style-type\" content=\"text/html; charset=shift_jis\">\r\n"
            "<link href=\"../css/score.css\" rel=\"stylesheet\" type=\"text/css\">\r\n"
            "<title>ExcelOutPut</title>\r\n"
            "</head>\r\n");
}

}  // namespace
}  // namespace lanereport
