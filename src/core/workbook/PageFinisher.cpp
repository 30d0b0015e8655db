#include "workbook/PageFinisher.h"

#include <map>
#include <utility>
#include <vector>

#include "pages/Authorship.h"
#include "ui/ProgressWindow.h"
#include "util/Cp932.h"
#include "util/DataChange.h"
#include "util/Markup.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kMeta =
    "<meta http-equiv=Content-Type content=\"text/html; charset=shift_jis\">";

// The page's lines joined again, each ending with CR LF.
std::string NormaliseLines(std::string_view page) {
  std::string out;
  out.reserve(page.size() + page.size() / 16);
  for (std::string& line : Split(page, '\n')) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out += line;
    out += kCrLf;
  }
  // Split gives one empty piece after a final line end; it is not a line of the page.
  if (!page.empty() && page.back() == '\n') out.resize(out.size() - 2);
  return out;
}

std::string MonthLabel(const std::string& m) {
  return m.substr(0, 4) + "年" + m.substr(4, 2) + "月";
}

std::string NextMonth(const std::string& date) {
  int y = std::stoi(date.substr(0, 4));
  int m = std::stoi(date.substr(5, 2)) + 1;
  if (m > 12) {
    m = 1;
    ++y;
  }
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d/%02d/%s", y, m, date.substr(8).c_str());
  return buffer;
}

// The month-link placeholders of the pages and what replaces each (code page 932), in the
// order they are made.
struct MonthLinks {
  std::vector<std::pair<std::string, std::string>> links;
  std::map<std::string, std::size_t, std::less<>> index;  // placeholder to its place in links
};

constexpr std::string_view kLinkStart = "&lt;ZEPA_Link_";
constexpr std::string_view kLinkEnd = "&gt;";

// Adds the month-link placeholders of one bowler.
void AddMonthLinks(MonthLinks& links, long number, const BowlerEntry& bowler,
                   const clsMonth_List& const_list, const std::string& db_name) {
  auto& list = const_cast<clsMonth_List&>(const_list);
  std::string d = list.Sttdt() + "/01";
  std::string e = list.Enddt() + "/31";
  long j = 0;
  do {
    std::string m = d.substr(0, 4) + d.substr(5, 2);
    const clsMonth_Data* month = list.Find(m);
    std::string replacement;
    if (month && month->Link()) {
      // The folder names come from the database's file name and the stored Aname: each is one
      // segment of the address, and the title shows the Aname as it is stored.
      replacement =
          "<a href=\"../" + HtmlAttr(UrlSegment(db_name + m.substr(0, 4))) + "/" +
          HtmlAttr(UrlSegment(bowler.aname)) + "/" + m + ".html\" accesskey=\"l\" title=\"" +
          HtmlAttr(bowler.aname + "_" + std::to_string(j)) + "\">" + MonthLabel(m) + "</a>";
    } else {
      replacement = MonthLabel(m);
    }
    std::string placeholder = std::string(kLinkStart) + std::to_string(number) + "_" +
                              std::to_string(j) + std::string(kLinkEnd);
    if (links.index.emplace(placeholder, links.links.size()).second)
      links.links.emplace_back(std::move(placeholder), Utf8ToCp932(replacement));
    d = NextMonth(d);
    ++j;
  } while (d <= e);
}

// Replaces every placeholder, as replacing each in turn over the whole page would.
std::string ReplaceMonthLinks(std::string text, const MonthLinks& links) {
  // No replacement holds a placeholder's start (the stored names in a link are escaped), so the
  // placeholders, which never overlap, are replaced in one pass.
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t start = text.find(kLinkStart, pos);
    if (start == std::string::npos) break;
    out.append(text, pos, start - pos);
    std::size_t end = text.find(kLinkEnd, start + kLinkStart.size());
    if (end != std::string::npos) {
      std::string_view placeholder(text.data() + start, end + kLinkEnd.size() - start);
      auto found = links.index.find(placeholder);
      if (found != links.index.end()) {
        out += links.links[found->second].second;
        pos = end + kLinkEnd.size();
        continue;
      }
    }
    // Not a placeholder of the pages: its first character stays, the search goes on after it.
    out += text[start];
    pos = start + 1;
  }
  out.append(text, pos, std::string::npos);
  return out;
}

}  // namespace

long FinishingSteps(const FinishingContext& context) {
  long steps = 8;
  if (!context.state) return steps;
  for (long i = 0; i < static_cast<long>(context.state->bowlers.size()); ++i) {
    if (!context.state->bowlers[static_cast<std::size_t>(i)].name.empty() &&
        context.state->month_lists.count(i))
      ++steps;
  }
  return steps;
}

std::string FinishPageBytes(std::string_view page, const FinishingContext& context,
                            ProgressWindow& progress) {
  std::string text = NormaliseLines(page);
  progress.CountProgress(1, 1);
  const std::string meta = kMeta;
  if (!context.style_sheet.empty()) {
    text = ReplaceAll(text, meta,
                      meta + kCrLf +
                          "<meta http-equiv=\"content-style-type\" content=\"text/html; "
                          "charset=shift_jis\">" +
                          kCrLf + "<link href=\"../" + Utf8ToCp932(HtmlAttr(context.style_sheet)) +
                          "\" rel=\"stylesheet\" type=\"text/css\">");
  }
  progress.CountProgress(1, 1);
  text = ReplaceAll(text, meta,
                    std::string("<meta name=\"keywords\" content=\"ZepaMasters\">") + kCrLf + meta +
                        kCrLf + "<meta name=\"Generator\" content=\"ZEPA\">");
  progress.CountProgress(1, 1);
  text = ReplaceAll(text, "</head>", std::string("<title>ExcelOutPut</title>") + kCrLf + "</head>");
  progress.CountProgress(1, 1);
  if (context.state) {
    MonthLinks links;
    for (long i = 0; i < static_cast<long>(context.state->bowlers.size()); ++i) {
      const BowlerEntry& bowler = context.state->bowlers[static_cast<std::size_t>(i)];
      if (bowler.name.empty()) continue;
      auto list = context.state->month_lists.find(i);
      // A bowler without monthly averages keeps its placeholders.
      if (list == context.state->month_lists.end()) continue;
      AddMonthLinks(links, i, bowler, list->second, context.db_name);
      progress.CountProgress(1, 1);
    }
    text = ReplaceMonthLinks(std::move(text), links);
  }
  text = ReplaceAll(text, "&lt;ZEPA_R&gt;",
                    Utf8ToCp932("<form action=\"javascript:location.reload()\"><input "
                                "type=\"submit\" value=\"再表示\"></form>"));
  progress.CountProgress(1, 1);
  text =
      ReplaceAll(text, "</body>",
                 std::string("<div style=\"text-align:right;\"><a href=\"") + kGeneratorHomePage +
                     "\">GENERATOR <em>ZEPA</em></a></div><br>" + kCrLf + "</body>");
  progress.CountProgress(1, 1);
  text = ReplaceAll(text, "<img", Utf8ToCp932("<img alt=\"グラフ\""));
  progress.CountProgress(1, 1);
  text = ReplaceAll(text, "<!----------------------------->", "");
  progress.CountProgress(1, 1);
  return text;
}

}  // namespace lanereport
