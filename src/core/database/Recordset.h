#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/Value.h"

namespace lanereport {

class Database;

// The rows of one SELECT, read whole when opened, with a current row. When the statement read
// whole rows of one table, the current row can be edited (Edit, put fields, Update) or deleted,
// and new rows added (AddNew, put fields, Update). Field names ignore letter case. Misuse
// (no current row, an unknown field, Update without AddNew or Edit, editing a read-only set)
// raises AppError with number kErrEngine.
class Recordset {
 public:
  Recordset(Database& db, std::string table, std::vector<std::string> columns,
            std::vector<std::vector<Value>> rows, std::vector<std::int64_t> rowids);

  bool Eof() const { return cursor_ >= static_cast<long>(rows_.size()); }
  bool Bof() const { return cursor_ < 0 || rows_.empty(); }
  void MoveFirst();
  void MoveLast();
  void MoveNext();
  // The number of rows (every row is read when the set is opened).
  long RecordCount() const;

  // The value of a field of the current row (or of the row being added or edited).
  Value Field(std::string_view name) const;
  // Puts a value into a field of the row being added or edited; stored by Update.
  void SetField(std::string_view name, const Value& value);

  void AddNew();
  void Edit();
  void Update();
  void CancelUpdate();
  void Delete();
  void Close() {}

  const std::vector<std::string>& Columns() const { return columns_; }

 private:
  enum class Mode { None, Adding, Editing };
  std::size_t ColumnIndex(std::string_view name) const;
  void RequireCurrent() const;
  void RequireUpdatable(const char* operation) const;

  Database& db_;
  std::string table_;
  std::vector<std::string> columns_;
  std::vector<std::vector<Value>> rows_;
  std::vector<std::int64_t> rowids_;
  std::vector<bool> deleted_;
  long cursor_ = 0;
  Mode mode_ = Mode::None;
  std::vector<Value> buffer_;
  std::vector<bool> touched_;
};

}  // namespace lanereport
