#pragma once

#include <string>
#include <string_view>

#include "pages/PageContext.h"

namespace lanereport {

class Database;

// The master values a page needs about the centre and the level of a play, and the conditions
// (SQL over Result_Data) that select games for the pages. Values in conditions pass through
// SqlQuote.

// The Id of the bowling centre of that name; 1 when it cannot be loaded.
long AlleyIdOf(Database& db, std::string_view alley_name);

struct LevelLookup {
  long id = 1;         // 1 when the level cannot be loaded
  std::string fcolor;  // the level's colour text as stored; empty when it cannot be loaded
};
LevelLookup LevelOf(Database& db, std::string_view level_name);

// AlleyIdOf and LevelOf through the run's cache: each name is looked up once per run.
long AlleyIdOf(PageContext& context, std::string_view alley_name);
LevelLookup LevelOf(PageContext& context, std::string_view level_name);

// "Bowler_Name = '…' And Play_Date = '…' And Alley_Name = '…' And Level_Name = '…'": the games
// of one play. yyyymmdd is the stored date.
std::string PlayCondition(std::string_view bowler, std::string_view yyyymmdd,
                          std::string_view alley, std::string_view level);

// " Level_Name In ( Select Name From Level_Data Where CalculationTarget = True)": the games of
// the levels that count in statistics.
std::string CalculationTargetCondition();

// "Bowler_Name = '…' And Play_Date Between '…' And '…' And" + CalculationTargetCondition():
// a bowler's counted games between two stored dates, both included.
std::string PeriodCondition(std::string_view bowler, std::string_view from_yyyymmdd,
                            std::string_view to_yyyymmdd);

}  // namespace lanereport
