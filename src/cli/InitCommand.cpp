#include "CommandTable.h"
#include "Commands.h"
#include "database/Database.h"
#include "database/Schema.h"

namespace lanereport::cli {

int RunInit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "使い方: lanereport init DB\n";
    return kExitUsage;
  }
  CreateScoreDatabase(args[0]);
  out << "データベースを作成しました：" << args[0] << "\n";
  return kExitOk;
}

}  // namespace lanereport::cli
