#pragma once

#include <string>
#include <string_view>

#include "database/RecordBase.h"

namespace lanereport {

// What sets one master table's record class apart from the others.
struct MasterTraits {
  const char* table;           // "Bowler_Data"
  const char* class_name;      // "clsBowler_Data"
  const char* counter;         // counter of DataNumberControl for new IDs
  const char* rename_column;   // the column of Result_Data that links games to the row
  std::size_t name_column;     // index of Name among the table's columns
  int aname_column;            // index of AName (bowlers only), else -1
  int password_column;         // index of Password (bowlers only), else -1
  const char* update_not_one;  // message when the row of the ID is not exactly one
};

// The record pattern of the master tables (bowlers, centres, levels): Load by name, Add with
// duplicate tests and a new ID, Update (as new, or by ID) followed by renaming the games, Delete,
// CancelEdit. The ID is always column 0.
class MasterRecord : public RecordBase {
 public:
  // Reads the row of the current Name; raises "該当するﾃﾞｰﾀは存在しません" when there is none.
  void Load();
  // Inserts the current values as a new row with the next ID.
  void Add();
  // Writes the current values. as_new: the row of the current Name is changed, or added when
  // there is none; otherwise the row of the current ID is changed. Then the games under the
  // name last saved are moved to the current name (skipped when that name is empty or the
  // same).
  void Update(bool as_new = false);
  // Deletes the row of the current Name; the games stay.
  void Delete();
  // Rewrites the row with the values last loaded or written.
  void CancelEdit();

 protected:
  MasterRecord(Database& db, const MasterTraits& traits);
  std::string NameValue() const { return GetText(traits_.name_column); }

 private:
  void IsValid() const;
  std::string TablePiece() const;
  std::string NameCondition() const;

  const MasterTraits& traits_;
};

}  // namespace lanereport
