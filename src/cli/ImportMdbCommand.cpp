#include <iomanip>
#include <optional>
#include <sstream>
#include <string>

#include "Args.h"
#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "TerminalProgress.h"
#include "import/IsolatedImport.h"
#include "import/JetText.h"
#include "import/MdbRefresh.h"
#include "util/AppError.h"
#include "util/VisibleText.h"

namespace lanereport::cli {
namespace {

const char* const kUsage = UsageOf("import-mdb");

// What the import read: rows per table, the text encoding, and every note.
void PrintReport(const std::string& mdb_path, const ImportReport& report, std::ostream& out) {
  out << "Jet " << report.jet_version << " のデータベースを読み込みました：" << mdb_path << "\n";
  if (report.jet_version == 3) {
    out << "Jet 3 の文字は " << report.text_encoding << " として変換しました";
    if (report.header_code_page != 0)
      out << "（ファイルのヘッダーはコードページ " << report.header_code_page << "）";
    out << "\n";
  } else {
    out << "Jet 4 の文字（" << report.text_encoding << "）をそのまま取り込みました\n";
  }
  for (const auto& [table, rows] : report.rows)
    out << "  " << std::left << std::setw(18) << table << std::right << std::setw(8) << rows
        << " 行\n";
  if (report.notes.empty()) {
    out << "取り込めなかったもの・変えた値：ありません\n";
    return;
  }
  out << "取り込めなかったもの・変えた値：\n";
  for (const std::string& note : report.notes) out << "  " << VisibleText(note) << "\n";
  if (report.values_failed > 0)
    out << "正しくない値 " << report.values_failed << " 件（" << report.rows_failed << " 行）\n";
}

std::string Counts(std::size_t added, std::size_t removed, std::size_t changed) {
  return "追加 " + std::to_string(added) + "・削除 " + std::to_string(removed) + "・変更 " +
         std::to_string(changed);
}

// What a refresh changed: per table of the suite, then the games by date and bowler.
void PrintChanges(const RefreshReport& report, std::ostream& out) {
  out << "変わった行：\n";
  for (const TableChanges& t : report.tables)
    out << "  " << std::left << std::setw(18) << t.table << std::right << "  "
        << Counts(t.added, t.removed, t.changed) << "\n";
  if (report.games.empty()) {
    out << "変わったゲーム：ありません\n";
    return;
  }
  out << "変わったゲーム（日付・ボウラーごと）：\n";
  for (const GameChanges& g : report.games)
    out << "  " << VisibleText(g.date) << " " << VisibleText(g.bowler) << "  "
        << Counts(g.added, g.removed, g.changed) << "\n";
}

int RunUpdate(const std::string& mdb_path, const std::string& target, const ImportOptions& options,
              std::ostream& out, std::ostream& err) {
  StopSignal stop;
  std::optional<RefreshReport> report;
  {
    TerminalProgress progress(err, stop);
    report = RefreshFromMdb(mdb_path, target, options, progress);
  }
  if (!report) {
    err << kStoppedMessage << "\n";
    return stop.Raised() ? stop.ExitStatus() : kExitFailed;
  }
  PrintReport(mdb_path, report->import, out);
  PrintChanges(*report, out);
  out << "データベースを更新しました：" << target << "\n";
  return report->import.values_failed > 0 ? kExitLeftOut : kExitOk;
}

}  // namespace

int RunImportMdb(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  std::string error;
  std::optional<Args> args = Args::Parse(words, {"jet3-code-page", "password"}, {"update"}, error);
  if (!args || args->Positional().empty() || args->Positional().size() > 2) {
    if (!error.empty()) err << error << "\n";
    err << kUsage << "\n";
    return kExitUsage;
  }
  ImportOptions options;
  if (auto code_page = args->Option("jet3-code-page")) {
    try {
      CodePageText known(*code_page);
    } catch (const AppError& e) {
      err << e.Description() << "\n" << kUsage << "\n";
      return kExitUsage;
    }
    options.jet3_code_page = *code_page;
  }
  options.password = args->Option("password");
  const std::string& mdb_path = args->Positional()[0];
  std::string target =
      args->Positional().size() == 2 ? args->Positional()[1] : DefaultImportTarget(mdb_path);

  if (args->Switch("update")) {
    if (args->Positional().size() != 2) {
      err << "--update には更新する .db を指定してください\n" << kUsage << "\n";
      return kExitUsage;
    }
    return RunUpdate(mdb_path, target, options, out, err);
  }

  StopSignal stop;
  std::optional<ImportReport> report =
      ImportMdb(mdb_path, target, options, [&stop] { return stop.Raised(); });
  if (!report) {
    err << kStoppedMessage << "\n";
    return stop.ExitStatus();
  }
  PrintReport(mdb_path, *report, out);
  out << "データベースを作成しました：" << target << "\n";
  return report->values_failed > 0 ? kExitLeftOut : kExitOk;
}

}  // namespace lanereport::cli
