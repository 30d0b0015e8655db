#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "database/Database.h"
#include "database/Schema.h"

namespace lanereport::cli {

int RunInit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<std::vector<std::string>> words = ParseWordsOnly(args, 1, 1, UsageOf("init"), err);
  if (!words) return kExitUsage;
  CreateScoreDatabase((*words)[0]);
  out << "データベースを作成しました：" << (*words)[0] << "\n";
  return kExitOk;
}

}  // namespace lanereport::cli
