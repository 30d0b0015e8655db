#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "database/Database.h"
#include "database/WindowSettings.h"
#include "util/AppError.h"

namespace lanereport::cli {
namespace {

const char* const kUsage = UsageOf("settings");

}  // namespace

int RunSettings(const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
  std::optional<std::vector<std::string>> parsed =
      ParseWordsOnly(given, 1, given.size() + 1, kUsage, err);
  if (!parsed) return kExitUsage;
  const std::vector<std::string>& words = *parsed;
  std::vector<std::pair<std::string, std::string>> changes;
  for (std::size_t i = 1; i < words.size(); ++i) {
    auto eq = words[i].find('=');
    WindowSettings probe;
    if (eq == std::string::npos || !probe.Find(words[i].substr(0, eq))) {
      err << "設定の指定が正しくありません：" << words[i] << "\n"
          << "キー: CharacterColor Background StyleSheet Frame1 Frame2 Space Spare Strike "
             "LinkPath OutFolder OutSheet\n"
          << kUsage << "\n";
      return kExitUsage;
    }
    changes.emplace_back(words[i].substr(0, eq), words[i].substr(eq + 1));
  }
  // A value the pages could not hold is refused before anything is stored.
  for (const auto& [key, value] : changes) {
    std::string problem = LookSettingProblem(key, value);
    if (!problem.empty()) {
      err << problem << "\n";
      return kExitFailed;
    }
  }
  std::unique_ptr<Database> db = OpenScoreDatabase(words[0], err);
  if (!db) return kExitFailed;

  WindowSettings settings = LoadWindowSettings(*db);
  if (!changes.empty()) {
    for (const auto& [key, value] : changes) *settings.Find(key) = value;
    // All or nothing: a refused value leaves every setting as it was.
    db->BeginTrans();
    try {
      SaveWindowSettings(*db, settings);
      db->CommitTrans();
    } catch (const AppError&) {
      db->Rollback();
      throw;
    }
    settings = LoadWindowSettings(*db);
  }
  for (const char* key : WindowSettings::Keys()) out << key << "=" << *settings.Find(key) << "\n";
  return kExitOk;
}

}  // namespace lanereport::cli
