#include "pages/PlayLookup.h"

#include "database/DataBase.h"
#include "database/clsAlley_Data.h"
#include "database/clsLevel_Data.h"
#include "util/AppError.h"

namespace lanereport {

long AlleyIdOf(Database& db, std::string_view alley_name) {
  try {
    clsAlley_Data alley(db);
    alley.Name(alley_name);
    alley.Load();
    return alley.Id();
  } catch (const AppError&) {
    return 1;
  }
}

LevelLookup LevelOf(Database& db, std::string_view level_name) {
  LevelLookup lookup;
  try {
    clsLevel_Data level(db);
    level.Name(level_name);
    level.Load();
    lookup.id = level.Id();
    lookup.fcolor = level.Fcolor();
  } catch (const AppError&) {
    lookup = LevelLookup{};
  }
  return lookup;
}

std::string PlayCondition(std::string_view bowler, std::string_view yyyymmdd,
                          std::string_view alley, std::string_view level) {
  return "Bowler_Name = " + SqlQuote(bowler) + " And Play_Date = " + SqlQuote(yyyymmdd) +
         " And Alley_Name = " + SqlQuote(alley) + " And Level_Name = " + SqlQuote(level);
}

std::string CalculationTargetCondition() {
  return " Level_Name In ( Select Name From Level_Data Where CalculationTarget = True)";
}

std::string PeriodCondition(std::string_view bowler, std::string_view from_yyyymmdd,
                            std::string_view to_yyyymmdd) {
  return "Bowler_Name = " + SqlQuote(bowler) + " And Play_Date Between " + SqlQuote(from_yyyymmdd) +
         " And " + SqlQuote(to_yyyymmdd) + " And" + CalculationTargetCondition();
}

}  // namespace lanereport
