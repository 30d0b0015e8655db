#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "TerminalProgress.h"
#include "database/Database.h"
#include "database/WindowSettings.h"
#include "database/basDataBase.h"
#include "pages/ScorePageOutput.h"
#include "util/DateText.h"

namespace lanereport::cli {
namespace {

const char* const kUsage = UsageOf("score-page");

}  // namespace

int RunScorePage(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  const std::set<std::string> options = {"bowler", "date", "centre", "level", "dir"};
  std::optional<Args> args = ParseDbCommand(words, options, {}, options, kUsage, err);
  if (!args) return kExitUsage;
  std::optional<std::string> date = ParseDateToYmd(*args->Option("date"));
  if (!date) {
    err << "日付が正しくありません：" << *args->Option("date") << "\n" << kUsage << "\n";
    return kExitUsage;
  }
  std::string db_path = args->Positional()[0];
  std::unique_ptr<Database> db = OpenScoreDatabase(db_path, err);
  if (!db) return kExitFailed;
  std::optional<BowlerListing> bowler = FindBowlerOrSay(*db, *args->Option("bowler"), err);
  if (!bowler) return kExitFailed;
  WindowSettings settings = LoadPageLookSaying(*db, err);

  StopSignal stop;
  CliMessages messages(out, err, &stop);
  GivenFolder chooser(*args->Option("dir"));
  bool written = false;
  {
    TerminalProgress progress(err, stop);
    progress.Message1("ただいま、スコア表を作成中です");
    progress.Message2("しばらくお待ちください...");
    PageContext context{*db, DbNameOf(db_path), settings, "", progress};
    // The line of the series list that the window would hand over.
    std::string line =
        YmdToSlashed(*date) + "\t" + *args->Option("centre") + "\t" + *args->Option("level");
    written = OutputScorePage(context, chooser, messages, bowler->name, line);
  }
  if (stop.Raised()) {
    err << kStoppedMessage << "\n";
    return stop.ExitStatus();
  }
  if (!written) {
    err << NoDataMessage() << "\n";
    return kExitFailed;
  }
  out << "1 ページ：" << *args->Option("dir") << "\n";
  return kExitOk;
}

}  // namespace lanereport::cli
