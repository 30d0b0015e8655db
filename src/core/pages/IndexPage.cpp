#include "pages/IndexPage.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "pages/PageLayout.h"
#include "pages/PageSkeleton.h"
#include "pages/PlayLookup.h"
#include "pages/ScoreColors.h"
#include "pages/SvgChart.h"
#include "scoring/MarkRates.h"
#include "scoring/clsResult_List.h"
#include "util/DateText.h"
#include "util/FileExistence.h"
#include "util/Markup.h"
#include "util/NumberFormat.h"
#include "util/PathControl.h"

namespace lanereport {
namespace {

constexpr std::string_view kWidth = "100%";
constexpr std::string_view kHeadingColour = "#c0c0c0";
constexpr std::string_view kPlainColour = "#ffffff";

// A comment holds no "--": the value keeps its meaning with every second hyphen of a pair
// written as a reference.
std::string CommentValue(std::string_view text) {
  std::string value = HtmlAttr(text);
  for (std::size_t at = value.find("--"); at != std::string::npos; at = value.find("--", at))
    value.replace(at + 1, 1, "&#45;");
  return value;
}

// A play: its date, centre and level, and its games.
struct Play {
  std::string date;
  std::string alley;
  std::string level;
  clsResult_List games;
};

// The year's games cut into its twelve months and into its plays, each a list of its own for
// its aggregates: plays in the order of their first game, a play that comes back later in the
// list (games of one play key played apart) being one play, as on its score page.
struct YearParts {
  std::vector<clsResult_List> months;  // January first
  std::vector<Play> plays;
};

YearParts PartsOf(Database& db, const clsResult_List& games) {
  // Each game's month and play first, so every list is made at its size.
  std::vector<int> month_of;
  std::vector<std::size_t> play_of;
  std::vector<std::size_t> month_sizes(12), play_sizes;
  std::map<std::string, std::size_t> plays_by_key;
  for (const clsResult_Data& game : games) {
    std::string date = game.PlayDate();
    int month = date.size() >= 6 ? std::atoi(date.substr(4, 2).c_str()) : 0;
    month_of.push_back(month >= 1 && month <= 12 ? month - 1 : -1);
    if (month_of.back() >= 0) ++month_sizes[month_of.back()];
    // Stored names are trimmed and hold no control character: a tab separates them.
    std::string key = date + "\t" + game.AlleyName() + "\t" + game.LevelName();
    auto [at, added] = plays_by_key.emplace(key, play_sizes.size());
    if (added) play_sizes.push_back(0);
    ++play_sizes[at->second];
    play_of.push_back(at->second);
  }
  std::vector<std::vector<clsResult_Data>> months(12);
  std::vector<std::vector<clsResult_Data>> plays(play_sizes.size());
  for (std::size_t m = 0; m < 12; ++m) months[m].reserve(month_sizes[m]);
  for (std::size_t p = 0; p < plays.size(); ++p) plays[p].reserve(play_sizes[p]);
  for (std::size_t i = 0; i < games.LIST().size(); ++i) {
    const clsResult_Data& game = games.Item(i);
    if (month_of[i] >= 0) months[month_of[i]].push_back(game);
    plays[play_of[i]].push_back(game);
  }
  YearParts parts;
  parts.months.reserve(12);
  for (auto& month : months) parts.months.emplace_back(db, std::move(month));
  for (auto& play : plays) {
    const clsResult_Data& first = play.front();
    std::string date = first.PlayDate(), alley = first.AlleyName(), level = first.LevelName();
    parts.plays.push_back({date, alley, level, clsResult_List(db, std::move(play))});
  }
  return parts;
}

std::string Month2(int month) {
  return (month < 10 ? "0" : "") + std::to_string(month);
}

void AppendSummary(PageText& page, clsResult_List& games) {
  AppendIndexTableStart(page, "year");
  page.Line(15, R"(<tr align="center">)");
  for (const char* heading : {"ｹﾞｰﾑ数", "ﾄｰﾀﾙﾋﾟﾝ数", "AVG", "ﾊｲｽｺｱ", "ﾛｰｽｺｱ", "ﾊｲｼﾘｰｽﾞ", "ﾛｰｼﾘｰｽﾞ"})
    AppendIndexCell(page, kHeadingColour, heading);
  page.Line(15, "</tr>");
  page.Line(15, R"(<tr align="center">)");
  std::string average = ScoreBackColor(ShownAverage(games.Avg()));
  AppendIndexCell(page, average, std::to_string(games.Count()));
  AppendIndexCell(page, average, std::to_string(games.ScoreTotal()));
  AppendIndexCell(page, average, FormatFixed1(games.Avg()));
  AppendIndexCell(page, ScoreBackColor(games.MaxScore()), std::to_string(games.MaxScore()));
  AppendIndexCell(page, ScoreBackColor(games.MinScore()), std::to_string(games.MinScore()));
  // A year without a complete series of three shows "-" for both series.
  long high = games.MaxSeries();
  long low = games.MinSeries();
  bool series = high > 0 || low < 900;
  AppendIndexCell(page, series ? ScoreBackColor(high / 3.0) : std::string(kPlainColour),
                  series ? std::to_string(high) : "-");
  AppendIndexCell(page, series ? ScoreBackColor(low / 3.0) : std::string(kPlainColour),
                  series ? std::to_string(low) : "-");
  page.Line(15, "</tr>");
  AppendIndexTableEnd(page);
}

// A table row: the heading cell, then one plain cell per figure.
void AppendFigureRow(PageText& page, std::string_view heading,
                     const std::vector<std::string>& figures) {
  page.Line(15, R"(<tr align="center">)");
  AppendIndexCell(page, kHeadingColour, heading);
  for (const std::string& figure : figures) AppendIndexCell(page, kPlainColour, figure);
  page.Line(15, "</tr>");
}

void AppendChartAndTable(
    PageText& page, const ChartSpec& chart, std::string_view summary,
    std::string_view category_heading, const std::vector<std::string>& table_categories,
    const std::vector<std::pair<std::string, std::vector<std::string>>>& rows) {
  AppendIndexHeading(page, chart.title);
  page.Line(7, "<p>");
  AppendSvgChart(page, 11, chart);
  page.Line(7, "</p>");
  AppendIndexTableStart(page, summary);
  AppendFigureRow(page, category_heading, table_categories);
  for (const auto& [heading, figures] : rows) AppendFigureRow(page, heading, figures);
  AppendIndexTableEnd(page);
}

void AppendMonthChart(PageText& page, const clsResult_List& games, const YearParts& parts,
                      std::string_view yyyy) {
  ChartSpec chart;
  chart.title = "月別アベレージとゲーム数";
  ChartSeries average{"AVG", "#cc0000", true, {}, {}};
  std::vector<std::string> counts;
  double low = 300, high = 0;
  for (int m = 1; m <= 12; ++m) {
    std::string yyyymm = std::string(yyyy) + Month2(m);
    long count = parts.months[m - 1].Count();
    chart.categories.push_back(std::to_string(m) + "月");
    chart.notes.push_back(count > 0 ? std::to_string(count) + "ｹﾞｰﾑ" : "");
    counts.push_back(std::to_string(count));
    if (count == 0) {
      average.values.push_back(std::nullopt);
      average.figures.push_back("-");
      continue;
    }
    double avg = games.MonthAvg(yyyymm);
    average.values.push_back(avg);
    average.figures.push_back(FormatFixed1(avg));
    low = std::min(low, avg);
    high = std::max(high, avg);
  }
  ValueAxis axis = FitValueAxis(low - 5, high + 5, 0, 300);
  chart.axis_min = axis.min;
  chart.axis_max = axis.max;
  chart.axis_step = axis.step;
  chart.series.push_back(average);
  AppendChartAndTable(page, chart, "monthly average", "月", chart.categories,
                      {{"AVG", average.figures}, {"ｹﾞｰﾑ数", counts}});
}

void AppendDistributionChart(PageText& page, const clsResult_List& games) {
  // The bands of ten pins from the lowest that holds a game to the highest; 300 is a band of
  // its own.
  std::vector<long> counts;
  for (long k = 0; k <= 30; ++k) counts.push_back(games.Distribution(k * 10));
  auto holds = [](long n) { return n > 0; };
  long first = std::find_if(counts.begin(), counts.end(), holds) - counts.begin();
  long last = counts.rend() - std::find_if(counts.rbegin(), counts.rend(), holds) - 1;
  ChartSpec chart;
  chart.title = "スコア分布";
  ChartSeries series{"ｹﾞｰﾑ数", "#3366cc", false, {}, {}};
  long most = 0;
  for (long k = first; k <= last; ++k) {
    long lower = k * 10;
    chart.categories.push_back(
        lower == 300 ? "300" : std::to_string(lower) + "-" + std::to_string(lower + 9));
    chart.labels.push_back(std::to_string(lower));
    series.values.push_back(static_cast<double>(counts[k]));
    series.figures.push_back(std::to_string(counts[k]));
    most = std::max(most, counts[k]);
  }
  ValueAxis axis = FitValueAxis(0, static_cast<double>(most), 0, 1e9);
  chart.axis_min = axis.min;
  chart.axis_max = axis.max;
  chart.axis_step = axis.step;
  chart.series.push_back(series);
  AppendChartAndTable(page, chart, "distribution", "ｽｺｱ", chart.categories,
                      {{"ｹﾞｰﾑ数", series.figures}});
}

void AppendRateChart(PageText& page, clsResult_List& games) {
  games.CalcProbability();
  ChartSpec chart;
  chart.title = "フレーム別ストライク率・スペア率・オープン率";
  chart.axis_unit = "%";
  struct Kind {
    long kind;
    const char* name;
    const char* colour;
  };
  const Kind kinds[] = {{kRateStrike, "ストライク率", "#cc0000"},
                        {kRateSpare, "スペア率", "#3366cc"},
                        {kRateOpen, "オープン率", "#999999"}};
  for (int f = 1; f <= 10; ++f) chart.categories.push_back(std::to_string(f));
  std::vector<std::pair<std::string, std::vector<std::string>>> rows;
  for (const Kind& kind : kinds) {
    ChartSeries series{kind.name, kind.colour, false, {}, {}};
    for (int f = 1; f <= 10; ++f) {
      // The rates keep frame 10 at index 0.
      double rate = games.Probability(f == 10 ? 0 : f, kind.kind);
      series.values.push_back(rate);
      series.figures.push_back(FormatFixed1(rate) + "%");
    }
    rows.emplace_back(kind.name, series.figures);
    chart.series.push_back(std::move(series));
  }
  chart.axis_min = 0;
  chart.axis_max = 100;
  chart.axis_step = 20;
  AppendChartAndTable(page, chart, "frame rates", "ﾌﾚｰﾑ", chart.categories, rows);
}

void AppendMonths(PageText& page, const YearParts& parts, std::string_view yyyy,
                  std::string_view folder, FileExistence& files) {
  AppendIndexHeading(page, "月間表");
  AppendIndexTableStart(page, "months");
  page.Line(15, R"(<tr align="center">)");
  for (const char* heading : {"月", "ｹﾞｰﾑ数", "ﾄｰﾀﾙﾋﾟﾝ数", "AVG", "ﾊｲｽｺｱ", "ﾛｰｽｺｱ"})
    AppendIndexCell(page, kHeadingColour, heading);
  page.Line(15, "</tr>");
  for (int m = 1; m <= 12; ++m) {
    std::string yyyymm = std::string(yyyy) + Month2(m);
    const clsResult_List& month = parts.months[m - 1];
    if (month.Count() == 0) continue;
    std::string average = ScoreBackColor(ShownAverage(month.Avg()));
    page.Line(15, R"(<tr align="center">)");
    AppendIndexCell(page, kPlainColour,
                    LinkIfExists(files, folder, MonthlyPageFileName(yyyymm),
                                 std::string(yyyy) + "/" + Month2(m)));
    AppendIndexCell(page, average, std::to_string(month.Count()));
    AppendIndexCell(page, average, std::to_string(month.ScoreTotal()));
    AppendIndexCell(page, average, FormatFixed1(month.Avg()));
    AppendIndexCell(page, ScoreBackColor(month.MaxScore()), std::to_string(month.MaxScore()));
    AppendIndexCell(page, ScoreBackColor(month.MinScore()), std::to_string(month.MinScore()));
    page.Line(15, "</tr>");
  }
  AppendIndexTableEnd(page);
}

void AppendPlays(PageText& page, const YearParts& parts, std::string_view folder, MasterIds& ids,
                 FileExistence& files) {
  AppendIndexHeading(page, "スコア表");
  AppendIndexTableStart(page, "plays");
  page.Line(15, R"(<tr align="center">)");
  for (const char* heading : {"日付", "ボウリング場", "レベル", "ｹﾞｰﾑ数", "ﾄｰﾀﾙ"})
    AppendIndexCell(page, kHeadingColour, heading);
  page.Line(15, "</tr>");
  for (const Play& play : parts.plays) {
    const clsResult_List& played = play.games;
    std::string file = ScorePageFileName(play.date, ids.Alley(play.alley), ids.Level(play.level));
    std::string average = ScoreBackColor(ShownAverage(played.Avg()));
    page.Line(15, R"(<tr align="center">)");
    AppendIndexCell(page, kPlainColour, LinkIfExists(files, folder, file, YmdToSlashed(play.date)));
    AppendIndexCell(page, kPlainColour, HtmlAttr(play.alley));
    AppendIndexCell(page, kPlainColour, HtmlAttr(play.level));
    AppendIndexCell(page, average, std::to_string(played.Count()));
    AppendIndexCell(page, average, std::to_string(played.ScoreTotal()));
    page.Line(15, "</tr>");
  }
  AppendIndexTableEnd(page);
}

}  // namespace

std::string BowlerIndexKey(std::string_view yyyy, std::string_view aname) {
  return "<!-- ZEPA index-pages year=\"" + CommentValue(yyyy) + "\" folder=\"" +
         CommentValue(aname) + "\"";
}

std::string BowlerIndexMarker(std::string_view yyyy, std::string_view aname,
                              std::string_view bowler) {
  return BowlerIndexKey(yyyy, aname) + " bowler=\"" + CommentValue(bowler) + "\" -->";
}

std::string YearIndexMarker(std::string_view yyyy) {
  return "<!-- ZEPA index-pages year=\"" + CommentValue(yyyy) + "\" -->";
}

std::string LinkPath(std::string_view relative) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string path;
  for (unsigned char c : relative) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      path += static_cast<char>(c);
    } else {
      path += '%';
      path += kHex[c >> 4];
      path += kHex[c & 15];
    }
  }
  return path;
}

