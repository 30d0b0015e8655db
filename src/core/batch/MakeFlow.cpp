#include "batch/MakeFlow.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "batch/PagesAhead.h"
#include "database/Database.h"
#include "database/MasterLists.h"
#include "database/basDataBase.h"
#include "pages/IndexPageOutput.h"
#include "pages/LookImages.h"
#include "pages/MonthlyPageOutput.h"
#include "pages/PageContext.h"
#include "pages/PageStage.h"
#include "pages/ScorePageOutput.h"
#include "scoring/YearGames.h"
#include "scoring/clsResult_List.h"
#include "ui/MessageWindow.h"
#include "ui/ProgressWindow.h"
#include "util/AppError.h"
#include "util/AsyncFileWriter.h"
#include "util/Cp932.h"
#include "util/DateText.h"
#include "util/Make.h"
#include "util/OutputFolderLock.h"
#include "util/PathControl.h"
#include "util/PlainName.h"
#include "util/ReadProblems.h"
#include "util/StringUtil.h"
#include "util/UserFolders.h"
#include "util/VisibleText.h"
#include "workbook/BowlerWorkbook.h"
#include "workbook/StatisticsSummary.h"

namespace lanereport {
namespace {

constexpr const char* kPleaseWait = "しばらくお待ちください...";
constexpr const char* kBadDate = "日付が正しくありません";
constexpr const char* kBadRange = "日付の範囲指定が不正です";

// A year as the bulk run takes it: four digits.
bool IsYearText(std::string_view text) {
  return text.size() == 4 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "YYYY/MM" (also "YYYY/M" or "YYYY-MM") as "YYYYMM"; nothing for anything else.
std::optional<std::string> MonthYm(std::string_view text) {
  std::string month(Trim(text));
  std::optional<std::string> ymd = ParseDateToYmd(month + "/01");
  if (!ymd) ymd = ParseDateToYmd(month + "-01");
  if (!ymd) return std::nullopt;
  return ymd->substr(0, 6);
}

// Whether a run wrote any file.
bool Wrote(const MakeResult& result) {
  return !result.workbook_path.empty() || !result.pages.empty() || result.monthly_pages > 0 ||
         result.score_pages > 0 || result.index_pages > 0 || !result.images_copied.empty();
}

// The bowler's Latin name (the sub-folder of the pages); raises kErrNoData for an unknown name.
std::string AnameOf(Database& db, const std::string& bowler) {
  clsBowler_Data record(db);
  record.Name(bowler);
  record.Load();
  return record.Aname();
}

}  // namespace

std::string FixOutFolder(const std::string& folder) {
  std::string trimmed(Trim(folder));
  if (trimmed.empty() || !IsExistFolder(trimmed)) return GetSpecialFolder(0);
  return trimmed;
}

std::vector<SeriesLine> FillSeriesList(Database& db, const std::string& bowler,
                                       ProgressWindow& progress) {
  std::vector<SeriesLine> lines;
  clsResult_List games(db);
  try {
    games.SelectRecord("Bowler_Name = " + SqlQuote(bowler) +
                           " And Level_Name In ( Select Name From Level_Data Where "
                           "CalculationTarget = True)",
                       2);
  } catch (const AppError&) {
    return lines;
  }
  progress.StartProgress(1, games.Count());
  std::string date, alley, level;
  for (const clsResult_Data& game : games) {
    if (game.PlayDate() != date || game.AlleyName() != alley || game.LevelName() != level) {
      date = game.PlayDate();
      alley = game.AlleyName();
      level = game.LevelName();
      const std::string slashed = YmdToSlashed(date);
      lines.push_back({FitByteWidth(12, 0, slashed) + "\t" + FitByteWidth(20, 0, alley) + "\t" +
                           FitByteWidth(20, 0, level),
                       slashed + "\t" + alley + "\t" + level});
    }
    progress.CountProgress(1, 1);
    if (progress.StopFlag()) break;
  }
  return lines;
}

MakeFlow::MakeFlow(Database& db, std::string db_name, WindowSettings settings,
                   ProgressWindow& progress, MessageWindow& messages, FolderChooser& chooser)
    : db_(db),
      db_name_(std::move(db_name)),
      settings_(PageLook(settings, replaced_look_)),
      progress_(progress),
      messages_(messages),
      chooser_(chooser) {}

void MakeFlow::SayNoData() {
  messages_.ShowWarning({left_out_ && left_out_->Count() > 0
                             ? "読めるゲームがないため、作成しませんでした"
                             : "該当するﾃﾞｰﾀは存在しません",
                         "", 0, 10});
}

bool MakeFlow::Refuse(const MakeRequest& request) {
  const char* problem = nullptr;
  switch (request.mode) {
    case MakeMode::kBulk:
      if (!IsYearText(Trim(request.year))) problem = kBadDate;
      break;
    case MakeMode::kBowlerWorkbook:
      break;
    case MakeMode::kMonthly: {
      std::optional<std::string> first = MonthYm(request.first_month);
      std::optional<std::string> last = MonthYm(request.last_month);
      if (!first || !last)
        problem = kBadDate;
      else if (*first > *last)
        problem = kBadRange;
      break;
    }
    case MakeMode::kScore: {
      if (request.list_output) break;
      std::optional<std::string> start = ParseDateToYmd(Trim(request.start_date));
      std::optional<std::string> end = ParseDateToYmd(Trim(request.end_date));
      if (!start || !end)
        problem = kBadDate;
      else if (*start > *end)
        problem = kBadRange;
      break;
    }
  }
  if (!problem) return false;
  messages_.ShowWarning({problem, "", 0, 10});
  return true;
}

void MakeFlow::Complete(const char* message, MakeResult& result) {
  // Whatever the run wrote is on the disk before the user is told it is done.
  FlushWrittenFiles();
  if (!result.stopped && !Wrote(result)) {
    // A missing template has been said already; anything else that leaves nothing to write is a
    // period without games.
    result.refused = true;
    if (!result.template_missing) SayNoData();
    return;
  }
  // A folder that was named but is not there sends the output to the desktop; the user has to
  // learn where it went.
  std::string where;
  std::string named(Trim(settings_.OutFolder));
  if (!named.empty() && named != out_folder_)
    where =
        "出力先ﾌｫﾙﾀﾞ「" + named + "」がないため、デスクトップ（" + out_folder_ + "）に作成しました";
  std::string images = ImagesCopiedText(result.images_copied, out_folder_);
  if (!images.empty()) where += (where.empty() ? "" : "\n") + images;
  // What the run left out: the count and the first rows it could not read (unless the run is
  // part of a larger one, which says it at its own end).
  if (left_out_ && left_out_->Outermost() && left_out_->Count() > 0) {
    std::vector<std::string> lines = left_out_->Lines();
    for (const std::string& line : left_out_->Summary())
      where += (where.empty() ? "" : "\n") + line;
    for (std::size_t i = 0; i < lines.size() && i < kLeftOutLinesShown; ++i)
      where += "\n" + lines[i];
    if (lines.size() > kLeftOutLinesShown) where += "\n…";
  }
  messages_.ShowWarning({message, where, kCompletionColor, 10});
}

std::string MakeFlow::WorkbookTemplatePath() const {
  return Trim(settings_.OutSheet).empty() ? DefaultTemplatePath()
                                          : std::string(Trim(settings_.OutSheet));
}

void MakeFlow::RunWorkbook(bool html, MakeResult& result, const YearGames* year,
                           PeriodsAhead* periods) {
  WorkbookRunOptions options;
  options.template_path = WorkbookTemplatePath();
  options.out_folder = out_folder_;
  options.html = html;
  options.style_sheet = std::string(Trim(settings_.StyleSheet)).empty() ? "" : settings_.StyleSheet;
  BowlerWorkbook workbook(db_, db_name_, state_, progress_, messages_);
  workbook.UseYearGames(year);
  workbook.UsePeriodsAhead(periods);
  WorkbookRunResult run = workbook.Run(options);
  result.template_missing = run.template_missing;
  result.workbook_path = run.workbook_path;
  result.pages = run.pages;
}

void MakeFlow::RunBulk(const MakeRequest& request, MakeResult& result) {
  const std::string& y = request.year;
  state_.bulk_year = y;
  progress_.Message1("ＥＸＣＥＬ処理準備中です");
  progress_.Message2(kPleaseWait);
  progress_.Overall(1, 3, "ボウラー情報", 0, 0);
  PageContext context{db_, db_name_, settings_, out_folder_, progress_};
  // While the year's games are read and the workbook is made, a second thread works out the
  // statistics of the workbook's periods that the year's games do not serve, then makes the
  // pages of the bowler table the workbook is expected to leave; the tables below put those
  // pages in place instead of making them.
  // The year's games, the stage and the periods outlive the thread, which ends first however
  // the run ends.
  std::optional<YearGames> year;
  PageStage stage;
  PeriodsAhead periods;
  std::optional<IndexDraftsAhead> drafts;
  std::optional<PagesAhead> ahead;
  if (IsExistFile(WorkbookTemplatePath())) {
    std::vector<BowlerEntry> expected;
    try {
      for (const BowlerEntry& b : ExpectedBowlerTable(db_, state_))
        if (!b.name.empty()) expected.push_back(b);
    } catch (const AppError&) {
      expected.clear();  // the workbook meets the same failure and reports it
    }
    if (!expected.empty()) ahead.emplace(context, std::move(expected), y, stage, &periods);
  }
  // The year's counted games are read once, for the workbook and every page of the run.
  year.emplace(db_, y);
  context.year_games = &*year;
  if (ahead) {
    // Once the pages are made, the same threads draft the year pages (the figures and charts);
    // the index run, which links the pages, only finishes them.
    drafts.emplace(context, y, *year);
    context.index_drafts = &*drafts;
    ahead->UseYearGames(&*year, &*drafts);
  }
  RunWorkbook(true, result, &*year, ahead ? &periods : nullptr);
  periods.Close();
  if (ahead) {
    // This thread makes pages too until the second thread has ended; STOP is seen, and no
    // table is made after it.
    ahead->Help(db_, progress_);
    if (progress_.StopFlag()) ahead->Abandon();
    ahead->Wait();
    context.made_ahead = &stage;
  }
  // A missing template ends the workbook step only: the tables are still made for the bowlers
  // that an earlier workbook run of this flow left in the bowler table (none on a first run).
  // One driver over the bowlers of the table, in number order, until STOP.
  long bowlers =
      static_cast<long>(std::count_if(state_.bowlers.begin(), state_.bowlers.end(),
                                      [](const BowlerEntry& b) { return !b.name.empty(); }));
  std::vector<std::string> touched;  // the bowlers whose tables were made, for the index pages
  auto for_each_bowler = [&](int step, const char* name, const char* message, auto output) {
    if (progress_.StopFlag()) return 0L;
    progress_.Message1(message);
    long pages = 0;
    long done = 0;
    for (const BowlerEntry& b : state_.bowlers) {
      if (b.name.empty()) continue;
      progress_.Overall(step, 3, name, ++done, bowlers);
      try {
        PageRunResult run = output(b);
        pages += run.pages;
        if (run.pages + run.kept > 0 &&
            std::find(touched.begin(), touched.end(), b.name) == touched.end())
          touched.push_back(b.name);
      } catch (const UnsafeNameError& e) {
        // A bowler whose stored names cannot be files is skipped, nothing written for it;
        // the run goes on with the next one.
        messages_.ShowWarning({e.Description(), "", 0, 10});
      }
      if (progress_.StopFlag()) break;
    }
    progress_.StartProgress(1, 0);
    return pages;
  };
  // The tables' pages are written on a thread of their own while the next ones are made; all
  // are on the disk before the index pages look for them.
  {
    AsyncFileWriter writer;
    context.writer = &writer;
    struct Uninstall {
      PageContext& context;
      ~Uninstall() { context.writer = nullptr; }
    } uninstall{context};
    result.monthly_pages +=
        for_each_bowler(2, "月間表", "ただいま、月間表を作成中です", [&](const BowlerEntry& b) {
          return OutputMonthlyPages(context, b.name, b.aname, y + "/01", y + "/12", false);
        });
    result.score_pages +=
        for_each_bowler(3, "スコア表", "ただいま、スコア表を作成中です", [&](const BowlerEntry& b) {
          return OutputScorePages(context, b.name, b.aname, y + "/01/01", y + "/12/31", false);
        });
    writer.Finish();
  }
  // The pages made ahead and not taken go before the index pages look at the folders.
  context.made_ahead = nullptr;
  stage.Discard();
  result.stopped = progress_.StopFlag();
  // The tables' pages go to the disk while the index pages are made.
  StartFlushingWrittenFiles();
  // The index pages link what the tables made, so they come last, after STOP too.
  if (!touched.empty()) RunIndexPages(context, touched, y, y, result);
  result.images_copied = context.images_copied;
  Complete("一括出力が終了しました", result);
}

void MakeFlow::RunIndexPages(PageContext& context, const std::vector<std::string>& bowlers,
                             std::string_view first, std::string_view last, MakeResult& result) {
  std::optional<long long> from = ParseInteger(first.substr(0, 4));
  std::optional<long long> to = ParseInteger(last.substr(0, 4));
  if (!from || !to) return;
  std::string left_alone;
  try {
    for (long long year = *from; year <= *to; ++year) {
      IndexRunResult run = OutputIndexPages(context, std::to_string(year), bowlers);
      result.index_pages += run.pages;
      for (const std::string& path : run.left_alone)
        left_alone += (left_alone.empty() ? "" : "\n") + path;
    }
  } catch (const UnsafeNameError& e) {
    messages_.ShowWarning({e.Description(), "", 0, 10});
  }
  if (!left_alone.empty()) messages_.ShowWarning({kIndexLeftAlone, left_alone, 0, 10});
}

MakeResult MakeFlow::Make(const MakeRequest& request) {
  MakeResult result;
  // A request that cannot be run is refused before any folder or file is touched.
  if (Refuse(request)) {
    result.refused = true;
    return result;
  }
  // Rows the run cannot read are left out and counted in its completion message.
  ReadProblemLog left_out;
  left_out_ = &left_out;
  struct LeftOutScope {
    const ReadProblemLog*& slot;
    ~LeftOutScope() { slot = nullptr; }
  } left_out_scope{left_out_};
  // While another program holds the database the progress window says so; STOP ends the wait.
  struct BusyWaitScope {
    Database::BusyWait previous;
    ~BusyWaitScope() { Database::SetBusyWait(std::move(previous)); }
  } busy{Database::SetBusyWait({std::chrono::seconds(30), [this](bool first) {
                                  if (first) progress_.Message2(kDatabaseBusyMessage);
                                  return !progress_.StopFlag();
                                }})};
  if (!replaced_look_.empty()) {
    std::string text;
    for (const std::string& line : replaced_look_) text += (text.empty() ? "" : "\n") + line;
    messages_.ShowWarning({text, "", 0, 10});
  }
  // A damaged file can hide games from a read without any error: nothing is made from it.
  if (std::string damage = db_.QuickCheck(); !damage.empty()) {
    throw AppError(kErrEngine, "DBEngine",
                   "データベースが壊れています（" + db_.Path() + "）：" + VisibleText(damage));
  }
  state_.bulk_year.clear();
  out_folder_ = FixOutFolder(settings_.OutFolder);
  // One run at a time writes into the output folder; the single score page locks the folder
  // the user picks for it.
  OutputFolderLock lock;
  if (!(request.mode == MakeMode::kScore && request.list_output) &&
      !lock.Acquire(out_folder_, progress_)) {
    result.stopped = true;
    return result;
  }
  PageContext context{db_, db_name_, settings_, out_folder_, progress_};
  switch (request.mode) {
    case MakeMode::kBulk:
      RunBulk(request, result);
      return result;
    case MakeMode::kBowlerWorkbook:
      progress_.Message1("ＥＸＣＥＬ処理準備中です");
      progress_.Message2(kPleaseWait);
      RunWorkbook(request.html, result);
      result.stopped = progress_.StopFlag();
      if (!result.template_missing) Complete("ボウラー情報を作成しました", result);
      return result;
    case MakeMode::kMonthly: {
      progress_.Message1("ただいま、月間表を作成中です");
      progress_.Message2(kPleaseWait);
      PageRunResult run = OutputMonthlyPages(context, request.bowler, AnameOf(db_, request.bowler),
                                             request.first_month, request.last_month, true);
      result.monthly_pages = run.pages;
      result.stopped = run.stopped;
      if (run.pages == 0 && run.kept == 0 && !run.stopped) {
        // Nothing to link: the year pages and the look images stay as they are.
        result.refused = true;
        SayNoData();
        return result;
      }
      RunIndexPages(context, {request.bowler}, request.first_month, request.last_month, result);
      result.images_copied = context.images_copied;
      Complete("月間表を作成しました", result);
      return result;
    }
    case MakeMode::kScore:
      if (request.list_output) {
        if (request.list_line.empty()) {
          messages_.ShowWarning({"作成するデータが選択されていません！", "", 0, 10});
          result.nothing_chosen = true;
          return result;
        }
        progress_.Message1("ただいま、スコア表を作成中です");
        progress_.Message2(kPleaseWait);
        result.score_pages =
            OutputScorePage(context, chooser_, messages_, request.bowler, request.list_line) ? 1
                                                                                             : 0;
        result.stopped = progress_.StopFlag();
        return result;
      }
      progress_.Message1("ただいま、スコア表を作成中です");
      progress_.Message2(kPleaseWait);
      {
        PageRunResult run = OutputScorePages(context, request.bowler, AnameOf(db_, request.bowler),
                                             request.start_date, request.end_date, true);
        result.score_pages = run.pages;
        result.stopped = run.stopped;
        if (run.pages == 0 && run.kept == 0 && !run.stopped) {
          result.refused = true;
          SayNoData();
          return result;
        }
        RunIndexPages(context, {request.bowler}, request.start_date, request.end_date, result);
        result.images_copied = context.images_copied;
      }
      Complete("スコア表を作成しました", result);
      return result;
  }
  return result;
}

}  // namespace lanereport
