#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "database/WindowSettings.h"
#include "workbook/WorkbookState.h"

namespace lanereport {

class Database;
class IndexDraftsAhead;
struct PageContext;
class PageStage;
class PeriodsAhead;
class ProgressWindow;
class YearGames;

// The year's monthly and score pages of a bulk run, made on a thread of its own into a stage
// (PageStage) while the run's thread makes the workbook; both cores work, and the run then only
// puts the pages in place. The thread has its own connection to the score database and a
// progress that shows nothing; it walks the bowler table the workbook is expected to leave, the
// same way the run does, and leaves the look images to the run. The work goes in units, the
// monthly or the score pages of one bowler: the thread takes them from the first on, and the
// run's thread, once its workbook is made, takes them from the last back (Help), so both cores
// make pages until none is left, then the drafts of the year pages. Whatever was not made (a
// failure, a refused name, an abandoned run) the run makes itself, so a page is the same either
// way.
class PagesAhead {
 public:
  // Starts at once with the run's database file, names, look and output folder.
  // When periods are given, it first works out those of the workbook's sheets by dates that
  // the year's games do not serve.
  PagesAhead(const PageContext& run, std::vector<BowlerEntry> bowlers, std::string year,
             PageStage& stage, PeriodsAhead* periods = nullptr);
  // Abandons and waits.
  ~PagesAhead();
  PagesAhead(const PagesAhead&) = delete;
  PagesAhead& operator=(const PagesAhead&) = delete;

  // The year's games, once the run has read them: the pages wait for them (the periods do not).
  // Once no page is left, the threads make the year pages' drafts (when given).
  void UseYearGames(YearGames* year, IndexDraftsAhead* drafts = nullptr);
  // Run's thread: makes the units the thread has not begun, from the last back, into the stage
  // with the run's own database connection, until none is left or the progress is stopped (it
  // keeps the progress window live and shows nothing else). The year's games must have been
  // given. Then waits until the thread has ended or the progress is stopped.
  void Help(Database& db, ProgressWindow& progress);
  // Ends the making after the page in hand (the run will not take the pages).
  void Abandon();
  // Waits until the thread has ended; afterwards the stage is the run's alone.
  void Wait();

 private:
  // What the thread takes from the run, copied on the run's thread before it starts.
  struct Run {
    std::string db_path;
    std::string db_name;
    WindowSettings look;
    std::string out_folder;
    std::vector<BowlerEntry> bowlers;
    std::string year;
    PeriodsAhead* periods;
  };
  // The units: 0 .. n-1 the monthly pages of bowler i, n .. 2n-1 the score pages of bowler
  // i - n. The next unit from the front or the back, none when all are taken.
  std::optional<std::size_t> TakeFirst();
  std::optional<std::size_t> TakeLast();
  // The context of a thread that makes pages into the stage, the look images left to the run.
  PageContext StageContext(Database& db, ProgressWindow& progress) const;
  void MakeUnit(PageContext& context, std::size_t unit) const;
  // Waits at most the given time; true once the thread has ended (then Wait returns at once).
  bool WaitFor(std::chrono::milliseconds time);
  void Make();
  // The statistics of the workbook's periods that the year's games do not serve.
  void PreparePeriods(Database& db);
  // Each bowler's latest games of the workbook's sheets that the year's games (when given) do
  // not hold.
  void PrepareLatest(Database& db, const YearGames* year);

  const Run run_;
  PageStage& stage_;
  std::atomic<bool> abandoned_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  YearGames* year_games_ = nullptr;
  IndexDraftsAhead* drafts_ = nullptr;
  bool year_given_ = false;
  bool ended_ = false;
  std::size_t first_unit_ = 0;  // the units before it are taken
  std::size_t end_unit_ = 0;    // the units from it on are taken
  std::thread thread_;
};

// The bowler table that the workbook of a bulk run leaves when it runs through: the table as it
// stands, entries 1..99 replaced by the bowlers numbered 1..99 (and entry 0 by a bowler numbered
// 0). Raises AppError when the bowlers cannot be read.
std::array<BowlerEntry, 100> ExpectedBowlerTable(Database& db, const WorkbookState& state);

}  // namespace lanereport
