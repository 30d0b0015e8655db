#include "database/RecordBase.h"

#include "database/Recordset.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/DataChange.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

Value InitialValue(ColumnType type) {
  return type == ColumnType::Text ? Value("") : Value(0);
}

}  // namespace

RecordBase::RecordBase(Database& db, const TableDef& table, std::string class_name)
    : db_(db), table_(table), class_name_(std::move(class_name)) {
  for (const ColumnDef& c : table_.columns) current_.push_back(InitialValue(c.type));
  saved_ = current_;
}

void RecordBase::DataIO(Recordset& rs, bool read) {
  for (std::size_t i = 0; i < table_.columns.size(); ++i) {
    const ColumnDef& c = table_.columns[i];
    if (read) {
      Value v = NullToValue(rs.Field(c.name), c.type != ColumnType::Text);
      switch (c.type) {
        case ColumnType::Text:
          current_[i] = Value(v.Text());
          break;
        case ColumnType::Long:
          current_[i] = Value(static_cast<long long>(v.ToInt()));
          break;
        case ColumnType::YesNo:
          current_[i] = Value(v.ToInt() != 0);
          break;
      }
    } else {
      rs.SetField(c.name, current_[i]);
    }
  }
}

std::string RecordBase::GetText(std::size_t column) const {
  return std::string(Trim(current_[column].Text()));
}

long RecordBase::GetLong(std::size_t column) const {
  return static_cast<long>(current_[column].ToInt());
}

bool RecordBase::GetBool(std::size_t column) const {
  return current_[column].ToInt() != 0;
}

void RecordBase::SetText(std::size_t column, std::string_view value, std::string_view property) {
  if (ByteLength(value) >= 256) Raise(kErrInvalidValue, property, "文字列が長すぎます");
  if (Trim(current_[column].Text()) != value) {
    current_[column] = Value(value);
    changed_ = true;
  }
}

void RecordBase::SetLong(std::size_t column, const Value& value, std::string_view property) {
  std::optional<double> number = value.Number();
  // A long column holds 32-bit numbers; anything else is refused like a text.
  if (!number || *number < -2147483648.0 || *number > 2147483647.0)
    Raise(kErrInvalidValue, property, "数値を入力して下さい");
  Value stored(static_cast<long long>(Value(*number).ToInt()));
  if (current_[column] != stored) {
    current_[column] = stored;
    changed_ = true;
  }
}

void RecordBase::SetBool(std::size_t column, bool value) {
  current_[column] = Value(value);
  changed_ = true;
}

void RecordBase::StoreRaw(std::size_t column, Value value) {
  if (current_[column] != value) {
    current_[column] = std::move(value);
    changed_ = true;
  }
}

std::string RecordBase::SavedText(std::size_t column) const {
  return std::string(Trim(saved_[column].Text()));
}

long RecordBase::CountRows(Recordset& rs) {
  if (!rs.Eof()) {
    rs.MoveLast();
    rs.MoveFirst();
  }
  return rs.RecordCount();
}

void RecordBase::Commit() {
  saved_ = current_;
  changed_ = false;
}

std::string RecordBase::SelectText(std::string_view table_piece,
                                   const std::vector<std::string>& conditions) const {
  std::string sql = " Select \r\n       * \r\n From \r\n";
  sql += std::string(table_piece) + "\r\n Where \r\n";
  for (const std::string& line : conditions) sql += line + "\r\n";
  return sql;
}

void RecordBase::Raise(long number, std::string_view operation, std::string_view message) const {
  std::string source =
      fixed_source_.empty() ? "[" + class_name_ + "]" + std::string(operation) : fixed_source_;
  throw AppError(number, std::move(source), std::string(message));
}

}  // namespace lanereport
