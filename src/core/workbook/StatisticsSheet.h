#pragma once

#include <optional>
#include <string>
#include <vector>

#include "util/Clock.h"
#include "workbook/WorkbookState.h"
#include "workbook/clsExcelControl.h"

namespace lanereport {

class Database;
class ProgressWindow;
class clsBowler_List;
class clsS_OUTPUT_Data;
class StatisticsCache;
class clsResult_List;
struct MarkRates;

// Builds the rows of one statistics sheet from its definition: row 1 the conditions, row 2 the
// column heads (with the month heads when monthly averages are on), then one row per bowler
// numbered 1..99 with selected games, placed so that bowler N lands on sheet row N + 3 (the rows
// between are empty). Each row holds its cell texts from column A on. Fills the bowler table and
// the month lists of state. The reference date is the end of the bulk year when state has one, else
// today. The progress (bar 1) advances 40 steps per bowler plus 2; STOP ends the bowler loop (the
// rows so far are kept). Returns no rows when STOP was already pressed.
std::vector<DataRow> BuildStatisticsRows(Database& db, const clsS_OUTPUT_Data& definition,
                                         clsBowler_List& bowlers, WorkbookState& state,
                                         ProgressWindow& progress);
// The same, taking each selection's figures from the cache (the sheets of one workbook share
// the selections they have in common).
std::vector<DataRow> BuildStatisticsRows(StatisticsCache& cache, const clsS_OUTPUT_Data& definition,
                                         clsBowler_List& bowlers, WorkbookState& state,
                                         ProgressWindow& progress);

// The games a sheet by dates selects for each bowler: centre and level as the sheet names them,
// first and last day as "yyyy/mm/dd".
struct SheetPeriod {
  std::string alley;
  std::string level;
  std::string start;
  std::string end;
};
// The period of each bowler's games of a sheet by dates in the workbook of the bulk year (empty
// outside a bulk run); nothing for a sheet of the latest games.
std::optional<SheetPeriod> BowlerPeriodOf(const clsS_OUTPUT_Data& definition,
                                          const std::string& bulk_year);

// The selection of each bowler's latest games of a sheet in the workbook of the bulk year: the
// centre, level, first and last day and the number of games, as the sheet asks for each
// bowler's; nothing for a sheet by dates or with monthly averages (whose dates follow the
// games of every bowler).
struct LatestGames {
  std::string alley;
  std::string level;
  std::string start;
  std::string end;
  long count = 0;
};
std::optional<LatestGames> LatestGamesOf(const clsS_OUTPUT_Data& definition,
                                         const std::string& bulk_year);

// The title a bowler earns from the rates of the selection (empty below 30 games): from the
// number of games and their mark rates, or from a list whose rates are computed.
std::string BowlerTitle(long count, const MarkRates& rates, bool female);
std::string BowlerTitle(const clsResult_List& games, bool female);

}  // namespace lanereport