long MasterIds::Alley(const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = alleys_.find(name);
  if (found == alleys_.end()) found = alleys_.emplace(name, AlleyIdOf(db_, name)).first;
  return found->second;
}

long MasterIds::Level(const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = levels_.find(name);
  if (found == levels_.end()) found = levels_.emplace(name, LevelOf(db_, name).id).first;
  return found->second;
}

void AppendIndexTableStart(PageText& page, std::string_view summary) {
  page.Line(7, {R"(<table summary=")", summary,
                R"(" border="1" width="100%" style="background-color:#ffffff;">)"});
  page.Line(11, "<tbody>");
}

void AppendIndexTableEnd(PageText& page) {
  page.Line(11, "</tbody>");
  page.Line(7, "</table>");
  page.Line(7, "<p>");
  page.Line(11, "<br>");
  page.Line(7, "</p>");
}

void AppendIndexCell(PageText& page, std::string_view background, std::string_view content) {
  page.Line(19, {R"(<td style="background-color:)", background, ";\">"});
  page.Line(23, "<strong>");
  page.Line(27, content);
  page.Line(23, "</strong>");
  page.Line(19, "</td>");
}

void AppendIndexHeading(PageText& page, std::string_view heading) {
  page.Line(7, "<p>");
  page.Line(11, {"<strong>", HtmlAttr(heading), "</strong>"});
  page.Line(7, "</p>");
}

