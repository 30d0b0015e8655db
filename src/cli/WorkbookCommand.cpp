#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "TerminalProgress.h"
#include "database/Database.h"
#include "database/WindowSettings.h"
#include "database/basDataBase.h"
#include "util/Make.h"
#include "util/OutputFolderLock.h"
#include "util/StringUtil.h"
#include "workbook/BowlerWorkbook.h"

namespace lanereport::cli {
namespace {

const char* const kUsage = UsageOf("workbook");

}  // namespace

int RunWorkbook(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  std::optional<Args> args = ParseDbCommand(words, {"template", "out"}, {"html"}, {}, kUsage, err);
  if (!args) return kExitUsage;
  std::string db_path = args->Positional()[0];
  std::unique_ptr<Database> db = OpenScoreDatabase(db_path, err);
  if (!db) return kExitFailed;

  WindowSettings settings = LoadPageLookSaying(*db, err);
  WorkbookRunOptions options;
  options.template_path =
      args->Option("template")
          .value_or(Trim(settings.OutSheet).empty() ? DefaultTemplatePath() : settings.OutSheet);
  options.out_folder = ResolveOutFolder(args->Option("out"), settings);
  options.html = args->Switch("html");
  options.style_sheet = settings.StyleSheet;

  StopSignal stop;
  CliMessages messages(out, err, &stop);
  WorkbookState state;
  WorkbookRunResult result;
  {
    TerminalProgress progress(err, stop);
    progress.Message1("ＥＸＣＥＬ処理準備中です");
    progress.Message2("しばらくお待ちください...");
    OutputFolderLock lock;
    if (lock.Acquire(options.out_folder, progress)) {
      BowlerWorkbook workbook(*db, DbNameOf(db_path), state, progress, messages);
      result = workbook.Run(options);
    }
  }
  FlushWrittenFiles();
  if (result.template_missing || result.finishing_failed) return kExitFailed;
  if (stop.Raised()) {
    err << kStoppedMessage << "\n";
    return stop.ExitStatus();
  }
  out << "ボウラー情報を作成しました\n" << result.workbook_path << "\n";
  for (const std::string& page : result.pages) out << page << "\n";
  if (options.html) out << result.pages.size() << " ページ：" << options.out_folder << "\n";
  return kExitOk;
}

}  // namespace lanereport::cli
