#include "database/clsS_OUTPUT_List.h"

namespace lanereport {

void clsS_OUTPUT_List::Load(std::string_view condition) {
  std::string sql = "Select * From S_OUTPUT";
  if (!condition.empty()) sql += " Where " + std::string(condition);
  sql += " Order by SheetName";
  SelectInto(*this, db_, sql, "S_OUTPUT", [](const clsS_OUTPUT_Data& d) { return d.Sheetname(); });
}

}  // namespace lanereport
