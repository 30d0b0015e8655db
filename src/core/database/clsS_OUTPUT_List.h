#pragma once

#include <string_view>

#include "database/KeyedList.h"
#include "database/clsS_OUTPUT_Data.h"

namespace lanereport {

// The statistics-sheet definitions, in SheetName order, each keyed by its Sheetname.
class clsS_OUTPUT_List : public KeyedList<clsS_OUTPUT_Data> {
 public:
  explicit clsS_OUTPUT_List(Database& db) : db_(db) {}
  // Adds the definitions matching the condition (SQL; empty for all). Raises
  // "該当するﾃﾞｰﾀは存在しません" (kErrNoData) when there is none.
  void Load(std::string_view condition);

 private:
  Database& db_;
};

}  // namespace lanereport
