#include "pages/MonthlyPage.h"

#include "database/basDataBase.h"
#include "pages/BowlerGames.h"
#include "pages/PageSkeleton.h"
#include "pages/PageText.h"
#include "pages/PlayLookup.h"
#include "pages/ScoreColors.h"
#include "pages/ScorePage.h"
#include "scoring/clsResult_List.h"
#include "util/AppError.h"
#include "util/DateText.h"
#include "util/Markup.h"
#include "util/NumberFormat.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr std::string_view kWidth = "100%";

long ScoreOf(const clsResult_Data& game) {
  return game.Score();
}

bool IsStrike(const std::string& mark) {
  return mark == "×" || mark == "Ｘ";
}

// A cell of one bold value: "<td …>", "<strong>", the value, "</strong>", "</td>".
void AppendStrongCell(PageText& page, std::string_view start_tag, std::string_view value) {
  page.Line(19, start_tag);
  page.Line(23, "<strong>");
  page.Line(27, value);
  page.Line(23, "</strong>");
  page.Line(19, "</td>");
}

void AppendHeading(PageText& page, std::string_view style, std::string_view heading) {
  AppendStrongCell(page, "<td style=\"" + std::string(style) + "\">", heading);
}

void AppendSummary(PageText& page, const clsResult_List& month) {
  page.Line(7,
            R"(<table summary="total" border="1" width="100%" style="background-color:#ffffff;">)");
  page.Line(11, "<tbody>");
  page.Line(15, R"(<tr align="center">)");
  for (const char* heading : {"ﾄｰﾀﾙﾋﾟﾝ数", "ｹﾞｰﾑ数", "AVG", "ﾊｲｽｺｱ", "ﾛｰｽｺｱ"}) {
    AppendHeading(page, "background-color:#c0c0c0;", heading);
  }
  page.Line(15, "</tr>");
  page.Line(15, R"(<tr align="center">)");
  double average = month.Avg();
  std::string average_color = ScoreBackColor(ShownAverage(average));
  auto value_cell = [&page](const std::string& color, const std::string& value) {
    AppendStrongCell(page, "<td style=\"background-color:" + color + ";\">", value);
  };
  value_cell(average_color, std::to_string(month.ScoreTotal()));
  value_cell(average_color, std::to_string(month.Count()));
  value_cell(average_color, FormatFixed1(average));
  value_cell(ScoreBackColor(month.MaxScore()), std::to_string(month.MaxScore()));
  value_cell(ScoreBackColor(month.MinScore()), std::to_string(month.MinScore()));
  page.Line(15, "</tr>");
  page.Line(11, "</tbody>");
  page.Line(7, "</table>");
  page.Line(7, "<p>");
  page.Line(11, "<br>");
  page.Line(7, "</p>");
}

void AppendPlayTableHead(PageText& page, long columns) {
  page.Line(7,
            R"(<table summary="grade" border="1" width="100%" style="background-color:#ffffff;">)");
  page.Line(11, "<tbody>");
  page.Line(15, R"(<tr align="center">)");
  AppendHeading(page, "width:70;background-color:#c0c0c0;", "日付");
  AppendHeading(page, "width:100;background-color:#c0c0c0;", "ボウリング場");
  AppendHeading(page, "width:45;background-color:#c0c0c0;", "AVG");
  for (long k = 1; k <= columns; ++k) {
    AppendHeading(page, "width:30;background-color:#c0c0c0;", std::to_string(k));
    if (k % 3 == 0) AppendHeading(page, "width:50;background-color:#c0c0c0;", "ｼﾘｰｽﾞ");
  }
  AppendHeading(page, "width:45;background-color:#c0c0c0;", "ﾄｰﾀﾙ");
  AppendHeading(page, "background-color:#c0c0c0;", "備考");
  page.Line(15, "</tr>");
}

// One play's row group.
class PlayRows {
 public:
  PlayRows(PageText& page, const clsResult_List& play, long columns, std::string remarks)
      : page_(page), play_(play), columns_(columns), remarks_(std::move(remarks)) {
    long rows = (play.Count() + columns - 1) / columns;
    if (rows >= 2) rowspan_ = " rowspan=\"" + std::to_string(rows) + "\"";
    average_ = FormatFixed1(play.Avg());
    average_color_ = ScoreTextColor(ShownAverage(play.Avg()));
  }

  void Append(std::string_view yyyymmdd, long alley_id, const LevelLookup& level) {
    page_.Line(15, R"(<tr align="center">)");
    std::string name = std::string(yyyymmdd) + std::to_string(alley_id) + std::to_string(level.id);
    AppendStrongCell(page_, "<td" + rowspan_ + ">",
                     "<a href=\"" + name + ".html\" accesskey=\"r\" title=\"" + name + "\">" +
                         YmdToSlashed(yyyymmdd) + "</a>");
    std::string centre = "<td" + rowspan_ + " style=\"background-color:#c0c0c0;";
    if (!level.fcolor.empty()) centre += "color:" + HtmlAttr(level.fcolor) + ";";
    AppendStrongCell(page_, centre + "\">", HtmlText(play_.Item(0).AlleyName()));
    AppendStrongCell(page_, ColouredStart(), average_);

    long column = 0;
    long series = 0;
    const long count = play_.Count();
    for (long k = 1; k <= count; ++k) {
      long score = ScoreOf(play_.Item(static_cast<std::size_t>(k - 1)));
      series += score;
      ++column;
      AppendStrongCell(page_, "<td style=\"background-color:" + ScoreBackColor(score) + ";\">",
                       std::to_string(score));
      if (k % 3 == 0) {
        AppendStrongCell(page_,
                         "<td style=\"background-color:#c0c0c0;color:" +
                             ScoreTextColor(static_cast<double>(series) / 3) + ";\">",
                         std::to_string(series));
        series = 0;
        if (k == columns_) AppendTotalAndRemarks();
      }
      if (column % columns_ == 0) {
        page_.Line(15, "</tr>");
        if (k != count) page_.Line(15, R"(<tr align="center">)");
      }
    }
    while (column % columns_ != 0) {
      page_.Line(19, "<td>");
      page_.Line(23, "-");
      page_.Line(19, "</td>");
      ++column;
      if (column % 3 == 0) {
        page_.Line(19, R"(<td style="background-color:#c0c0c0;">)");
        page_.Line(23, "-");
        page_.Line(19, "</td>");
        series = 0;
      }
      if (column == columns_) AppendTotalAndRemarks();
      if (column % columns_ == 0) page_.Line(15, "</tr>");
    }
  }

 private:
  // The start tag of the average and total cells, coloured by the play's average.
  std::string ColouredStart() const {
    return "<td style=\"background-color:#c0c0c0;color:" + average_color_ + ";\"" + rowspan_ + ">";
  }

  void AppendTotalAndRemarks() {
    AppendStrongCell(page_, ColouredStart(), std::to_string(play_.ScoreTotal()));
    page_.Line(19, "<td" + rowspan_ + ">");
    page_.TextLine(23, Trim(remarks_).empty() ? "-" : remarks_);
    page_.Line(19, "</td>");
  }

  PageText& page_;
  const clsResult_List& play_;
  long columns_;
  std::string remarks_;
  std::string rowspan_;
  std::string average_;
  std::string average_color_;
};

int DaysInMonth(int year, int month) {
  int day = 31;
  while (day > 28 && !IsValidDate(year, month, day)) --day;
  return day;
}

}  // namespace

bool HasPromotionRight(Database& db, std::string_view bowler, std::string_view yyyymmdd) {
  clsResult_List day(db);
  try {
    day.SelectRecord("Bowler_Name = " + SqlQuote(bowler) + " And Play_Date = " + SqlQuote(yyyymmdd),
                     0);
  } catch (const AppError& e) {
    RethrowEngineError(e);
    return false;
  }
  if (day.Count() < 3) return false;
  long strikes = 0;
  bool turkey = false;
  for (const clsResult_Data& game : day) {
    bool s[21];
    for (int slot = 0; slot <= 20; ++slot) {
      s[slot] = IsStrike(GetRollMark(slot, game));
      if (s[slot]) ++strikes;
    }
    // Three strikes in a row, whichever roll of a frame holds its strike, through the three
    // balls of the tenth frame.
    for (int slot = 0; slot <= 13; ++slot) {
      if (s[slot] && s[slot + 2] && s[slot + 4]) turkey = true;
    }
    if ((s[15] && s[17] && s[18]) || (s[17] && s[18] && s[19]) || (s[18] && s[19] && s[20])) {
      turkey = true;
    }
    if (turkey && strikes >= 7) return true;
  }
  return false;
}

std::string LeagueMarkers(Database& db, std::string_view bowler, std::string_view yyyymmdd,
                          LeagueMarkerState& state) {
  std::string markers;
  if (HasPromotionRight(db, bowler, yyyymmdd)) markers += "【昇格対戦権利獲得】";
  try {
    clsResult_List last30(db);
    last30.SelectCount(bowler, yyyymmdd, 30, 3, "", "");
    state.threshold = last30.Avg() * 0.8;
  } catch (const AppError& e) {
    RethrowEngineError(e);
  }
  try {
    clsResult_List day(db);
    day.SelectRecord("Bowler_Name = " + SqlQuote(bowler) + " And Play_Date = " +
                         SqlQuote(yyyymmdd) + " And" + CalculationTargetCondition(),
                     0);
    state.day_average = day.Avg();
  } catch (const AppError& e) {
    RethrowEngineError(e);
  }
  if (state.threshold > state.day_average) markers += "【角番】";
  return markers;
}

bool MakeMonthlyPage(PageContext& context, std::string_view bowler, std::string_view yyyymm,
                     std::string& page) {
  std::optional<long long> year = ParseInteger(yyyymm.substr(0, 4));
  std::optional<long long> month_number =
      yyyymm.size() >= 6 ? ParseInteger(yyyymm.substr(4, 2)) : std::nullopt;
  if (!year || !month_number ||
      !IsValidDate(static_cast<int>(*year), static_cast<int>(*month_number), 1))
    return false;
  std::string first_day = std::string(yyyymm.substr(0, 6)) + "01";
  std::string last_day =
      std::string(yyyymm.substr(0, 6)) +
      std::to_string(DaysInMonth(static_cast<int>(*year), static_cast<int>(*month_number)));

  // The month and its plays are cut from the bowler's games of the run when the driver selected
  // them, else selected here.
  const BowlerGames* games =
      context.games && context.games->Serves(bowler, first_day, last_day) ? context.games : nullptr;
  clsResult_List month(context.db);
  if (games) {
    month = games->Period(first_day, last_day);
    if (month.Count() == 0) return false;
  } else {
    try {
      month.SelectRecord(PeriodCondition(bowler, first_day, last_day), 1);
    } catch (const AppError& e) {
      RethrowEngineError(e);
      return false;
    }
  }
  const long columns = month.MaxGameNumber() > 3 ? 6 : 3;

  PageText text;
  AppendPageStart(text, context.look, "月間表", kWidth, month.Item(0).BowlerName());
  AppendSummary(text, month);
  AppendPlayTableHead(text, columns);

  const bool league = IsLeagueDatabase(context.db_name);
  LeagueMarkerState markers;
  std::string last_date, last_alley, last_level;
  for (const clsResult_Data& game : month) {
    std::string date = game.PlayDate();
    std::string alley = game.AlleyName();
    std::string level = game.LevelName();
    if (date == last_date && alley == last_alley && level == last_level) continue;
    long alley_id = AlleyIdOf(context, alley);
    LevelLookup level_lookup = LevelOf(context, level);
    last_date = date;
    last_alley = alley;
    last_level = level;

    clsResult_List play(context.db);
    if (games) {
      play = games->Play(date, alley, level, 0);
    } else {
      try {
        play.SelectRecord(PlayCondition(bowler, date, alley, level), 0);
      } catch (const AppError& e) {
        RethrowEngineError(e);
        continue;
      }
    }
    std::string remarks = league ? LeagueMarkers(context.db, bowler, date, markers) : "";
    PlayRows(text, play, columns, std::move(remarks)).Append(date, alley_id, level_lookup);
  }
  text.Line(11, "</tbody>");
  text.Line(7, "</table>");
  AppendPageEnd(text, kWidth);
  page = text.Take();
  return true;
}

}  // namespace lanereport
