#include "Commands.h"

#include <string>
#include <vector>

#include "database/Database.h"
#include "database/Schema.h"
#include "util/AppError.h"

namespace lanereport::cli {
namespace {

constexpr const char* kUsage =
    "使い方: lanereport <init|sample-db|score-pages|score-page|monthly-pages|profile-pages|"
    "workbook|bulk|settings|sheets|demo> ...";

int Init(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "使い方: lanereport init DB\n";
    return kExitUsage;
  }
  CreateScoreDatabase(args[0]);
  out << "データベースを作成しました：" << args[0] << "\n";
  (void)err;
  return kExitOk;
}

}  // namespace

int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
  if (argc < 2) {
    err << kUsage << "\n";
    return kExitUsage;
  }
  std::string command = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  try {
    if (command == "init") return Init(args, out, err);
  } catch (const AppError& e) {
    err << e.Description() << "\n";
    return kExitFailed;
  }
  err << "不明なコマンドです：" << command << "\n" << kUsage << "\n";
  return kExitUsage;
}

}  // namespace lanereport::cli
