#include "pages/ScorePageOutput.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "pages/BowlerGames.h"
#include "pages/LookImages.h"
#include "pages/PageLayout.h"
#include "pages/PageStage.h"
#include "pages/PlayLookup.h"
#include "pages/ScorePage.h"
#include "scoring/clsResult_List.h"
#include "util/AppError.h"
#include "util/Make.h"
#include "util/OutputFolderLock.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

// "yyyy/mm/dd" to "yyyymmdd" by position.
std::string SlashedToYmd(std::string_view date) {
  auto part = [date](std::size_t from, std::size_t count) {
    return from < date.size() ? std::string(date.substr(from, count)) : std::string();
  };
  return part(0, 4) + part(5, 2) + part(8, 2);
}

// The progress of a page made ahead: its games counted one by one as drawing them counts them,
// and like a page cut short by STOP, none when STOP comes before the last.
long CountDrawnGames(PageContext& context, long drawn) {
  for (long game = 0; game < drawn; ++game) {
    context.progress.CountProgress(1, 1);
    if (context.progress.StopFlag()) return 0;
  }
  return drawn;
}

}  // namespace

bool OutputScorePage(PageContext& context, FolderChooser& chooser, MessageWindow& messages,
                     std::string_view bowler, std::string_view list_line) {
  std::vector<std::string> fields = Split(list_line, '\t');
  fields.resize(std::max<std::size_t>(fields.size(), 3));
  std::string ymd = SlashedToYmd(Trim(fields[0]));
  std::string alley(Trim(fields[1]));
  std::string level(Trim(fields[2]));
  long alley_id = AlleyIdOf(context.db, alley);
  long level_id = LevelOf(context.db, level).id;

  clsResult_List games(context.db);
  try {
    games.SelectRecord(PlayCondition(bowler, ymd, alley, level), 0);
  } catch (const AppError& e) {
    RethrowEngineError(e);
    return false;
  }
  context.progress.StartProgress(1, games.Count());
  std::string page;
  if (MakeScorePage(context, bowler, ymd, alley, level, page) == 0) return false;

  std::optional<std::string> folder = chooser.ChooseFolder("SCORE", "出力フォルダ指定");
  if (!folder) return false;
  std::string path = *folder + ScorePageFileName(ymd, alley_id, level_id);
  {
    // One run at a time writes into a folder; STOP while waiting for another writes nothing.
    OutputFolderLock lock;
    if (!lock.Acquire(GetParentFolder(path), context.progress)) return false;
    WritePage(path, page);
    FlushWrittenFiles();
  }
  messages.ShowWarning({"", "スコア表を作成しました", kCompletionColor, 10});
  return true;
}

PageRunResult OutputScorePages(PageContext& context, std::string_view bowler,
                               std::string_view sub_folder, std::string_view start_date,
                               std::string_view end_date, bool overwrite) {
  PageRunResult result;
  // The bowler's games of the period are selected once; each play's page is cut from them.
  const BowlerGames games(context.db, bowler, SlashedToYmd(start_date), SlashedToYmd(end_date),
                          context.year_games);
  if (!games.Selected()) return result;
  // The bowler's folder is checked before the first page is written, so a refused bowler
  // leaves nothing behind. Play dates need no check: a game record holds its date as eight
  // digits of a real date, whatever the table stored.
  RequireBowlerFolder(bowler, sub_folder);
  RequireYearFolder(context.db_name);
  context.progress.StartProgress(1, games.All().Count());
  context.files = {};
  struct Installed {
    PageContext& context;
    ~Installed() { context.games = nullptr; }
  } installed{context};
  context.games = &games;

  std::string last_date, last_alley, last_level;
  std::set<std::string> made;
  for (const clsResult_Data& game : games.All()) {
    std::string_view date = game.PlayDateView();
    std::string_view alley = game.AlleyNameView();
    std::string_view level = game.LevelNameView();
    if (date == last_date && alley == last_alley && level == last_level) continue;
    if (context.progress.StopFlag()) {
      result.stopped = true;
      break;
    }
    long alley_id = AlleyIdOf(context, alley);
    long level_id = LevelOf(context, level).id;
    last_date = date;
    last_alley = alley;
    last_level = level;

    std::string folder =
        YearFolder(context.out_folder, context.db_name, date.substr(0, 4), sub_folder);
    std::string file = folder + "/" + ScorePageFileName(date, alley_id, level_id);
    // The games of one play key played apart come back later in the list: their page, made
    // with all of them the first time, is not made again (nor counted twice on the bar).
    if (!made.insert(file).second) continue;
    if (!overwrite && context.files.IsExistFile(file)) {
      ++result.kept;
      continue;
    }
    std::string page;
    const StagedPage* ahead = MadeAhead(context, file);
    long drawn = ahead ? CountDrawnGames(context, ahead->drawn)
                       : MakeScorePage(context, bowler, date, alley, level, page);
    if (context.progress.StopFlag()) {
      result.stopped = true;
      break;
    }
    if (drawn == 0) continue;
    // The folder is made with its first page, so a run without pages leaves no empty folder.
    ProvideLookImages(context);
    if (ahead)
      WriteMadeAhead(context, file);
    else
      WritePage(context, file, page, drawn);
    ++result.pages;
  }
  return result;
}

}  // namespace lanereport
