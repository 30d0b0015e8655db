#include "import/ScoreDatabaseChoice.h"

#include <filesystem>

#include "import/IsolatedImport.h"
#include "ui/MessageWindow.h"
#include "util/AppError.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {

bool IsJetDatabasePath(const std::string& path) {
  return path.size() > 4 &&
         EqualsIgnoreCase(std::string_view(path).substr(path.size() - 4), ".mdb");
}

std::string ScoreDatabaseFor(const std::string& path, MessageWindow& messages) {
  if (!IsJetDatabasePath(path)) return path;
  std::string target = DefaultImportTarget(path);
  std::error_code ignored;
  if (std::filesystem::is_regular_file(target, ignored)) return target;
  if (!messages.AskYesNo(
          {GetFileName(path) + " を読み込んで " + GetFileName(target) + " を作成します。",
           "よろしいですか？", 0, 0}))
    return "";
  try {
    if (!ImportMdb(path, target, ImportOptions{})) return "";
  } catch (const AppError& error) {
    messages.ShowWarning({"データベースを読み込めませんでした。", error.Description(), 0, 0});
    return "";
  }
  return target;
}

}  // namespace lanereport
