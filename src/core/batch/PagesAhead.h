#pragma once

#include <array>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "database/WindowSettings.h"
#include "workbook/WorkbookState.h"

namespace lanereport {

class Database;
struct PageContext;
class PageStage;
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
  // Starts at once with the run's database file, names, look, output folder and year's games.
  PagesAhead(const PageContext& run, std::vector<BowlerEntry> bowlers, std::string year,
             PageStage& stage);
  // Abandons and waits.
  ~PagesAhead();
  PagesAhead(const PagesAhead&) = delete;
  PagesAhead& operator=(const PagesAhead&) = delete;

  // Ends the making after the page in hand (the run will not take the pages).
  void Abandon() { abandoned_ = true; }
  // Waits until the thread has ended; afterwards the stage is the run's alone.
  void Wait();

 private:
  // What the thread takes from the run, copied on the run's thread before it starts.
  struct Run {
    std::string db_path;
    std::string db_name;
    WindowSettings look;
    std::string out_folder;
    YearGames* year_games;
    std::vector<BowlerEntry> bowlers;
    std::string year;
  };
  void Make(const Run& run, PageStage& stage);

  std::atomic<bool> abandoned_{false};
  std::thread thread_;
};

// The bowler table that the workbook of a bulk run leaves when it runs through: the table as it
// stands, entries 1..99 replaced by the bowlers numbered 1..99 (and entry 0 by a bowler numbered
// 0). Raises AppError when the bowlers cannot be read.
std::array<BowlerEntry, 100> ExpectedBowlerTable(Database& db, const WorkbookState& state);

}  // namespace lanereport
