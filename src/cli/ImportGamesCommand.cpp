#include <fstream>
#include <iterator>

#include "Args.h"
#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "database/Database.h"
#include "entry/GameCsv.h"
#include "entry/GameImport.h"
#include "util/VisibleText.h"

namespace lanereport::cli {
namespace {

const char* const kUsage = UsageOf("import-games");

// A games file larger than this is no file of games typed by hand or written by export-games.
constexpr std::streamoff kLargestFile = 256LL * 1024 * 1024;

}  // namespace

int RunImportGames(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  std::string error;
  std::optional<Args> args = Args::Parse(words, {}, {"dry-run"}, error);
  if (args && args->Positional().size() < 2) error = "引数が足りません";
  if (args && args->Positional().size() > 2)
    error = "余分な引数があります：" + args->Positional()[2];
  if (!args || !error.empty()) {
    err << error << "\n" << kUsage << "\n";
    return kExitUsage;
  }
  const std::string& db_path = args->Positional()[0];
  const std::string& csv_path = args->Positional()[1];
  const bool dry_run = args->Switch("dry-run");

  std::ifstream in(csv_path, std::ios::binary | std::ios::ate);
  if (!in) {
    err << "ファイルを開けません：" << VisibleText(csv_path) << "\n";
    return kExitFailed;
  }
  if (in.tellg() > kLargestFile) {
    err << "ファイルが大きすぎます：" << VisibleText(csv_path) << "\n";
    return kExitFailed;
  }
  in.seekg(0);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    err << "ファイルを読めません：" << VisibleText(csv_path) << "\n";
    return kExitFailed;
  }

  std::unique_ptr<Database> db = OpenScoreDatabase(db_path, err);
  if (!db) return kExitFailed;
  GameImportResult result = ImportGames(*db, bytes, dry_run);
  out << VisibleText(csv_path) << " を " << result.encoding << "、区切り文字は"
      << DelimiterName(result.delimiter) << "として読みました（ゲーム " << result.games
      << " 行）\n";
  if (!result.refusals.empty()) {
    for (const ImportRefusal& refusal : result.refusals) err << RefusalText(refusal) << "\n";
    // Masters that lines name and the database lacks, once each: a database without its masters
    // refuses every line, and the names are what to add.
    static constexpr std::pair<int, const char*> kKinds[] = {
        {kCsvBowler, "登録されていないボウラー"},
        {kCsvAlley, "登録されていないセンター"},
        {kCsvLevel, "登録されていないレベル"}};
    for (const auto& [column, caption] : kKinds) {
      std::string names;
      long count = 0;
      for (const auto& [kind, name] : result.missing_masters) {
        if (kind != column) continue;
        names += (count++ ? "、「" : "「") + VisibleText(name) + "」";
      }
      if (count > 0) err << caption << " " << count << " 件：" << names << "\n";
    }
    err << "取り込めない行が " << result.refused_lines << " 行（" << result.refusals.size()
        << " 件）あります。データベースには何も書き込みませんでした\n";
    return kExitFailed;
  }
  if (dry_run) {
    out << "ゲーム " << result.games
        << " 件はすべて取り込めます（--dry-run のため書き込みませんでした）\n";
    return kExitOk;
  }
  out << "ゲーム " << result.written << " 件を取り込みました：" << VisibleText(db_path) << "\n";
  return kExitOk;
}

}  // namespace lanereport::cli
