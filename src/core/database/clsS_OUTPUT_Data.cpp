#include "database/clsS_OUTPUT_Data.h"

#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "database/clsDataNumberControl.h"
#include "util/AppError.h"
#include "util/DateText.h"
#include "util/StringUtil.h"

namespace lanereport {

const std::array<std::string, clsS_OUTPUT_Data::kSwitchCount>& clsS_OUTPUT_Data::SwitchNames() {
  // The property of a switch is its column's name with only the first letter capitalised
  // (TotalScore gives Totalscore); MonthAvg keeps its capital A.
  static const std::array<std::string, kSwitchCount> names = [] {
    std::array<std::string, kSwitchCount> out;
    const TableDef& table = ScoreTable("S_OUTPUT");
    for (std::size_t i = 0; i < kSwitchCount; ++i) {
      std::string column = table.columns[kFirstSwitch + i].name;
      out[i] = column == "MonthAvg" ? column : column.substr(0, 1) + ToLowerAscii(column.substr(1));
    }
    return out;
  }();
  return names;
}

clsS_OUTPUT_Data::clsS_OUTPUT_Data(Database& db)
    : RecordBase(db, ScoreTable("S_OUTPUT"), "clsS_OUTPUT_Data") {
  UseFixedSource("S_OUTPUT");
}

void clsS_OUTPUT_Data::SetDate(std::size_t column, std::string_view date,
                               std::string_view property) {
  std::string stored;
  if (!Trim(date).empty()) {
    std::optional<std::string> ymd = ParseDateToYmd(date);
    if (!ymd) Raise(kErrInvalidValue, property, "日付が正しくありません");
    stored = *ymd;
  }
  SetText(column, stored, property);
}

void clsS_OUTPUT_Data::IsValid() const {
  if (Sheetname().empty()) Raise(kErrInvalidValue, "IsValid", "必須項目エラー（SheetName）");
}

std::string clsS_OUTPUT_Data::Statement(const std::vector<std::string>& conditions) const {
  return SelectText("       S_OUTPUT ", conditions);
}

void clsS_OUTPUT_Data::Load() {
  auto rs = Db().OpenRecordset(Statement({"       SheetName = " + SqlQuote(Sheetname())}));
  if (rs->Bof() || rs->Eof()) Raise(kErrNoData, "LOAD", "該当するﾃﾞｰﾀは存在しません");
  rs->MoveFirst();
  DataIO(*rs, true);
  Commit();
}

void clsS_OUTPUT_Data::Add() {
  IsValid();
  auto rs = Db().OpenRecordset(Statement({"       SheetName = " + SqlQuote(Sheetname())}));
  if (CountRows(*rs) > 0) Raise(kErrNoData, "Add", "同じNameのﾃﾞｰﾀが存在します、追加出来ません");
  Id(clsDataNumberControl(Db()).CountDataNumber("Sheets"));
  rs->AddNew();
  DataIO(*rs, false);
  rs->Update();
  Commit();
}

void clsS_OUTPUT_Data::Update() {
  IsValid();
  std::string id = std::to_string(Id());
  auto same = Db().OpenRecordset(
      Statement({"       SheetName = " + SqlQuote(Sheetname()), "   And ID <> " + id}));
  if (CountRows(*same) > 0)
    Raise(kErrNoData, "Update", "同じ名前のﾃﾞｰﾀが存在します、更新出来ません");
  auto rs = Db().OpenRecordset(Statement({"       ID = " + id}));
  if (CountRows(*rs) != 1)
    Raise(kErrNoData, "Update", "該当するﾃﾞｰﾀは存在しないか、複数存在します");
  rs->Edit();
  DataIO(*rs, false);
  rs->Update();
  Commit();
}

void clsS_OUTPUT_Data::Delete() {
  auto rs = Db().OpenRecordset(Statement({"       ID = " + std::to_string(Id())}));
  if (CountRows(*rs) != 1)
    Raise(kErrNoData, "Delete", "該当するﾃﾞｰﾀは存在しないか、複数存在します");
  rs->Delete();
}

void clsS_OUTPUT_Data::CancelEdit() {
  Revert();
  Update();
}

}  // namespace lanereport
