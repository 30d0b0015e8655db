#include "Commands.h"

#include <exception>
#include <string>
#include <vector>

#include "CommandTable.h"
#include "util/AppError.h"

namespace lanereport::cli {
namespace {

constexpr const char* kUsage =
    "使い方: lanereport "
    "<init|import-mdb|sample-db|score-pages|score-page|monthly-pages|profile-pages|"
    "workbook|bulk|settings|sheets|demo> ...";

// Writes the error's description on one line, then the description of the reason nested in it
// (under the template copy failing, the damaged part of the template), and so on down.
void WriteError(const std::exception& error, std::ostream& err) {
  const auto* app = dynamic_cast<const AppError*>(&error);
  err << (app ? app->Description() : std::string(error.what())) << "\n";
  try {
    std::rethrow_if_nested(error);
  } catch (const std::exception& reason) {
    WriteError(reason, err);
  } catch (...) {
  }
}

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
      WriteError(e, err);
      return kExitFailed;
    }
  }
  err << "不明なコマンドです：" << command << "\n" << kUsage << "\n";
  return kExitUsage;
}

}  // namespace lanereport::cli
