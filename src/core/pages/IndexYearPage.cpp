#include "pages/IndexYearPage.h"

#include "pages/IndexPage.h"
#include "pages/PageLayout.h"
#include "pages/PageSkeleton.h"
#include "pages/ScoreColors.h"
#include "pages/SvgChart.h"
#include "scoring/clsResult_List.h"
#include "util/FolderListing.h"
#include "util/Markup.h"
#include "util/NumberFormat.h"
#include "util/PathControl.h"

namespace lanereport {
namespace {

constexpr std::string_view kWidth = "100%";
constexpr std::string_view kHeadingColour = "#c0c0c0";
constexpr std::string_view kPlainColour = "#ffffff";

void AppendBowlers(PageText& page, const std::string& year_folder, const std::string& out_folder,
                   const std::vector<YearBowler>& bowlers) {
  AppendIndexHeading(page, "ボウラー");
  AppendIndexTableStart(page, "bowlers");
  page.Line(15, R"(<tr align="center">)");
  for (const char* heading : {"No.", "ボウラー", "ｹﾞｰﾑ数", "AVG", "ﾊｲｽｺｱ", "紹介"})
    AppendIndexCell(page, kHeadingColour, heading);
  page.Line(15, "</tr>");
  for (const YearBowler& entry : bowlers) {
    const clsResult_List& games = *entry.games;
    const BowlerListing& b = entry.bowler;
    std::string name = HtmlAttr(b.name);
    std::string profile = "-";
    if (entry.plain_folder) {
      name = LinkIfExists(year_folder, b.aname + "/" + std::string(kIndexFileName), b.name);
      std::string file = b.aname + ".html";
      if (IsExistFile(AddPathSeparator(out_folder) + file))
        profile = "<a href=\"../" + LinkPath(file) + "\">紹介</a>";
    }
    std::string average = ScoreBackColor(ShownAverage(games.Avg()));
    page.Line(15, R"(<tr align="center">)");
    AppendIndexCell(page, kPlainColour, std::to_string(b.number));
    AppendIndexCell(page, kPlainColour, name);
    AppendIndexCell(page, average, std::to_string(games.Count()));
    AppendIndexCell(page, average, FormatFixed1(games.Avg()));
    AppendIndexCell(page, ScoreBackColor(games.MaxScore()), std::to_string(games.MaxScore()));
    AppendIndexCell(page, kPlainColour, profile);
    page.Line(15, "</tr>");
  }
  AppendIndexTableEnd(page);
}

// The workbook of the year and its published pages, when there are any.
void AppendWorkbook(PageText& page, const std::string& year_folder, std::string_view db_name,
                    std::string_view yyyy) {
  const std::string suffix = "-" + std::string(yyyy) + ".html";
  std::vector<std::string> sheets = ListMatchingFiles(AddPathSeparator(year_folder), "*" + suffix);
  const std::string workbook = std::string(db_name) + std::string(yyyy) + ".xlsx";
  bool has_workbook = IsExistFile(year_folder + "/" + workbook);
  if (sheets.empty() && !has_workbook) return;
  AppendIndexHeading(page, "ボウラー情報");
  AppendIndexTableStart(page, "workbook");
  for (const std::string& sheet : sheets) {
    page.Line(15, "<tr>");
    AppendIndexCell(page, kPlainColour,
                    "<a href=\"" + LinkPath(sheet) + "\">" +
                        HtmlAttr(sheet.substr(0, sheet.size() - suffix.size())) + "</a>");
    page.Line(15, "</tr>");
  }
  if (has_workbook) {
    page.Line(15, "<tr>");
    AppendIndexCell(page, kPlainColour,
                    "<a href=\"" + LinkPath(workbook) + "\">" + HtmlAttr(workbook) + "</a>");
    page.Line(15, "</tr>");
  }
  AppendIndexTableEnd(page);
}

}  // namespace

std::string MakeYearIndexPage(const PageContext& context, std::string_view yyyy,
                              const std::vector<YearBowler>& bowlers) {
  std::string year_folder =
      AddPathSeparator(context.out_folder) + context.db_name + std::string(yyyy);
  PageText page;
  // The year page lies one folder below the output folder.
  AppendPageHead(page, context.look, std::string(yyyy) + "年のボウラー一覧", YearIndexMarker(yyyy),
                 "../");
  AppendNameTable(page, kWidth, "年度：", std::string(yyyy) + "年");
  AppendBowlers(page, year_folder, context.out_folder, bowlers);
  AppendWorkbook(page, year_folder, context.db_name, yyyy);
  AppendPageEnd(page, kWidth);
  return page.Take();
}

}  // namespace lanereport
