#include "batch/PagesAhead.h"

#include <functional>

#include "database/Database.h"
#include "database/MasterLists.h"
#include "database/clsS_OUTPUT_List.h"
#include "pages/IndexPageOutput.h"
#include "pages/MonthlyPageOutput.h"
#include "pages/PageContext.h"
#include "pages/ScorePageOutput.h"
#include "scoring/YearGames.h"
#include "ui/ProgressWindow.h"
#include "util/AppError.h"
#include "util/DataChange.h"
#include "workbook/SelectionBuilder.h"
#include "workbook/StatisticsSheet.h"
#include "workbook/StatisticsSummary.h"

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
                       PageStage& stage, PeriodsAhead* periods)
    : run_{run.db.Path(),      run.db_name,     run.look, run.out_folder,
           std::move(bowlers), std::move(year), periods},
      stage_(stage),
      end_unit_(2 * run_.bowlers.size()) {
  thread_ = std::thread([this] {
    Make();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ended_ = true;
    }
    changed_.notify_all();
  });
}

PagesAhead::~PagesAhead() {
  Abandon();
  Wait();
}

void PagesAhead::Abandon() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    abandoned_ = true;
  }
  changed_.notify_all();
}

void PagesAhead::UseYearGames(YearGames* year, IndexDraftsAhead* drafts) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    year_games_ = year;
    drafts_ = drafts;
    year_given_ = true;
  }
  changed_.notify_all();
}

void PagesAhead::Wait() {
  if (thread_.joinable()) thread_.join();
}

bool PagesAhead::WaitFor(std::chrono::milliseconds time) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, time, [&] { return ended_; });
}

std::optional<std::size_t> PagesAhead::TakeFirst() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (first_unit_ >= end_unit_) return std::nullopt;
  return first_unit_++;
}

std::optional<std::size_t> PagesAhead::TakeLast() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (first_unit_ >= end_unit_) return std::nullopt;
  return --end_unit_;
}

PageContext PagesAhead::StageContext(Database& db, ProgressWindow& progress) const {
  PageContext context{db, run_.db_name, run_.look, run_.out_folder, progress};
  context.images_provided = true;  // the run copies the look images with its first page
  context.make_ahead = &stage_;
  return context;
}

void PagesAhead::MakeUnit(PageContext& context, std::size_t unit) const {
  const std::string& year = run_.year;
  const std::size_t count = run_.bowlers.size();
  const BowlerEntry& b = run_.bowlers[unit % count];
  try {
    if (unit < count)
      OutputMonthlyPages(context, b.name, b.aname, year + "/01", year + "/12", false);
    else
      OutputScorePages(context, b.name, b.aname, year + "/01/01", year + "/12/31", false);
  } catch (const AppError&) {
    // The run meets the same refusal or failure with this bowler and reports it.
  }
}

void PagesAhead::Make() {
  try {
    std::unique_ptr<Database> db = Database::Open(run_.db_path);
    AbandonableProgress progress(abandoned_);
    PageContext context = StageContext(*db, progress);
    IndexDraftsAhead* drafts = nullptr;
    if (run_.periods) PreparePeriods(*db);
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return year_given_ || abandoned_; });
      context.year_games = year_games_;
      drafts = drafts_;
    }
    if (run_.periods) PrepareLatest(*db, context.year_games);
    while (!abandoned_) {
      std::optional<std::size_t> unit = TakeFirst();
      if (!unit) break;
      MakeUnit(context, *unit);
    }
    while (drafts && !abandoned_ && drafts->DraftNext()) {
    }
  } catch (...) {
    // Nothing more is made ahead; the run makes the rest itself.
  }
}

namespace {

// The run's progress window while the run's thread makes pages ahead: asked for STOP and kept
// live as while the run waits (a count of nothing every kLivePeriod at most), nothing shown.
constexpr std::chrono::milliseconds kLivePeriod(50);

class HelperProgress : public SilentProgress {
 public:
  explicit HelperProgress(ProgressWindow& window) : window_(window) {}
  void CountProgress(int, long) override {
    auto now = std::chrono::steady_clock::now();
    if (now - shown_ < kLivePeriod) return;
    shown_ = now;
    window_.CountProgress(1, 0);
  }
  bool StopFlag() const override { return window_.StopFlag(); }

 private:
  ProgressWindow& window_;
  std::chrono::steady_clock::time_point shown_ = std::chrono::steady_clock::now();
};

}  // namespace

void PagesAhead::Help(Database& db, ProgressWindow& progress) {
  HelperProgress helper(progress);
  PageContext context = StageContext(db, helper);
  IndexDraftsAhead* drafts = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    context.year_games = year_games_;
    drafts = drafts_;
  }
  while (!progress.StopFlag()) {
    std::optional<std::size_t> unit = TakeLast();
    if (!unit) break;
    MakeUnit(context, *unit);
  }
  while (drafts && !progress.StopFlag() && drafts->DraftNext()) helper.CountProgress(1, 0);
  // The window stays live while the thread finishes its unit: STOP is seen.
  while (!progress.StopFlag() && !WaitFor(kLivePeriod)) progress.CountProgress(1, 0);
}

namespace {

// Each of the workbook's sheet definitions in turn, until the run is abandoned; none when they
// cannot be read (the workbook meets the same and reports it).
void EachDefinition(Database& db, const std::atomic<bool>& abandoned,
                    const std::function<void(const clsS_OUTPUT_Data&)>& each) {
  clsS_OUTPUT_List definitions(db);
  try {
    definitions.Load("");
  } catch (const AppError&) {
    return;
  }
  for (std::size_t i = 0; i < definitions.Count() && !abandoned; ++i) each(definitions.Item(i));
}

}  // namespace

void PagesAhead::PreparePeriods(Database& db) {
  EachDefinition(db, abandoned_, [&](const clsS_OUTPUT_Data& definition) {
    std::optional<SheetPeriod> period = BowlerPeriodOf(definition, run_.year);
    if (!period) return;
    // The counted games of every centre within the year come from the year's games (when
    // their stored values let them; else the workbook selects these itself).
    const std::string first = ReplaceAll(period->start, "/", "");
    const std::string last = ReplaceAll(period->end, "/", "");
    if (period->alley == kBlankChoice && period->level == kBlankChoice &&
        first >= run_.year + "0101" && last <= run_.year + "1231")
      return;
    run_.periods->Prepare(db, period->alley, period->level, period->start, period->end);
  });
}

void PagesAhead::PrepareLatest(Database& db, const YearGames* year) {
  EachDefinition(db, abandoned_, [&](const clsS_OUTPUT_Data& definition) {
    std::optional<LatestGames> latest = LatestGamesOf(definition, run_.year);
    if (!latest) return;
    // The workbook cuts a bowler's latest games of the counted levels at every centre from the
    // year's games when they all lie there.
    const bool from_year = year && latest->alley == kBlankChoice && latest->level == kBlankChoice;
    const std::string last = ReplaceAll(latest->end, "/", "");
    std::vector<std::string> names;
    for (const BowlerEntry& b : run_.bowlers)
      if (!from_year || !year->Latest(b.name, last, latest->count)) names.push_back(b.name);
    run_.periods->PrepareLatest(db, names, latest->alley, latest->level, latest->start, latest->end,
                                latest->count);
  });
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
