#pragma once

#include <string>
#include <string_view>

#include "database/RecordBase.h"

namespace lanereport {

// The counters of table DataNumberControl, one row per counter name ("BowlerData",
// "AlleyData", "LevelData", "ResultData", "Sheets"). Numbers start at 1 and grow by one with
// each insert; a number is never handed out twice.
class clsDataNumberControl : public RecordBase {
 public:
  explicit clsDataNumberControl(Database& db);

  std::string Dataid() const { return GetText(0); }
  void Dataid(std::string_view value) { SetText(0, value, "Dataid"); }
  long Datanumber() const { return GetLong(1); }
  void Datanumber(const Value& value) { SetLong(1, value, "Datanumber"); }

  // Takes the next number of the counter and stores it: 1 for a counter without a row. Returns
  // 0, writing nothing, when the counter has more than one row or anything fails.
  [[nodiscard]] long CountDataNumber(std::string_view counter);
};

}  // namespace lanereport
