#pragma once

#include <string_view>

#include "pages/PageContext.h"

namespace lanereport {

// Writes the monthly table page of every month from first_month to last_month ("yyyy/mm", both
// included) for the bowler, as {yyyymm}.html under the year folders of context.out_folder with
// sub_folder (PageLayout.h); the year folder of every month is made. A month's page is written
// when overwrite is set, when the file does not exist, or when the month holds the newest game
// of the database in the levels that count, which is therefore always rewritten; a month
// without games gets no page. Bar 1 of the progress window counts the months. After STOP the
// month in hand and every later month are left unwritten, and the pages written before stay.
// Raises AppError (kErrInvalidValue) when a month is not "yyyy/mm", and AppError (kErrFile)
// when a folder or a file cannot be written.
PageRunResult OutputMonthlyPages(PageContext& context, std::string_view bowler,
                                 std::string_view sub_folder, std::string_view first_month,
                                 std::string_view last_month, bool overwrite);

}  // namespace lanereport
