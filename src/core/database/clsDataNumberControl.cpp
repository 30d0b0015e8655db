#include "database/clsDataNumberControl.h"

#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "util/AppError.h"

namespace lanereport {

clsDataNumberControl::clsDataNumberControl(Database& db)
    : RecordBase(db, ScoreTable("DataNumberControl"), "clsDataNumberControl") {}

long clsDataNumberControl::CountDataNumber(std::string_view counter) {
  try {
    auto rs = Db().OpenRecordset(
        SelectText("       DataNumberControl ", {"       DataID = " + SqlQuote(counter)}));
    Dataid(counter);
    if (!rs->Eof()) rs->MoveLast();
    long count = rs->RecordCount();
    if (count == 0) {
      Datanumber(1);
      rs->AddNew();
    } else if (count == 1) {
      rs->MoveFirst();
      Datanumber(rs->Field("DataNumber").ToInt() + 1);
      rs->Edit();
    } else {
      return 0;
    }
    DataIO(*rs, false);
    rs->Update();
    Commit();
    return Datanumber();
  } catch (const AppError&) {
    return 0;
  }
}

}  // namespace lanereport
