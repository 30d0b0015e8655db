#include "entry/MasterUpkeep.h"

#include "database/Database.h"
#include "database/MasterRecord.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr const char* kSource = "[MasterUpkeep]";

const char* GameColumn(MasterKind kind) {
  switch (kind) {
    case MasterKind::Bowler:
      return "Bowler_Name";
    case MasterKind::Alley:
      return "Alley_Name";
    case MasterKind::Level:
      return "Level_Name";
  }
  return "Bowler_Name";
}

const char* Table(MasterKind kind) {
  switch (kind) {
    case MasterKind::Bowler:
      return "Bowler_Data";
    case MasterKind::Alley:
      return "Alley_Data";
    case MasterKind::Level:
      return "Level_Data";
  }
  return "Bowler_Data";
}

// Runs write inside one transaction: committed when it returns, rolled back when it throws.
template <class Write>
void InOneTransaction(Database& db, Write&& write) {
  db.BeginTrans();
  try {
    write();
  } catch (...) {
    try {
      db.Rollback();
    } catch (const AppError&) {
      // The engine ended the transaction itself; the first failure is the one to tell.
    }
    throw;
  }
  db.CommitTrans();
}

}  // namespace

std::string MasterKindName(MasterKind kind) {
  switch (kind) {
    case MasterKind::Bowler:
      return "ボウラー";
    case MasterKind::Alley:
      return "ボウリング場";
    case MasterKind::Level:
      return "レベル";
  }
  return "";
}

long GamesUsing(Database& db, MasterKind kind, std::string_view name) {
  auto rs = db.OpenRecordset("Select Count(*) As Games From Result_Data Where " +
                             std::string(GameColumn(kind)) + " = " + SqlQuote(name));
  return rs->Eof() ? 0 : static_cast<long>(rs->Field("Games").ToInt());
}

long MasterCount(Database& db, MasterKind kind) {
  auto rs = db.OpenRecordset("Select Count(*) As Masters From " + std::string(Table(kind)));
  return rs->Eof() ? 0 : static_cast<long>(rs->Field("Masters").ToInt());
}

long NextMasterNumber(Database& db, MasterKind kind) {
  auto rs = db.OpenRecordset("Select Max(Number) As Highest From " + std::string(Table(kind)));
  if (rs->Eof() || rs->Field("Highest").IsNull()) return 1;
  long highest = static_cast<long>(rs->Field("Highest").ToInt());
  return highest < 1 ? 1 : highest + 1;
}

std::string RenameQuestion(Database& db, MasterKind kind, std::string_view old_name,
                           std::string_view new_name) {
  if (Trim(old_name).empty() || Trim(old_name) == Trim(new_name)) return "";
  long games = GamesUsing(db, kind, old_name);
  if (games == 0) return "";
  return "「" + std::string(Trim(old_name)) + "」の " + std::to_string(games) + " ゲームも「" +
         std::string(Trim(new_name)) + "」に変わります";
}

void UpdateMaster(Database& db, MasterRecord& record) {
  InOneTransaction(db, [&] { record.Update(false); });
}

void AddMaster(Database& db, MasterRecord& record) {
  InOneTransaction(db, [&] { record.Add(); });
}

void DeleteMaster(Database& db, MasterKind kind, MasterRecord& record, std::string_view name) {
  const std::string what = MasterKindName(kind);
  long games = GamesUsing(db, kind, name);
  if (games > 0)
    throw AppError(
        kErrNoData, kSource + std::string("Delete"),
        "この" + what + "は " + std::to_string(games) + " ゲームで使われているため削除出来ません");
  if (MasterCount(db, kind) <= 1)
    throw AppError(kErrNoData, kSource + std::string("Delete"),
                   "最後の" + what + "は削除出来ません（" + what + "が1件もないと起動出来ません）");
  InOneTransaction(db, [&] { record.Delete(); });
}

}  // namespace lanereport
