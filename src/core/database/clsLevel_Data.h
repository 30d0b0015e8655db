#pragma once

#include <string>
#include <string_view>

#include "database/MasterRecord.h"
#include "database/RecordProperties.h"

namespace lanereport {

// One level (kind of play), a row of Level_Data; Name is required and unique. Fcolor is the
// colour its games are shown in; CalculationTarget tells whether its games count in statistics.
class clsLevel_Data : public MasterRecord {
 public:
  explicit clsLevel_Data(Database& db);

  LR_LONG_PROPERTY(Id, 0)
  LR_LONG_PROPERTY(Number, 1)
  LR_TEXT_PROPERTY(Name, 2)
  LR_TEXT_PROPERTY(Fcolor, 3)
  LR_BOOL_PROPERTY(CalculationTarget, 4)
};

}  // namespace lanereport
