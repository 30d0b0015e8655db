#include "BowlerPageRange.h"

#include "CliSupport.h"
#include "Commands.h"
#include "TerminalProgress.h"
#include "database/DataBase.h"
#include "database/Database.h"
#include "database/WindowSettings.h"
#include "database/clsBowler_Data.h"
#include "util/AppError.h"

namespace lanereport::cli {

int RunBowlerPageRange(const BowlerPageRange& command, const std::vector<std::string>& words,
                       std::ostream& out, std::ostream& err) {
  std::optional<Args> args = ParseDbCommand(words, {"bowler", "from", "to", "out"}, {"keep"},
                                            {"bowler", "from", "to"}, command.usage, err);
  if (!args) return kExitUsage;
  std::optional<std::string> from = command.parse_bound(*args->Option("from"));
  std::optional<std::string> to = command.parse_bound(*args->Option("to"));
  if (!from || !to) {
    err << "日付が正しくありません：" << *args->Option(from ? "to" : "from") << "\n"
        << command.usage << "\n";
    return kExitUsage;
  }
  std::string db_path = args->Positional()[0];
  std::unique_ptr<Database> db = OpenScoreDatabase(db_path, err);
  if (!db) return kExitFailed;

  std::string bowler = *args->Option("bowler");
  clsBowler_Data record(*db);
  try {
    record.Name(bowler);
    record.Load();
  } catch (const AppError&) {
    err << "ボウラーが見つかりません：" << bowler << "\n";
    return kExitFailed;
  }
  WindowSettings settings = LoadWindowSettings(*db);
  std::string out_folder = ResolveOutFolder(args->Option("out"), settings);

  StopSignal stop;
  PageRunResult result;
  {
    TerminalProgress progress(err, stop);
    progress.Message1(command.progress_message);
    progress.Message2("しばらくお待ちください...");
    PageContext context{*db, DbNameOf(db_path), settings, out_folder, progress};
    result = command.run(context, record.Name(), record.Aname(), *from, *to, !args->Switch("keep"));
  }
  if (result.stopped || stop.Raised()) {
    err << kStoppedMessage << "\n";
    return stop.ExitStatus();
  }
  out << command.done_message << "\n";
  return kExitOk;
}

}  // namespace lanereport::cli
