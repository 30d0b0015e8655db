#include "batch/OutputChoices.h"

#include <cstdio>

#include "database/MasterLists.h"
#include "util/AppError.h"
#include "util/DateText.h"
#include "util/StringUtil.h"
#include "workbook/SelectionBuilder.h"

namespace lanereport {
namespace {

// The Name of every record of a master list, in the list's order (Number order). A failed
// selection (no rows, a row that cannot be read) gives what was read before it.
template <class List>
std::vector<std::string> NamesOf(Database& db) {
  std::vector<std::string> names;
  List list(db);
  try {
    list.SelectRecord("");
  } catch (const AppError&) {
  }
  list.ForEach([&](auto& record) { names.push_back(record.Name()); });
  return names;
}

}  // namespace

std::vector<std::string> BowlerChoices(Database& db) {
  return NamesOf<clsBowler_List>(db);
}

std::vector<std::string> AlleyChoices(Database& db) {
  std::vector<std::string> choices = {kBlankChoice, kHomeLane, kNotHomeLane, kBlankChoice};
  for (std::string& name : NamesOf<clsAlley_List>(db)) choices.push_back(std::move(name));
  return choices;
}

std::vector<std::string> LevelChoices(Database& db) {
  std::vector<std::string> choices = {kBlankChoice, kAllLevels, kBlankChoice};
  for (std::string& name : NamesOf<clsLevel_List>(db)) choices.push_back(std::move(name));
  return choices;
}

std::vector<std::string> YearChoices(CivilDate today) {
  std::vector<std::string> years;
  for (int y = today.year - 10; y <= today.year; ++y) years.push_back(YearText({y, 1, 1}));
  return years;
}

std::vector<std::string> MonthChoices(CivilDate today) {
  std::vector<std::string> months;
  int index = today.year * 12 + (today.month - 1) - 10;
  for (int i = 0; i <= 10; ++i, ++index)
    months.push_back(SlashedMonth({index / 12, index % 12 + 1, 1}));
  return months;
}

std::string SlashedDate(CivilDate date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", date.year, date.month, date.day);
  return text;
}

std::string SlashedMonth(CivilDate date) {
  return SlashedDate(date).substr(0, 7);
}

std::string YearText(CivilDate date) {
  return SlashedDate(date).substr(0, 4);
}

bool PeriodInOrder(std::string_view start, std::string_view end) {
  return !(start > end);
}

bool IsDateText(std::string_view text) {
  return ParseDateToYmd(Trim(text)).has_value();
}

}  // namespace lanereport
