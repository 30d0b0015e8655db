#include "batch/PagesAhead.h"

#include "database/Database.h"
#include "database/MasterLists.h"
#include "pages/MonthlyPageOutput.h"
#include "pages/PageContext.h"
#include "pages/ScorePageOutput.h"
#include "ui/ProgressWindow.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

// Shows nothing; stopped once the run abandons the making.
class AbandonableProgress : public SilentProgress {
 public:
  explicit AbandonableProgress(const std::atomic<bool>& abandoned) : abandoned_(abandoned) {}
  bool StopFlag() const override { return abandoned_; }

 private:
  const std::atomic<bool>& abandoned_;
};

}  // namespace

PagesAhead::PagesAhead(const PageContext& run, std::vector<BowlerEntry> bowlers, std::string year,
                       PageStage& stage) {
  Run copied{run.db.Path(),  run.db_name,        run.look,       run.out_folder,
             run.year_games, std::move(bowlers), std::move(year)};
  thread_ = std::thread([this, copied = std::move(copied), &stage] { Make(copied, stage); });
}

PagesAhead::~PagesAhead() {
  Abandon();
  Wait();
}

void PagesAhead::Wait() {
  if (thread_.joinable()) thread_.join();
}

void PagesAhead::Make(const Run& run, PageStage& stage) {
  const std::string& year = run.year;
  try {
    std::unique_ptr<Database> db = Database::Open(run.db_path);
    AbandonableProgress progress(abandoned_);
    PageContext context{*db, run.db_name, run.look, run.out_folder, progress};
    context.images_provided = true;  // the run copies the look images with its first page
    context.year_games = run.year_games;
    context.make_ahead = &stage;
    for (const BowlerEntry& b : run.bowlers) {
      if (abandoned_) return;
      try {
        OutputMonthlyPages(context, b.name, b.aname, year + "/01", year + "/12", false);
      } catch (const AppError&) {
        // The run meets the same refusal or failure with this bowler and reports it.
      }
    }
    for (const BowlerEntry& b : run.bowlers) {
      if (abandoned_) return;
      try {
        OutputScorePages(context, b.name, b.aname, year + "/01/01", year + "/12/31", false);
      } catch (const AppError&) {
      }
    }
  } catch (...) {
    // Nothing more is made ahead; the run makes the rest itself.
  }
}

std::array<BowlerEntry, 100> ExpectedBowlerTable(Database& db, const WorkbookState& state) {
  WorkbookState expected;
  expected.bowlers = state.bowlers;
  expected.ClearBowlers();
  clsBowler_List bowlers(db);
  try {
    bowlers.SelectRecord("");
  } catch (const AppError& e) {
    if (e.Number() != kErrNoData) throw;
  }
  for (std::size_t b = 0; b < bowlers.Count(); ++b) {
    clsBowler_Data& bowler = bowlers.Item(b);
    long n = bowler.Number();
    if (n >= 0 && n <= 99)
      expected.bowlers[static_cast<std::size_t>(n)] = {bowler.Name(), bowler.Aname()};
  }
  return expected.bowlers;
}

}  // namespace lanereport
