#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "database/Schema.h"
#include "database/Value.h"

namespace lanereport {

class Database;
class Recordset;

// The state every record class shares: the current values of one row (one per column of its
// table, in column order), a saved copy (the values as last loaded or written) and the changed
// flag. Setters check and store values; DataIO moves values between the object and a row.
// The object keeps a reference to the database, which must outlive it.
class RecordBase {
 public:
  RecordBase(const RecordBase&) = delete;
  RecordBase& operator=(const RecordBase&) = delete;
  virtual ~RecordBase() = default;

  // Copies a row into the current values (read true), or the current values into the fields of
  // the row being added or edited (read false).
  void DataIO(Recordset& rs, bool read);
  bool IsValueChanged() const { return changed_; }

 protected:
  RecordBase(Database& db, const TableDef& table, std::string class_name);

  std::string GetText(std::size_t column) const;
  long GetLong(std::size_t column) const;
  bool GetBool(std::size_t column) const;
  // Refuses a text of 256 or more code page 932 bytes; stores and marks changed when it differs
  // from the trimmed stored text.
  void SetText(std::size_t column, std::string_view value, std::string_view property);
  // Refuses a value that is not a number; stores and marks changed when it differs.
  void SetLong(std::size_t column, const Value& value, std::string_view property);
  // Stores and marks changed, always.
  void SetBool(std::size_t column, bool value);
  // Stores a text exactly as given (no check, no trimming); for values already checked.
  void StoreRaw(std::size_t column, Value value);
  const Value& Raw(std::size_t column) const { return current_[column]; }
  // The trimmed text of a column in the saved copy.
  std::string SavedText(std::size_t column) const;
  // Moves to the last row and back to the first so the count is complete; returns it.
  static long CountRows(Recordset& rs);

  // After a load or write: the saved copy becomes the current values, the flag is cleared.
  void Commit();
  // The saved copy back into the current values.
  void Revert() { current_ = saved_; }

  // " Select \r\n       * \r\n From \r\n       T \r\n Where \r\n" and the condition lines.
  std::string SelectText(std::string_view table_piece,
                         const std::vector<std::string>& conditions) const;
  [[noreturn]] void Raise(long number, std::string_view operation, std::string_view message) const;
  const std::string& ClassName() const { return class_name_; }
  // Errors name this source as it stands, whatever the operation ("S_OUTPUT").
  void UseFixedSource(std::string source) { fixed_source_ = std::move(source); }
  Database& Db() const { return db_; }
  const TableDef& Table() const { return table_; }

 private:
  Database& db_;
  const TableDef& table_;
  std::string class_name_;
  std::string fixed_source_;
  std::vector<Value> current_;
  std::vector<Value> saved_;
  bool changed_ = false;
};

}  // namespace lanereport
