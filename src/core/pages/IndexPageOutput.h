#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "pages/IndexPage.h"
#include "pages/IndexYearPage.h"
#include "pages/PageContext.h"
#include "scoring/clsResult_List.h"

namespace lanereport {

// Writes the index pages of a year (IndexPage.h, IndexYearPage.h).

struct IndexRunResult {
  long pages = 0;                       // index pages written
  std::vector<std::string> written;     // their paths, the year's page last
  std::vector<std::string> left_alone;  // index.html files of the user's, left as they were
};

// What a run says about a page it left alone: the first line, the path goes on the second.
inline constexpr const char* kIndexLeftAlone =
    "このプログラムが作ったものではない index.html をそのままにしました";

// True when the bytes of an existing index.html show it as this program's page: they hold the
// Generator meta line and key (BowlerIndexKey or YearIndexMarker) in code page 932.
bool IsOwnIndexPage(std::string_view bytes, std::string_view key);

// Writes, for the year yyyy ("YYYY") under context.out_folder, the year page of every bowler
// named in bowlers who has games of the year in the counted levels (every such bowler when
// all_bowlers is set), then the page of the year listing every bowler with such games in number
// order. Nothing is written when none of the named bowlers has such games. An index.html is
// written only when it is missing or IsOwnIndexPage; any other is left as it was and named in
// left_alone. The year's games are read with one query and every figure comes from their
// lists; the pages link only files that are there, so the monthly and score pages come first.
// STOP is not looked at: this is the step that links what a stopped run made. A bowler whose
// Aname cannot be a folder gets no page and is listed without a link. Raises UnsafeNameError
// when the database name cannot name a year folder and AppError (kErrFile) when a page cannot
// be written; the pages written before stay.
IndexRunResult OutputIndexPages(PageContext& context, std::string_view yyyy,
                                const std::vector<std::string>& bowlers, bool all_bowlers = false);

// The bowlers of a year that have games of the year in the counted levels, in number order,
// with those games (newest play first) and the drafts of their year pages.
struct YearDrafts {
  std::vector<clsResult_List> lists;
  std::vector<YearBowler> listed;  // games point into lists
  // By position in listed; none where no draft was made (no plain folder, or abandoned).
  std::vector<std::optional<BowlerIndexDraft>> drafts;
};

// The year pages' drafts of a bulk run, made on a thread of its own from the year's games
// while the run's thread puts the tables' pages in place; OutputIndexPages then only finishes
// them (context.index_drafts). The bowlers are read at the start, on the caller's thread;
// nothing is drafted when they cannot be read. The year's games must stay as they are until
// the drafts are taken or this is gone.
class YearGames;

class IndexDraftsAhead {
 public:
  IndexDraftsAhead(const PageContext& run, std::string yyyy, const YearGames& year);
  // Abandons and waits.
  ~IndexDraftsAhead();
  IndexDraftsAhead(const IndexDraftsAhead&) = delete;
  IndexDraftsAhead& operator=(const IndexDraftsAhead&) = delete;

  // Ends the drafting after the bowler in hand (the run is stopped); the drafts made stay.
  void Abandon() { abandoned_ = true; }
  // Waits for the thread and hands over the drafts of the year yyyy; none for another year or
  // when the bowlers could not be read.
  std::optional<YearDrafts> Take(std::string_view yyyy);

 private:
  struct Known {
    long number;
    std::string name;
    std::string aname;
  };
  void Draft(const YearGames& year);

  std::string yyyy_;
  std::vector<Known> known_;
  SilentProgress progress_;
  std::optional<PageContext> context_;  // the thread's: the run's database, names and look
  std::atomic<bool> abandoned_{false};
  bool drafted_ = false;  // set by the thread when every bowler is listed
  YearDrafts drafts_;
  std::thread thread_;
};

}  // namespace lanereport
