#include "BowlerPageRange.h"

#include "CliSupport.h"
#include "Commands.h"
#include "TerminalProgress.h"
#include "database/Database.h"
#include "database/WindowSettings.h"
#include "database/basDataBase.h"
#include "pages/IndexPageOutput.h"
#include "pages/LookImages.h"
#include "pages/PageLayout.h"
#include "util/AppError.h"
#include "util/Make.h"
#include "util/OutputFolderLock.h"
#include "util/VisibleText.h"

namespace lanereport::cli {
namespace {

// Where the pages went: the bowler's folder of the year when the range lies in one year, else
// the output folder that holds the year folders.
std::string WrittenFolder(const std::string& out_folder, const std::string& db_name,
                          const std::string& aname, const std::string& from,
                          const std::string& to) {
  if (from.substr(0, 4) == to.substr(0, 4))
    return YearFolder(out_folder, db_name, from.substr(0, 4), aname);
  return out_folder;
}

// The index pages of the bowler and of every year of the range, after the tables: they link
// what the tables made.
IndexRunResult IndexPagesOfRange(PageContext& context, const std::string& bowler,
                                 const std::string& from, const std::string& to) {
  IndexRunResult all;
  for (int year = std::stoi(from.substr(0, 4)); year <= std::stoi(to.substr(0, 4)); ++year) {
    IndexRunResult run = OutputIndexPages(context, std::to_string(year), {bowler});
    all.pages += run.pages;
    all.written.insert(all.written.end(), run.written.begin(), run.written.end());
    all.left_alone.insert(all.left_alone.end(), run.left_alone.begin(), run.left_alone.end());
  }
  return all;
}

}  // namespace

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
  if (*from > *to) {
    err << "期間の開始が終了より後です：" << *from << " ～ " << *to << "\n"
        << command.usage << "\n";
    return kExitUsage;
  }
  std::string db_path = args->Positional()[0];
  std::unique_ptr<Database> db = OpenScoreDatabase(db_path, err);
  if (!db) return kExitFailed;

  std::optional<BowlerListing> bowler = FindBowlerOrSay(*db, *args->Option("bowler"), err);
  if (!bowler) return kExitFailed;
  WindowSettings settings = LoadPageLookSaying(*db, err);
  std::string out_folder = ResolveOutFolder(args->Option("out"), settings);

  StopSignal stop;
  PageRunResult result;
  IndexRunResult index;
  std::string images;
  {
    TerminalProgress progress(err, stop);
    progress.Message1(command.progress_message);
    progress.Message2("しばらくお待ちください...");
    PageContext context{*db, DbNameOf(db_path), settings, out_folder, progress};
    OutputFolderLock lock;
    if (!lock.Acquire(out_folder, progress)) {
      result.stopped = true;
    } else {
      result = command.run(context, bowler->name, bowler->aname, *from, *to, !args->Switch("keep"));
      if (result.pages > 0 || result.kept > 0)
        index = IndexPagesOfRange(context, bowler->name, *from, *to);
    }
    images = ImagesCopiedText(context.images_copied, out_folder);
  }
  FlushWrittenFiles();
  for (const std::string& path : index.left_alone) err << kIndexLeftAlone << "：" << path << "\n";
  if (result.stopped || stop.Raised()) {
    err << kStoppedMessage << "\n";
    return stop.ExitStatus();
  }
  if (result.pages == 0 && !result.kept) {
    err << NoDataMessage() << "\n";
    return kExitFailed;
  }
  out << command.done_message << "\n"
      << result.pages << " ページ："
      << VisibleText(WrittenFolder(out_folder, DbNameOf(db_path), bowler->aname, *from, *to))
      << "\n";
  for (const std::string& path : index.written) out << "年間ページ：" << path << "\n";
  if (!images.empty()) out << images << "\n";
  return kExitOk;
}

}  // namespace lanereport::cli
