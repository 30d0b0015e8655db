#pragma once

#include <string>
#include <string_view>

#include "database/MasterRecord.h"
#include "database/RecordProperties.h"

namespace lanereport {

// One bowling centre, a row of Alley_Data; Name is required and unique.
class clsAlley_Data : public MasterRecord {
 public:
  explicit clsAlley_Data(Database& db);

  LR_LONG_PROPERTY(Id, 0)
  LR_LONG_PROPERTY(Number, 1)
  LR_TEXT_PROPERTY(Name, 2)
  LR_TEXT_PROPERTY(Address, 3)
  LR_TEXT_PROPERTY(Telephone, 4)
  LR_TEXT_PROPERTY(Url, 5)
  LR_BOOL_PROPERTY(HomeFlag, 6)
};

}  // namespace lanereport
