#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pages/PageContext.h"

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

}  // namespace lanereport
