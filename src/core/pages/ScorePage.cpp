#include "pages/ScorePage.h"

#include "pages/BowlerGames.h"
#include "pages/PageSkeleton.h"
#include "pages/PageText.h"
#include "pages/PlayLookup.h"
#include "scoring/clsResult_List.h"
#include "util/AppError.h"
#include "util/DateText.h"
#include "util/Markup.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr std::string_view kWidth = "770";
constexpr std::string_view kSpare = "／";
constexpr std::string_view kStrike = "×";
constexpr std::string_view kStrike2 = "Ｘ";

long ScoreOf(const clsResult_Data& game) {
  return game.Score();
}

// The parts of a game table that depend on the look settings, worked out once per page.
struct GameLook {
  std::string border;  // "0" with frame images, "1" without
  std::string first;   // style after "width:NN;" of first roll boxes and score cells
  std::string other;   // style after "width:30;" of second and third roll boxes
  std::string space;   // image line of an empty roll, or 24 blanks
  std::string spare;   // image line of a spare, or empty to write the mark
  std::string strike;  // image line of a strike, or empty to write the mark
};

std::string ImageLine(std::string_view alt, const std::string& image) {
  return std::string(23, ' ') + "<img alt=\"" + std::string(alt) + "\" src=\"../../" +
         HtmlAttr(image) + "\" width=\"15\" height=\"15\">";
}

GameLook LookOf(const WindowSettings& look) {
  GameLook g;
  bool frames = !IsSettingEmpty(look.Frame1) || !IsSettingEmpty(look.Frame2);
  g.border = frames ? "0" : "1";
  if (frames) {
    g.first = "background:url('../../" + HtmlAttr(look.Frame2, true) + "')";
    g.other = "background:url('../../" + HtmlAttr(look.Frame1, true) + "')";
  }
  g.space = IsSettingEmpty(look.Space) ? std::string(24, ' ') : ImageLine("space", look.Space);
  if (!IsSettingEmpty(look.Spare)) g.spare = ImageLine("spare", look.Spare);
  if (!IsSettingEmpty(look.Strike)) g.strike = ImageLine("strike", look.Strike);
  return g;
}

void AppendRollCell(PageText& page, const GameLook& look, int slot, const std::string& mark) {
  bool first_box = slot % 2 == 0 && slot < 20;
  page.Line(19, {"<td style=\"width:30;", first_box ? look.first : look.other, "\">"});
  if (mark.empty()) {
    page.Line(0, look.space);
  } else if (mark == kSpare && !look.spare.empty()) {
    page.Line(0, look.spare);
  } else if ((mark == kStrike || mark == kStrike2) && !look.strike.empty()) {
    page.Line(0, look.strike);
  } else {
    page.TextLine(23, mark);
  }
  page.Line(19, "</td>");
}

