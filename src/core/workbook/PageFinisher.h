#pragma once

#include <string>
#include <string_view>

#include "workbook/WorkbookState.h"

namespace lanereport {

class ProgressWindow;

// What the finishing of the published sheet pages needs to know.
struct FinishingContext {
  const WorkbookState* state = nullptr;  // bowler table and month lists of the run
  std::string db_name;                   // the database name, the start of the year folders
  std::string style_sheet;               // style sheet path; empty for none
};

// Finishes one published page given as code page 932 bytes and returns the finished bytes:
// head lines, style sheet link, title, month links for the "<ZEPA_Link_i_j>" placeholders,
// the reload button for "<ZEPA_R>", the generator footer, image texts, and the separator
// comment removed. Lines end with CR LF. The progress advances per step and per bowler.
// A page is finished once, in memory, before it is written: finishing finished bytes again
// doubles the head lines, the title and the footer.
// How many steps FinishPageBytes counts on bar 1 for one page of the context: one per
// replacement and one per bowler whose month links it makes.
long FinishingSteps(const FinishingContext& context);

std::string FinishPageBytes(std::string_view page, const FinishingContext& context,
                            ProgressWindow& progress);

}  // namespace lanereport
