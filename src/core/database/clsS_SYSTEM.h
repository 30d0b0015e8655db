#pragma once

#include <string>
#include <string_view>

#include "database/RecordBase.h"
#include "database/RecordProperties.h"

namespace lanereport {

// One setting of the key/value table S_SYSTEM: set SsId and Load to read it, or set SsContents
// and Update to store it (added when missing).
class clsS_SYSTEM : public RecordBase {
 public:
  explicit clsS_SYSTEM(Database& db);

  LR_TEXT_PROPERTY(SsId, 0)
  LR_TEXT_PROPERTY(SsContents, 1)

  // Rewrites the row with the values last loaded or written.
  void CancelEdit();
  // Deletes the row of the key; raises kErrNoData unless exactly one row has it.
  void Delete();
  // Adds the row of the key, or changes it; raises kErrNoData when several rows have the key.
  void Update();
  // Reads the row of the key; raises kErrNoData when there is none.
  void Load();

 private:
  std::string KeyStatement() const;
};

}  // namespace lanereport
