#pragma once

#include <string_view>

#include "database/KeyedList.h"
#include "database/clsAlley_Data.h"
#include "database/clsBowler_Data.h"
#include "database/clsLevel_Data.h"

namespace lanereport {

// The lists of the master tables: SelectRecord adds the rows matching a condition (SQL, values
// through SqlQuote; empty for all rows) in Number order, each keyed by its Name. Each call adds
// to what the list holds.
class clsBowler_List : public KeyedList<clsBowler_Data> {
 public:
  explicit clsBowler_List(Database& db) : db_(db) {}
  void SelectRecord(std::string_view condition);

 private:
  Database& db_;
};

class clsAlley_List : public KeyedList<clsAlley_Data> {
 public:
  explicit clsAlley_List(Database& db) : db_(db) {}
  void SelectRecord(std::string_view condition);

 private:
  Database& db_;
};

class clsLevel_List : public KeyedList<clsLevel_Data> {
 public:
  explicit clsLevel_List(Database& db) : db_(db) {}
  void SelectRecord(std::string_view condition);

 private:
  Database& db_;
};

}  // namespace lanereport
