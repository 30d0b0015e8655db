#include "workbook/SelectionBuilder.h"

#include "database/basDataBase.h"
#include "scoring/clsResult_List.h"
#include "util/AppError.h"
#include "util/DataChange.h"
#include "util/StringUtil.h"

namespace lanereport {

std::string LevelAlleyCondition(std::string_view alley, std::string_view level) {
  std::string condition;
  if (level == kBlankChoice) {
    condition += " Level_Name in (Select Name From Level_Data Where CalculationTarget = True)\r\n";
  } else if (level != kAllLevels) {
    condition += " Level_Name = " + SqlQuote(level) + "\r\n";
  }
  if (alley != kBlankChoice) {
    if (!Trim(condition).empty()) condition += " And ";
    if (alley == kHomeLane)
      condition += " Alley_Name in (Select Name From Alley_Data Where Home_Flag = True)\r\n";
    else if (alley == kNotHomeLane)
      condition += " Alley_Name in (Select Name From Alley_Data Where Home_Flag = False)\r\n";
    else
      condition += " Alley_Name = " + SqlQuote(alley) + "\r\n";
  }
  return condition;
}

std::unique_ptr<clsResult_List> SelectStatisticsGames(Database& db, std::string_view bowler,
                                                      std::string_view alley,
                                                      std::string_view level,
                                                      std::string_view start, std::string_view end,
                                                      long past_count) {
  auto list = std::make_unique<clsResult_List>(db);
  std::string start_digits = ReplaceAll(start, "/", "");
  std::string end_digits = ReplaceAll(end, "/", "");
  std::string condition = LevelAlleyCondition(alley, level);
  try {
    if (past_count == 0) {
      std::string text = "Bowler_Name = " + SqlQuote(bowler) + "\r\n";
      if (!Trim(condition).empty()) text += " And " + condition;
      text += " And Play_Date Between " + SqlQuote(start_digits) + " And " + SqlQuote(end_digits) +
              "\r\n";
      list->SelectRecord(text, 0);
    } else {
      list->SelectCount(bowler, end_digits, past_count, 3, condition, "");
    }
  } catch (const AppError& e) {
    RethrowEngineError(e);
    // Nothing selected: the statistics of an empty list.
    return std::make_unique<clsResult_List>(db);
  }
  return list;
}

}  // namespace lanereport
