#pragma once

#include <string_view>

#include "pages/PageContext.h"
#include "ui/FolderChooser.h"
#include "ui/MessageWindow.h"

namespace lanereport {

// The drivers of the score table page: which plays get a page and where it goes.

// Writes the page of the play of one line of the series list ("yyyy/mm/dd", centre and level
// separated by tabs, each field trimmed) into a folder the user picks with chooser, as
// {yyyymmdd}{centre Id}{level Id}.html, and shows "スコア表を作成しました". Bar 1 of the progress
// window counts the play's games. Returns false, writing nothing and asking nothing more, when
// the play has no games, when STOP was pressed while the page was built, or when the user
// cancelled the chooser. Raises AppError (kErrFile) when the file cannot be written.
bool OutputScorePage(PageContext& context, FolderChooser& chooser, MessageWindow& messages,
                     std::string_view bowler, std::string_view list_line);

// Writes the page of every play of the bowler from start to end ("yyyy/mm/dd", both included)
// in the levels that count in statistics, under the year folders of context.out_folder with
// sub_folder (PageLayout.h). An existing page is replaced only when overwrite is set. Bar 1 of
// the progress window is started with the number of games and advanced per game drawn. After
// STOP the page in hand and every later page are left unwritten, and the pages written before
// stay. A bowler without games gets no page. Raises AppError (kErrFile) when a folder or a file
// cannot be written; the pages written before it stay.
PageRunResult OutputScorePages(PageContext& context, std::string_view bowler,
                               std::string_view sub_folder, std::string_view start_date,
                               std::string_view end_date, bool overwrite);

}  // namespace lanereport
