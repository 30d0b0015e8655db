#pragma once

#include <array>
#include <map>
#include <string>

#include "scoring/clsMonth_List.h"

namespace lanereport {

// One entry of the bowler table: the bowler of that number.
struct BowlerEntry {
  std::string name;
  std::string aname;
};

// What the statistics sheets leave behind for the page finishing and the bulk run: the bowler
// table (entries 1..99 by bowler number; 0 stays empty) and the month list of every bowler that
// got monthly averages, keyed by bowler number. The bulk year is empty outside a bulk run.
struct WorkbookState {
  std::array<BowlerEntry, 100> bowlers;
  std::map<long, clsMonth_List> month_lists;
  std::string bulk_year;

  // Empties entries 1..99 of the bowler table (done for every sheet).
  void ClearBowlers() {
    for (std::size_t i = 1; i < bowlers.size(); ++i) bowlers[i] = {};
  }
};

}  // namespace lanereport
