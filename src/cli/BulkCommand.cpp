#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "TerminalProgress.h"
#include "batch/MakeFlow.h"
#include "database/Database.h"
#include "database/WindowSettings.h"
#include "database/basDataBase.h"
#include "util/StringUtil.h"

namespace lanereport::cli {
namespace {

const char* const kUsage = UsageOf("bulk");

bool IsYear(const std::string& text) {
  return text.size() == 4 && text.find_first_not_of("0123456789") == std::string::npos &&
         text != "0000";
}

}  // namespace

int RunBulk(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  std::optional<Args> args =
      ParseDbCommand(words, {"year", "out", "template"}, {}, {"year"}, kUsage, err);
  if (!args) return kExitUsage;
  std::string year = *args->Option("year");
  if (!IsYear(year)) {
    err << "年は4桁の数字で指定してください：" << year << "\n" << kUsage << "\n";
    return kExitUsage;
  }
  std::string db_path = args->Positional()[0];
  std::unique_ptr<Database> db = OpenScoreDatabase(db_path, err);
  if (!db) return kExitFailed;

  WindowSettings settings = LoadWindowSettings(*db);
  settings.OutFolder = ResolveOutFolder(args->Option("out"), settings);
  if (auto t = args->Option("template")) settings.OutSheet = *t;

  StopSignal stop;
  CliMessages messages(out, err, &stop);
  GivenFolder chooser(settings.OutFolder);
  MakeResult result;
  {
    TerminalProgress progress(err, stop);
    MakeFlow flow(*db, DbNameOf(db_path), settings, progress, messages, chooser);
    MakeRequest request;
    request.mode = MakeMode::kBulk;
    request.year = year;
    result = flow.Make(request);
  }
  if (result.stopped || stop.Raised()) {
    err << kStoppedMessage << "\n";
    return stop.ExitStatus();
  }
  if (!result.workbook_path.empty()) out << result.workbook_path << "\n";
  out << "月間表 " << result.monthly_pages << " ページ、スコア表 " << result.score_pages
      << " ページ：" << settings.OutFolder << "\n";
  return result.template_missing ? kExitFailed : kExitOk;
}

}  // namespace lanereport::cli
