#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "TerminalProgress.h"
#include "database/Database.h"
#include "database/WindowSettings.h"
#include "database/basDataBase.h"
#include "pages/IndexPageOutput.h"
#include "pages/LookImages.h"
#include "pages/PageContext.h"
#include "util/Make.h"
#include "util/OutputFolderLock.h"
#include "util/PathControl.h"

namespace lanereport::cli {
namespace {

const char* const kUsage = UsageOf("index-pages");

bool IsYear(const std::string& text) {
  return text.size() == 4 && text.find_first_not_of("0123456789") == std::string::npos &&
         text != "0000";
}

}  // namespace

int RunIndexPages(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  std::optional<Args> args = ParseDbCommand(words, {"year", "out"}, {}, {"year"}, kUsage, err);
  if (!args) return kExitUsage;
  std::string year = *args->Option("year");
  if (!IsYear(year)) {
    err << "年は4桁の数字で指定してください：" << year << "\n" << kUsage << "\n";
    return kExitUsage;
  }
  std::string db_path = args->Positional()[0];
  std::unique_ptr<Database> db = OpenScoreDatabase(db_path, err);
  if (!db) return kExitFailed;
  WindowSettings settings = LoadPageLookSaying(*db, err);
  std::string out_folder = ResolveOutFolder(args->Option("out"), settings);
  std::string db_name = DbNameOf(db_path);

  StopSignal stop;
  bool stopped_waiting = false;  // STOP ended the wait for another run into the folder
  IndexRunResult result;
  std::string images;
  {
    TerminalProgress progress(err, stop);
    progress.Message1("ただいま、年間ページを作成中です");
    progress.Message2("しばらくお待ちください...");
    PageContext context{*db, db_name, settings, out_folder, progress};
    OutputFolderLock lock;
    stopped_waiting = !lock.Acquire(out_folder, progress);
    if (!stopped_waiting) result = OutputIndexPages(context, year, {}, true);
    images = ImagesCopiedText(context.images_copied, out_folder);
  }
  FlushWrittenFiles();
  if (stopped_waiting) {
    err << kStoppedMessage << "\n";
    return stop.ExitStatus();
  }
  for (const std::string& path : result.left_alone) err << kIndexLeftAlone << "：" << path << "\n";
  if (result.pages == 0 && result.left_alone.empty()) {
    err << "該当するﾃﾞｰﾀは存在しません\n";
    return kExitFailed;
  }
  out << "年間ページを作成しました\n"
      << result.pages << " ページ：" << AddPathSeparator(out_folder) << db_name << year << "\n";
  if (!images.empty()) out << images << "\n";
  return kExitOk;
}

}  // namespace lanereport::cli
