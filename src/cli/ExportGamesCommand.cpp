#include <filesystem>

#include "Args.h"
#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "database/Database.h"
#include "database/basDataBase.h"
#include "entry/GameExport.h"
#include "util/Make.h"
#include "util/VisibleText.h"

namespace lanereport::cli {
namespace {

const char* const kUsage = UsageOf("export-games");

bool IsYear(const std::string& text) {
  return text.size() == 4 && text.find_first_not_of("0123456789") == std::string::npos &&
         text != "0000";
}

// True when both paths name the one file that exists.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

int RunExportGames(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  std::string error;
  std::optional<Args> args = Args::Parse(words, {"year", "bowler"}, {}, error);
  if (args && args->Positional().empty()) error = "データベースが指定されていません";
  if (args && args->Positional().size() > 2)
    error = "余分な引数があります：" + args->Positional()[2];
  if (!args || !error.empty()) {
    err << error << "\n" << kUsage << "\n";
    return kExitUsage;
  }
  std::optional<std::string> year = args->Option("year");
  if (year && !IsYear(*year)) {
    err << "年は4桁の数字で指定してください：" << VisibleText(*year) << "\n" << kUsage << "\n";
    return kExitUsage;
  }
  const std::string& db_path = args->Positional()[0];
  std::optional<std::string> file;
  if (args->Positional().size() == 2) file = args->Positional()[1];
  if (file && SameFile(*file, db_path)) {
    err << "データベースのファイルには書き出せません：" << VisibleText(*file) << "\n";
    return kExitFailed;
  }

  std::unique_ptr<Database> db = OpenScoreDatabase(db_path, err);
  if (!db) return kExitFailed;
  std::string condition;
  if (year) condition = "Play_Date >= '" + *year + "0101' And Play_Date <= '" + *year + "1231'";
  if (std::optional<std::string> bowler = args->Option("bowler")) {
    std::optional<BowlerListing> found = FindBowlerOrSay(*db, *bowler, err);
    if (!found) return kExitFailed;
    if (!condition.empty()) condition += " And ";
    condition += "Bowler_Name = " + SqlQuote(found->name);
  }
  GameExportResult result = ExportGames(*db, condition);
  if (!result.not_as_stored.empty()) {
    err << "取り込み直すと記録が変わるゲーム " << result.not_as_stored.size()
        << " 件（書き出しました）：\n";
    for (const std::string& line : result.not_as_stored) err << "  " << line << "\n";
  }
  if (!file) {
    // Standard output carries the file alone.
    out << result.text << std::flush;
    return kExitOk;
  }
  MakeFile(*file, result.text);
  FlushWrittenFiles();
  out << "ゲーム " << result.games << " 件を書き出しました：" << VisibleText(*file) << "\n";
  return kExitOk;
}

}  // namespace lanereport::cli