std::string LinkIfExists(std::string_view folder, std::string_view target, std::string_view text) {
  if (!IsExistFile(std::string(folder) + "/" + std::string(target))) return HtmlAttr(text);
  return "<a href=\"" + LinkPath(target) + "\">" + HtmlAttr(text) + "</a>";
}

std::string LinkIfExists(FileExistence& files, std::string_view folder, std::string_view target,
                         std::string_view text) {
  if (!files.IsExistFile(std::string(folder) + "/" + std::string(target))) return HtmlAttr(text);
  return "<a href=\"" + LinkPath(target) + "\">" + HtmlAttr(text) + "</a>";
}

struct BowlerIndexDraft::Parts {
  PageText page;
  std::string yyyy;
  YearParts year;
};

BowlerIndexDraft::BowlerIndexDraft(const PageContext& context, std::string_view yyyy,
                                   const BowlerListing& bowler, clsResult_List& games)
    : parts_(std::make_unique<Parts>()) {
  PageText& page = parts_->page;
  parts_->yyyy = std::string(yyyy);
  AppendPageHead(page, context.look, std::string(yyyy) + "年の成績",
                 BowlerIndexMarker(yyyy, bowler.aname, bowler.name));
  AppendNameTable(page, kWidth, "投球者：", bowler.name);
  page.Line(7, "<p>");
  page.Line(11, {R"(<a href="../index.html">)", yyyy, "年のボウラー一覧</a>"});
  page.Line(7, "</p>");
  AppendIndexHeading(page, std::string(yyyy) + "年の成績");
  AppendSummary(page, games);
  parts_->year = PartsOf(context.db, games);
  AppendMonthChart(page, games, parts_->year, yyyy);
  AppendDistributionChart(page, games);
  AppendRateChart(page, games);
}

BowlerIndexDraft::~BowlerIndexDraft() = default;
BowlerIndexDraft::BowlerIndexDraft(BowlerIndexDraft&&) noexcept = default;
BowlerIndexDraft& BowlerIndexDraft::operator=(BowlerIndexDraft&&) noexcept = default;

std::string BowlerIndexDraft::Finish(std::string_view folder, MasterIds& ids) && {
  PageText& page = parts_->page;
  // The bowler's folder is listed once for all its links.
  FileExistence files;
  AppendMonths(page, parts_->year, parts_->yyyy, folder, files);
  AppendPlays(page, parts_->year, folder, ids, files);
  AppendPageEnd(page, kWidth);
  return page.Take();
}

std::string MakeBowlerIndexPage(const PageContext& context, std::string_view yyyy,
                                const BowlerListing& bowler, clsResult_List& games,
                                std::string_view folder, MasterIds& ids) {
  return BowlerIndexDraft(context, yyyy, bowler, games).Finish(folder, ids);
}

}  // namespace lanereport
