#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "TerminalProgress.h"
#include "database/Database.h"
#include "database/basDataBase.h"
#include "pages/ProfilePageOutput.h"
#include "util/PathControl.h"

namespace lanereport::cli {
namespace {

const char* const kUsage = UsageOf("profile-pages");

}  // namespace

int RunProfilePages(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  std::optional<Args> args = ParseDbCommand(words, {"dir", "bowler"}, {}, {"dir"}, kUsage, err);
  if (!args) return kExitUsage;
  std::string db_path = args->Positional()[0];
  std::unique_ptr<Database> db = OpenScoreDatabase(db_path, err);
  if (!db) return kExitFailed;

  std::string bowler;
  if (std::optional<std::string> given = args->Option("bowler")) {
    std::optional<BowlerListing> found = FindBowlerOrSay(*db, *given, err);
    if (!found) return kExitFailed;
    bowler = found->name;
  }

  StopSignal stop;
  CliMessages messages(out, err, &stop);
  ProfileRunResult result;
  {
    TerminalProgress progress(err, stop);
    // DIR names the folder itself, whether or not it ends with "/".
    std::string dir = *args->Option("dir");
    result = CreateProfilePages(*db, DbNameOf(db_path), dir.empty() ? dir : AddPathSeparator(dir),
                                bowler, progress, messages);
  }
  if (result.stopped || stop.Raised()) {
    err << kStoppedMessage << "\n";
    return stop.ExitStatus();
  }
  if (!result.done) return kExitFailed;
  out << result.pages << " ページ：" << result.folder << "\n";
  return kExitOk;
}

}  // namespace lanereport::cli
