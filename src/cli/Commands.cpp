#include "Commands.h"

#include <algorithm>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "CliSupport.h"
#include "CommandTable.h"
#include "TerminalProgress.h"
#include "database/Database.h"
#include "start/StartUp.h"
#include "ui/ProgressWindow.h"
#include "util/AppError.h"
#include "util/ReadProblems.h"

namespace lanereport::cli {
namespace {

// The command list of `lanereport --help`: one line per subcommand with what it does.
void WriteCommandList(std::ostream& out) {
  out << "使い方: lanereport <コマンド> [引数 ...]\n"
         "       引数なしで起動すると画面を開きます\n"
         "\n"
         "コマンド:\n";
  std::size_t width = 0;
  for (const CommandEntry& entry : CommandTable())
    width = std::max(width, std::string_view(entry.name).size());
  for (const CommandEntry& entry : CommandTable()) {
    std::string name = entry.name;
    out << "  " << name << std::string(width - name.size() + 2, ' ') << entry.summary << "\n";
  }
  out << "\n"
         "lanereport <コマンド> --help でそのコマンドの使い方を表示します\n"
         "lanereport --version でバージョンを表示します\n";
}

bool IsHelpWord(std::string_view word) {
  return word == "--help" || word == "-h";
}

// Whether the words of a subcommand ask for its usage: --help or -h before any "--".
bool AsksForHelp(const std::vector<std::string>& words) {
  for (const std::string& w : words) {
    if (w == "--") return false;
    if (IsHelpWord(w)) return true;
  }
  return false;
}

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
    WriteCommandList(err);
    return kExitUsage;
  }
  std::string command = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  if (IsHelpWord(command) || command == "help") {
    if (command == "help" && !args.empty()) {
      if (const CommandEntry* entry = FindCommand(args[0])) {
        out << entry->usage << "\n";
        return kExitOk;
      }
      err << "不明なコマンドです：" << args[0] << "\n";
      WriteCommandList(err);
      return kExitUsage;
    }
    WriteCommandList(out);
    return kExitOk;
  }
  if (command == "--version" || command == "-V") {
    out << "lanereport " << ProgramVersion() << "\n";
    return kExitOk;
  }
  const CommandEntry* entry = FindCommand(command);
  if (!entry) {
    err << "不明なコマンドです：" << command << "\n";
    WriteCommandList(err);
    return kExitUsage;
  }
  if (AsksForHelp(args)) {
    out << entry->usage << "\n";
    return kExitOk;
  }
  // Another program holding the database is waited for, and the terminal says so once per wait;
  // Ctrl-C ends the wait.
  Database::BusyWait previous =
      Database::SetBusyWait({std::chrono::seconds(30), [&err](bool first) {
                               if (first) {
                                 TerminalProgress::ClearActive();
                                 err << kDatabaseBusyMessage << "\n";
                               }
                               return !StopRequested();
                             }});
  ReadProblemLog left_out;
  int status;
  try {
    status = entry->run(args, out, err);
  } catch (const AppError& e) {
    WriteError(e, err);
    status = kExitFailed;
  }
  Database::SetBusyWait(std::move(previous));
  // What the run could not read is said at its end, then counted.
  if (left_out.Count() > 0) {
    for (const std::string& line : left_out.Lines()) err << line << "\n";
    for (const std::string& line : left_out.Summary()) err << line << "\n";
    if (status == kExitOk) status = kExitLeftOut;
  }
  return status;
}

}  // namespace lanereport::cli