void AppendGameTable(PageText& page, const GameLook& look, const clsResult_Data& game,
                     long handicap_sum, long running_total) {
  page.Line(7, {R"(<table summary="score" border=")", look.border,
                R"(" cellspacing="1" width="770" style="background-color:#ffffff;">)"});
  page.Line(11, "<tbody>");
  page.Line(15, R"(<tr align="center">)");
  page.Line(19, R"(<td style="width:60;background-color:#c0c0c0" colspan="1">－</td>)");
  static const char* const kFrames[] = {"１", "２", "３", "４", "５", "６", "７", "８", "９"};
  for (const char* frame : kFrames) {
    page.Line(19,
              {R"(<td style="width:60;background-color:#c0c0c0" colspan="2">)", frame, "</td>"});
  }
  page.Line(19, R"(<td style="width:90;background-color:#c0c0c0" colspan="3">１０</td>)");
  page.Line(19, R"(<td style="width:80;background-color:#c0c0c0" colspan="1">total</td>)");
  page.Line(15, "</tr>");

  page.Line(15, R"(<tr align="center" style="color:#000000;">)");
  page.Line(19, {R"(<td rowspan="2" style="width:60;)", look.first, R"(">)"});
  page.Line(23, std::to_string(game.GameNumber()));
  page.Line(19, "</td>");
  for (int slot = 0; slot <= 20; ++slot) AppendRollCell(page, look, slot, GetRollMark(slot, game));
  page.Line(19, {R"(<td rowspan="2" style="width:80;)", look.first, R"(">)"});
  if (game.Handicap() != 0) {
    page.Line(23, {std::to_string(game.Handicap() + ScoreOf(game)), "<br>(",
                   std::to_string(game.Handicap()), ")"});
  } else {
    page.Line(23, game.Tenthframescore());
  }
  page.Line(19, "</td>");
  page.Line(15, "</tr>");

  page.Line(15, R"(<tr align="center" style="color:#000000;">)");
  for (long frame = 1; frame <= 9; ++frame) {
    page.Line(19, {R"(<td style="width:60;)", look.first, R"(" colspan="2">)"});
    page.Line(23, game.FrameScore(frame));
    page.Line(19, "</td>");
  }
  page.Line(19, {R"(<td style="width:90;)", look.first, R"(" colspan="3">)"});
  page.Line(23, game.Tenthframescore());
  page.Line(19, "</td>");
  page.Line(15, "</tr>");

  page.Line(15, "<tr>");
  page.Line(19, R"(<td style="width:60;background-color:#c0c0c0;" align="center" colspan="1">)");
  page.Line(23, "Memo");
  page.Line(19, "</td>");
  page.Line(19, R"(<td style="width:710;background-color:#c0c0c0;" align="left" colspan="21">)");
  std::string memo = game.ResultMemo();
  page.TextLine(23, memo.empty() ? "-" : memo);
  page.Line(19, "</td>");
  page.Line(19, R"(<td style="width:80;background-color:#c0c0c0;color:#000000;" align="center">)");
  page.Line(23, {"<strong>", std::to_string(running_total), "</strong>"});
  if (handicap_sum != 0) page.Line(0, {"<br>(", std::to_string(handicap_sum), ")"});
  page.Line(19, "</td>");
  page.Line(15, "</tr>");
  page.Line(11, "</tbody>");
  page.Line(7, "</table>");
  page.Line(7, "<br>");
}

void AppendPlayTables(PageText& page, std::string_view yyyymmdd, std::string_view alley,
                      std::string_view level) {
  page.Line(7, R"(<table summary="allay" border="0" width="770">)");
  page.Line(11, "<tbody>");
  page.Line(15, "<tr>");
  page.Line(19, "<td>");
  page.TextLine(23, alley);
  page.Line(19, "</td>");
  page.Line(15, "</tr>");
  page.Line(11, "</tbody>");
  page.Line(7, "</table>");
  page.Line(7, R"(<table summary="level" border="0" width="770">)");
  page.Line(11, "<tbody>");
  page.Line(15, "<tr>");
  page.Line(19, R"(<td style="width:100;">)");
  page.Line(23, "<br>");
  page.Line(19, "</td>");
  page.Line(19, R"(<td style="width:330;">)");
  page.TextLine(23, level);
  page.Line(19, "</td>");
  page.Line(19, R"(<td style="width:155;">)");
  page.Line(23, "<br>");
  page.Line(19, "</td>");
  page.Line(19, R"(<td style="width:95;" align="right">)");
  page.Line(23, YmdToSlashed(yyyymmdd));
  page.Line(19, "</td>");
  page.Line(19, R"(<td style="width:90;">)");
  page.Line(23, "<br>");
  page.Line(19, "</td>");
  page.Line(15, "</tr>");
  page.Line(11, "</tbody>");
  page.Line(7, "</table>");
}

}  // namespace

std::string GetRollMark(int slot, const clsResult_Data& game) {
  return game.Roll(slot);
}

long MakeScorePage(PageContext& context, std::string_view bowler, std::string_view yyyymmdd,
                   std::string_view alley, std::string_view level, std::string& page) {
  // The games of one play share their date and play number, so this order draws them by game
  // number.
  clsResult_List games(context.db);
  if (context.games && context.games->Serves(bowler, yyyymmdd, yyyymmdd)) {
    games = context.games->Play(yyyymmdd, alley, level, 1);
    if (games.Count() == 0) return 0;
  } else {
    try {
      games.SelectRecord(PlayCondition(bowler, yyyymmdd, alley, level), 1);
    } catch (const AppError& e) {
      RethrowEngineError(e);
      return 0;
    }
  }

  PageText text;
  AppendPageStart(text, context.look, "スコア表", kWidth, bowler);
  AppendPlayTables(text, yyyymmdd, alley, level);
  GameLook look = LookOf(context.look);
  long handicap_sum = 0;
  long running_total = 0;
  long drawn = 0;
  for (const clsResult_Data& game : games) {
    handicap_sum += game.Handicap();
    running_total += ScoreOf(game) + game.Handicap();
    AppendGameTable(text, look, game, handicap_sum, running_total);
    ++drawn;
    context.progress.CountProgress(1, 1);
    // A page cut short would look whole without its last games: it is dropped.
    if (context.progress.StopFlag()) return 0;
  }
  AppendPageEnd(text, kWidth);
  page = text.Take();
  return drawn;
}

}  // namespace lanereport
