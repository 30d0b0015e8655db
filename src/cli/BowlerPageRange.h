#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "pages/PageContext.h"

namespace lanereport::cli {

// One of the subcommands that write a bowler's pages over a range (score tables of a period,
// monthly tables of months): `DB --bowler NAME --from A --to B [--out DIR] [--keep]`.
struct BowlerPageRange {
  const char* usage;
  // The range bound as the driver takes it, or nothing when the text is not one.
  std::function<std::optional<std::string>(const std::string&)> parse_bound;
  const char* progress_message;  // the first line of the progress window
  const char* done_message;      // the completion message on standard output
  // The driver: the bowler's name and Aname, the two bounds and whether pages are replaced.
  std::function<PageRunResult(PageContext&, std::string_view, std::string_view, std::string_view,
                              std::string_view, bool)>
      run;
};

// Parses the words, checks the database and the bowler, and runs the driver with a progress
// bar on the terminal and Ctrl-C as STOP. Returns the exit status; every failure is one line
// on err.
int RunBowlerPageRange(const BowlerPageRange& command, const std::vector<std::string>& words,
                       std::ostream& out, std::ostream& err);

}  // namespace lanereport::cli
