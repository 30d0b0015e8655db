#include "database/Recordset.h"

#include "database/Database.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

[[noreturn]] void RaiseMisuse(std::string_view what) {
  throw AppError(kErrEngine, "Recordset", std::string(what));
}

std::string QuoteName(const std::string& name) {
  return "\"" + name + "\"";
}

}  // namespace

Recordset::Recordset(Database& db, std::string table, std::vector<std::string> columns,
                     std::vector<std::vector<Value>> rows, std::vector<std::int64_t> rowids)
    : db_(db),
      table_(std::move(table)),
      columns_(std::move(columns)),
      rows_(std::move(rows)),
      rowids_(std::move(rowids)),
      deleted_(rows_.size(), false) {}

void Recordset::MoveFirst() {
  cursor_ = 0;
  while (!Eof() && deleted_[cursor_]) ++cursor_;
}

void Recordset::MoveLast() {
  cursor_ = static_cast<long>(rows_.size()) - 1;
  while (cursor_ >= 0 && deleted_[cursor_]) --cursor_;
  if (cursor_ < 0) cursor_ = static_cast<long>(rows_.size());
}

void Recordset::MoveNext() {
  if (Eof()) RaiseMisuse("カレントレコードがありません");
  mode_ = Mode::None;
  ++cursor_;
  while (!Eof() && deleted_[cursor_]) ++cursor_;
}

long Recordset::RecordCount() const {
  long count = 0;
  for (bool d : deleted_) count += d ? 0 : 1;
  return count;
}

std::size_t Recordset::ColumnIndex(std::string_view name) const {
  // Callers mostly write a column as the table declares it; the exact match is the quick one.
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i] == name) return i;
  }
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (EqualsIgnoreCase(columns_[i], name)) return i;
  }
  RaiseMisuse("項目が見つかりません：" + std::string(name));
}

void Recordset::RequireCurrent() const {
  if (Eof() || cursor_ < 0 || deleted_[cursor_]) RaiseMisuse("カレントレコードがありません");
}

void Recordset::RequireUpdatable(const char* operation) const {
  if (table_.empty()) RaiseMisuse(std::string(operation) + "：このレコードセットは更新できません");
}

Value Recordset::Field(std::string_view name) const {
  std::size_t index = ColumnIndex(name);
  if (mode_ != Mode::None) return buffer_[index];
  RequireCurrent();
  return rows_[cursor_][index];
}

void Recordset::SetField(std::string_view name, const Value& value) {
  if (mode_ == Mode::None) RaiseMisuse("AddNew または Edit を行っていません");
  std::size_t index = ColumnIndex(name);
  buffer_[index] = value;
  touched_[index] = true;
}

void Recordset::AddNew() {
  RequireUpdatable("AddNew");
  mode_ = Mode::Adding;
  buffer_.assign(columns_.size(), Value());
  touched_.assign(columns_.size(), false);
}

void Recordset::Edit() {
  RequireUpdatable("Edit");
  RequireCurrent();
  mode_ = Mode::Editing;
  buffer_ = rows_[cursor_];
  touched_.assign(columns_.size(), false);
}

void Recordset::Update() {
  if (mode_ == Mode::None) RaiseMisuse("AddNew または Edit を行っていません");
  std::vector<Value> values;
  std::string sql;
  if (mode_ == Mode::Adding) {
    std::string names;
    std::string marks;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      if (!touched_[i]) continue;
      names += (names.empty() ? "" : ",") + QuoteName(columns_[i]);
      marks += marks.empty() ? "?" : ",?";
      values.push_back(buffer_[i]);
    }
    sql = names.empty()
              ? "INSERT INTO " + QuoteName(table_) + " DEFAULT VALUES"
              : "INSERT INTO " + QuoteName(table_) + " (" + names + ") VALUES (" + marks + ")";
    std::int64_t rowid = db_.Write(sql, values);
    // The added row joins the end of the set, as the engine shows added rows.
    rows_.push_back(buffer_);
    rowids_.push_back(rowid);
    deleted_.push_back(false);
  } else {
    std::string sets;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      if (!touched_[i]) continue;
      sets += (sets.empty() ? "" : ",") + QuoteName(columns_[i]) + "=?";
      values.push_back(buffer_[i]);
    }
    if (!sets.empty()) {
      values.emplace_back(static_cast<long long>(rowids_[cursor_]));
      db_.Write("UPDATE " + QuoteName(table_) + " SET " + sets + " WHERE rowid=?", values);
    }
    rows_[cursor_] = buffer_;
  }
  mode_ = Mode::None;
}

void Recordset::CancelUpdate() {
  mode_ = Mode::None;
}

void Recordset::Delete() {
  RequireUpdatable("Delete");
  RequireCurrent();
  db_.Write("DELETE FROM " + QuoteName(table_) + " WHERE rowid=?",
            {Value(static_cast<long long>(rowids_[cursor_]))});
  deleted_[cursor_] = true;
}

}  // namespace lanereport
