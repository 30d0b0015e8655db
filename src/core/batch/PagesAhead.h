#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "database/WindowSettings.h"
#include "workbook/WorkbookState.h"

namespace lanereport {

class Database;
struct PageContext;
class PageStage;
class PeriodsAhead;
class YearGames;

// The year's monthly and score pages of a bulk run, made on a thread of its own into a stage
// (PageStage) while the run's thread makes the workbook; both cores work, and the run then only
// puts the pages in place. The thread has its own connection to the score database and a
// progress that shows nothing; it walks the bowler table the workbook is expected to leave, the
// same way the run does, and leaves the look images to the run. Whatever it could not make (a
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
  void UseYearGames(YearGames* year);
  // Ends the making after the page in hand (the run will not take the pages).
  void Abandon();
  // Waits until the thread has ended; afterwards the stage is the run's alone.
  void Wait();
  // Waits at most the given time; true once the thread has ended (then Wait returns at once).
  bool WaitFor(std::chrono::milliseconds time);

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
  void Make(const Run& run, PageStage& stage);
  void PreparePeriods(Database& db, const Run& run);

  std::atomic<bool> abandoned_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  YearGames* year_games_ = nullptr;
  bool year_given_ = false;
  bool ended_ = false;
  std::thread thread_;
};

// The bowler table that the workbook of a bulk run leaves when it runs through: the table as it
// stands, entries 1..99 replaced by the bowlers numbered 1..99 (and entry 0 by a bowler numbered
// 0). Raises AppError when the bowlers cannot be read.
std::array<BowlerEntry, 100> ExpectedBowlerTable(Database& db, const WorkbookState& state);

}  // namespace lanereport
