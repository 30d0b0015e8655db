#include "CommandTable.h"

namespace lanereport::cli {

const std::vector<CommandEntry>& CommandTable() {
  static const std::vector<CommandEntry> table = {
      {"init", RunInit},
      {"import-mdb", RunImportMdb},
      {"sample-db", RunSampleDb},
      {"score-pages", RunScorePages},
      {"score-page", RunScorePage},
      {"monthly-pages", RunMonthlyPages},
      {"profile-pages", RunProfilePages},
      {"workbook", RunWorkbook},
      {"bulk", RunBulk},
      {"settings", RunSettings},
      {"sheets", RunSheets},
      {"demo", RunDemo},
  };
  return table;
}

}  // namespace lanereport::cli
