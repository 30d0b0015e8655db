#include "Commands.h"

#include <string>
#include <vector>

#include "CommandTable.h"
#include "util/AppError.h"

namespace lanereport::cli {
namespace {

constexpr const char* kUsage =
    "使い方: lanereport <init|sample-db|score-pages|score-page|monthly-pages|profile-pages|"
    "workbook|bulk|settings|sheets|demo> ...";

}  // namespace

int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
  if (argc < 2) {
    err << kUsage << "\n";
    return kExitUsage;
  }
  std::string command = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  for (const CommandEntry& entry : CommandTable()) {
    if (command != entry.name) continue;
    try {
      return entry.run(args, out, err);
    } catch (const AppError& e) {
      err << e.Description() << "\n";
      return kExitFailed;
    }
  }
  err << "不明なコマンドです：" << command << "\n" << kUsage << "\n";
  return kExitUsage;
}

}  // namespace lanereport::cli
