#include "pages/PlayLookup.h"

#include "database/basDataBase.h"
#include "database/clsAlley_Data.h"
#include "database/clsLevel_Data.h"
#include "scoring/YearGames.h"
#include "util/AppError.h"
#include "util/Markup.h"

namespace lanereport {

long AlleyIdOf(Database& db, std::string_view alley_name) {
  try {
    clsAlley_Data alley(db);
    alley.Name(alley_name);
    alley.Load();
    return alley.Id();
  } catch (const AppError& e) {
    RethrowEngineError(e);
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
    // The colour goes into the centre cell's style attribute: one that would end it is left out.
    if (IsSafeStyleValue(level.Fcolor())) lookup.fcolor = level.Fcolor();
  } catch (const AppError& e) {
    RethrowEngineError(e);
    lookup = LevelLookup{};
  }
  return lookup;
}

long AlleyIdOf(PageContext& context, std::string_view alley_name) {
  auto& ids = context.masters.alley_ids;
  auto found = ids.find(alley_name);
  if (found == ids.end())
    found = ids.emplace(std::string(alley_name), AlleyIdOf(context.db, alley_name)).first;
  return found->second;
}

LevelLookup LevelOf(PageContext& context, std::string_view level_name) {
  auto& levels = context.masters.levels;
  auto found = levels.find(level_name);
  if (found == levels.end()) {
    LevelLookup level = LevelOf(context.db, level_name);
    found = levels.emplace(std::string(level_name), std::make_pair(level.id, level.fcolor)).first;
  }
  return {found->second.first, found->second.second};
}

std::string PlayCondition(std::string_view bowler, std::string_view yyyymmdd,
                          std::string_view alley, std::string_view level) {
  return "Bowler_Name = " + SqlQuote(bowler) + " And Play_Date = " + SqlQuote(yyyymmdd) +
         " And Alley_Name = " + SqlQuote(alley) + " And Level_Name = " + SqlQuote(level);
}

std::string CalculationTargetCondition() {
  return " " + CountedLevelsCondition();
}

std::string PeriodCondition(std::string_view bowler, std::string_view from_yyyymmdd,
                            std::string_view to_yyyymmdd) {
  return "Bowler_Name = " + SqlQuote(bowler) + " And Play_Date Between " + SqlQuote(from_yyyymmdd) +
         " And " + SqlQuote(to_yyyymmdd) + " And" + CalculationTargetCondition();
}

}  // namespace lanereport
