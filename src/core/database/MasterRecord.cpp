#include "database/MasterRecord.h"

#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "database/clsDataNumberControl.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {

MasterRecord::MasterRecord(Database& db, const MasterTraits& traits)
    : RecordBase(db, ScoreTable(traits.table), traits.class_name), traits_(traits) {}

std::string MasterRecord::TablePiece() const {
  return "       " + std::string(traits_.table) + " ";
}

std::string MasterRecord::NameCondition() const {
  return "       Name = " + SqlQuote(NameValue());
}

void MasterRecord::IsValid() const {
  if (NameValue().empty()) Raise(kErrInvalidValue, "IsValid", "名前が入力されていません");
  if (traits_.aname_column >= 0 && GetText(traits_.aname_column).empty())
    Raise(kErrInvalidValue, "IsValid", "Nameが入力されていません");
  if (traits_.password_column >= 0 &&
      std::string(Trim(Raw(traits_.password_column).Text())).empty())
    Raise(kErrInvalidValue, "IsValid", "ﾊﾟｽﾜｰﾄﾞが入力されていません");
}

void MasterRecord::Load() {
  auto rs = Db().OpenRecordset(SelectText(TablePiece(), {NameCondition()}));
  if (rs->Bof() || rs->Eof()) Raise(kErrNoData, "LOAD", "該当するﾃﾞｰﾀは存在しません");
  rs->MoveFirst();
  DataIO(*rs, true);
  Commit();
}

void MasterRecord::Add() {
  IsValid();
  if (traits_.aname_column >= 0) {
    auto rs = Db().OpenRecordset(
        SelectText(TablePiece(), {"       AName = " + SqlQuote(GetText(traits_.aname_column))}));
    if (CountRows(*rs) > 0) Raise(kErrNoData, "Add", "同じNameのﾃﾞｰﾀが存在します、追加出来ません");
  }
  auto rs = Db().OpenRecordset(SelectText(TablePiece(), {NameCondition()}));
  if (CountRows(*rs) > 0) Raise(kErrNoData, "Add", "同じ名前のﾃﾞｰﾀが存在します、追加出来ません");
  long id = clsDataNumberControl(Db()).CountDataNumber(traits_.counter);
  SetLong(0, id, "Id");
  rs->AddNew();
  DataIO(*rs, false);
  rs->Update();
  Commit();
}

void MasterRecord::Update(bool as_new) {
  IsValid();
  std::unique_ptr<Recordset> rs;
  if (as_new) {
    rs = Db().OpenRecordset(SelectText(TablePiece(), {NameCondition()}));
    if (CountRows(*rs) > 0) {
      SetLong(0, rs->Field("ID").ToInt(), "Id");
      rs->Edit();
    } else {
      SetLong(0, clsDataNumberControl(Db()).CountDataNumber(traits_.counter), "Id");
      rs->AddNew();
    }
  } else {
    std::string not_this_id = "   And ID <> " + std::to_string(GetLong(0));
    auto same_name = Db().OpenRecordset(SelectText(TablePiece(), {NameCondition(), not_this_id}));
    if (CountRows(*same_name) > 0)
      Raise(kErrNoData, "Update", "同じ名前のﾃﾞｰﾀが存在します、更新出来ません");
    if (traits_.aname_column >= 0) {
      auto same_aname = Db().OpenRecordset(
          SelectText(TablePiece(),
                     {"       AName = " + SqlQuote(GetText(traits_.aname_column)), not_this_id}));
      if (CountRows(*same_aname) > 0)
        Raise(kErrNoData, "Update", "同じNameのﾃﾞｰﾀが存在します、更新出来ません");
    }
    rs =
        Db().OpenRecordset(SelectText(TablePiece(), {"       ID = " + std::to_string(GetLong(0))}));
    if (CountRows(*rs) != 1) Raise(kErrNoData, "Update", traits_.update_not_one);
    rs->Edit();
  }
  DataIO(*rs, false);
  rs->Update();
  rs->Close();

  // Games follow their master by name. An object that never held a saved name (one read by a
  // list) or that keeps its name leaves the games alone.
  std::string old_name = SavedText(traits_.name_column);
  if (!old_name.empty() && old_name != NameValue()) {
    Db().Execute("Update Result_Data Set " + std::string(traits_.rename_column) + " = " +
                 SqlQuote(NameValue()) + " Where " + traits_.rename_column + " = " +
                 SqlQuote(old_name));
  }
  Commit();
}

void MasterRecord::Delete() {
  auto rs = Db().OpenRecordset(SelectText(TablePiece(), {NameCondition()}));
  if (CountRows(*rs) != 1)
    Raise(kErrNoData, "Delete", "該当するﾃﾞｰﾀは存在しないか、複数存在します");
  rs->Delete();
}

void MasterRecord::CancelEdit() {
  Revert();
  Update(false);
}

}  // namespace lanereport
