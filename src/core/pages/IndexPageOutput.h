#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
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
  // By position in listed; none where no draft was made (no plain folder, not reached before
  // the drafts were taken, or failed).
  std::vector<std::optional<BowlerIndexDraft>> drafts;
};

// The year pages' drafts of a bulk run, made by the threads that make its monthly and score
// pages once those are done (DraftNext), from copies of the year's games; OutputIndexPages then
// only finishes them (context.index_drafts). The bowlers are read and listed at the start, on
// the caller's thread; nothing is drafted when they cannot be read. The year's games must stay
// as they are while this lives.
class IndexDraftsAhead {
 public:
  IndexDraftsAhead(const PageContext& run, std::string yyyy, const YearGames& year);
  IndexDraftsAhead(const IndexDraftsAhead&) = delete;
  IndexDraftsAhead& operator=(const IndexDraftsAhead&) = delete;

  // Makes the next draft nobody has begun; false when none is left. Any number of threads may
  // call it at once, but none may still be in it when the drafts are taken.
  bool DraftNext();
  // Hands over the drafts of the year yyyy (those made; the index run makes the others); none
  // for another year, when the bowlers could not be read, or once taken.
  std::optional<YearDrafts> Take(std::string_view yyyy);

 private:
  std::string yyyy_;
  SilentProgress progress_;
  std::optional<PageContext> context_;  // the drafts': the run's database, names and look
  bool listed_ = false;
  std::atomic<std::size_t> next_{0};
  YearDrafts drafts_;
};

}  // namespace lanereport
