#include "database/MasterLists.h"

#include "util/ReadProblems.h"
#include "util/Utf8Text.h"
#include "util/VisibleText.h"

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

bool ReportUnreadableMaster(std::string_view source, Recordset& rs, const AppError& error) {
  auto field = [&rs](const char* name) {
    try {
      Value value = rs.Field(name);
      return value.IsNull() ? std::string() : value.Text();
    } catch (const AppError&) {
      return std::string();
    }
  };
  std::string name = VisibleText(field("Name"));
  if (DisplayColumns(name) > 40) name = FitColumns(name, 38) + "…";
  // The list's class names the master: "[clsBowler_List]SelectRecord".
  std::string table = source.starts_with("[clsBowler_List]")  ? "ボウラー"
                      : source.starts_with("[clsAlley_List]") ? "ボウリング場"
                      : source.starts_with("[clsLevel_List]") ? "レベル"
                                                              : std::string(source);
  std::string number = field("Number");
  std::string line = "読めないマスタの行を除きました：" + table + " 番号 " + number + " 「" + name +
                     "」（" + error.Description() + "）";
  return ReadProblemLog::Report(ReadProblemLog::Kind::kMaster,
                                table + field("ID") + "/" + number + "/" + name, std::move(line));
}

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
