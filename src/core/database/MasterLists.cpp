#include "database/MasterLists.h"

namespace lanereport {
namespace {

std::string ListStatement(std::string_view table, std::string_view condition) {
  std::string sql = "Select * From " + std::string(table);
  if (!condition.empty()) sql += " Where " + std::string(condition);
  return sql + " Order by Number";
}

template <class List>
void SelectMasters(List& list, Database& db, std::string_view table, std::string_view list_class,
                   std::string_view condition) {
  SelectInto(list, db, ListStatement(table, condition),
             "[" + std::string(list_class) + "]SelectRecord",
             [](const auto& record) { return record.Name(); });
}

}  // namespace

void clsBowler_List::SelectRecord(std::string_view condition) {
  SelectMasters(*this, db_, "Bowler_Data", "clsBowler_List", condition);
}

void clsAlley_List::SelectRecord(std::string_view condition) {
  SelectMasters(*this, db_, "Alley_Data", "clsAlley_List", condition);
}

void clsLevel_List::SelectRecord(std::string_view condition) {
  SelectMasters(*this, db_, "Level_Data", "clsLevel_List", condition);
}

}  // namespace lanereport
