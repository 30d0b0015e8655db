#include "database/clsS_SYSTEM.h"

#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "util/AppError.h"

namespace lanereport {

clsS_SYSTEM::clsS_SYSTEM(Database& db) : RecordBase(db, ScoreTable("S_SYSTEM"), "clsS_System") {}

std::string clsS_SYSTEM::KeyStatement() const {
  return " Select \r\n     * \r\n From \r\n     S_System \r\n Where \r\n     SS_ID = " +
         SqlQuote(SsId()) + "\r\n";
}

void clsS_SYSTEM::Load() {
  auto rs = Db().OpenRecordset(KeyStatement());
  if (rs->Bof() || rs->Eof()) Raise(kErrNoData, "LOAD", "該当するﾃﾞｰﾀは存在しません");
  rs->MoveFirst();
  DataIO(*rs, true);
  Commit();
}

void clsS_SYSTEM::Update() {
  auto rs = Db().OpenRecordset(KeyStatement());
  long count = CountRows(*rs);
  if (count == 0)
    rs->AddNew();
  else if (count == 1)
    rs->Edit();
  else
    Raise(kErrNoData, "Update", "該当するﾃﾞｰﾀが複数存在します");
  DataIO(*rs, false);
  rs->Update();
  Commit();
}

void clsS_SYSTEM::Delete() {
  auto rs = Db().OpenRecordset(KeyStatement());
  if (CountRows(*rs) != 1)
    Raise(kErrNoData, "Delete", "該当するﾃﾞｰﾀは存在しないか、複数存在します");
  rs->Delete();
}

void clsS_SYSTEM::CancelEdit() {
  Revert();
  Update();
}

}  // namespace lanereport
