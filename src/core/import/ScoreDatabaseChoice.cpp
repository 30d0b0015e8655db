#include "import/ScoreDatabaseChoice.h"

#include <filesystem>
#include <optional>

#include "database/Database.h"
#include "import/ImportRecord.h"
#include "import/IsolatedImport.h"
#include "import/MdbRefresh.h"
#include "ui/MessageWindow.h"
#include "ui/ProgressWindow.h"
#include "util/AppError.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

void Run(const WithProgress& with_progress, const std::function<void(ProgressWindow&)>& work) {
  if (with_progress) {
    with_progress(work);
    return;
  }
  SilentProgress silent;
  work(silent);
}

std::string FailedValues(const ImportReport& report) {
  if (report.values_failed == 0) return "";
  return "（正しくない値 " + std::to_string(report.values_failed) +
         " 件は取り込んでいません。一覧は lanereport import-mdb で表示できます）";
}

// Whether the .db at target holds what the Jet file at path holds now, as far as its record
// tells: nothing when it has no record (or cannot be read: opening it says why), else whether
// the file is the one recorded.
std::optional<bool> RecordedAsItIs(const std::string& target, const SourceStamp& now,
                                   bool& readable) {
  readable = true;
  try {
    std::unique_ptr<Database> db = Database::Open(target);
    std::optional<SourceStamp> recorded = ReadImportRecord(*db);
    if (!recorded) return std::nullopt;
    return SameSource(*recorded, now);
  } catch (const AppError&) {
    readable = false;
    return std::nullopt;
  }
}

std::string Refresh(const std::string& path, const std::string& target, MessageWindow& messages,
                    const WithProgress& with_progress) {
  std::optional<RefreshReport> report;
  try {
    Run(with_progress, [&](ProgressWindow& progress) {
      report = RefreshFromMdb(path, target, ImportOptions{}, progress);
    });
  } catch (const AppError& error) {
    messages.ShowWarning(
        {"データベースを最新にできませんでした。" + GetFileName(target) + " を元のまま開きます。",
         error.Description(), 0, 0});
    return target;
  }
  if (!report) return target;
  std::size_t added = 0, removed = 0, changed = 0;
  for (const TableChanges& t : report->tables) {
    if (t.table != "Result_Data") continue;
    added = t.added;
    removed = t.removed;
    changed = t.changed;
  }
  messages.ShowWarning({GetFileName(target) + " を最新にしました。",
                        "ゲーム 追加 " + std::to_string(added) + " 件・削除 " +
                            std::to_string(removed) + " 件・変更 " + std::to_string(changed) +
                            " 件" + FailedValues(report->import),
                        kCompletionColor, 10});
  return target;
}

}  // namespace

bool IsJetDatabasePath(const std::string& path) {
  return path.size() > 4 &&
         EqualsIgnoreCase(std::string_view(path).substr(path.size() - 4), ".mdb");
}

std::string ScoreDatabaseFor(const std::string& path, MessageWindow& messages,
                             const WithProgress& with_progress) {
  if (!IsJetDatabasePath(path)) return path;
  std::string target = DefaultImportTarget(path);
  std::error_code ignored;
  if (std::filesystem::is_regular_file(target, ignored)) {
    SourceStamp now;
    try {
      now = StampOf(path);
    } catch (const AppError&) {
      return target;  // the file cannot be read now: the .db is all there is
    }
    bool readable = true;
    std::optional<bool> same = RecordedAsItIs(target, now, readable);
    if (!readable || (same && *same)) return target;
    const std::string mdb = GetFileName(path);
    const std::string db = GetFileName(target);
    // The file's time says when the suite last wrote to it.
    std::string line1 =
        same ? mdb + " が " + db + " の作成後に変わっています（" + StampTimeText(now) + "）。"
             : db + " には " + mdb + " から作った記録がありません（" + mdb + "：" +
                   StampTimeText(now) + "）。";
    if (!messages.AskYesNo({line1, db + " を最新にしてから開きますか？", 0, 0})) return target;
    return Refresh(path, target, messages, with_progress);
  }
  if (!messages.AskYesNo(
          {GetFileName(path) + " を読み込んで " + GetFileName(target) + " を作成します。",
           "よろしいですか？", 0, 0}))
    return "";
  std::optional<ImportReport> report;
  try {
    Run(with_progress, [&](ProgressWindow& progress) {
      progress.Message1(GetFileName(path) + " を読み込んでいます");
      progress.StartProgress(1, 1);
      report = ImportMdb(path, target, ImportOptions{}, [&progress] {
        progress.CountProgress(1, 0);
        return progress.StopFlag();
      });
    });
  } catch (const AppError& error) {
    messages.ShowWarning({"データベースを読み込めませんでした。", error.Description(), 0, 0});
    return "";
  }
  if (!report) return "";
  if (report->values_failed > 0)
    messages.ShowWarning({GetFileName(target) + " を作成しました。", FailedValues(*report), 0, 0});
  return target;
}

}  // namespace lanereport
