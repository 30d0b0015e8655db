#include "database/basDataBase.h"

#include <sys/stat.h>

#include "database/Database.h"
#include "database/Schema.h"
#include "util/AppError.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {

std::unique_ptr<Database> OpenDataBase(const std::string& path, std::string_view /*password*/,
                                       std::string* why) {
  try {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0)
      ::chmod(path.c_str(), st.st_mode | S_IWUSR);
    std::unique_ptr<Database> db = Database::Open(path);
    for (const char* required : {"Bowler_Data", "Alley_Data", "Level_Data", "Result_Data"}) {
      if (!db->HasTable(required)) {
        if (why) *why = std::string("表 ") + required + " がありません";
        return nullptr;
      }
    }
    for (const char* owned : {"S_SYSTEM", "S_OUTPUT", "DataNumberControl"}) {
      if (!db->HasTable(owned)) CreateTable(*db, ScoreTable(owned));
    }
    return db;
  } catch (const AppError& e) {
    if (why) *why = e.Description();
    return nullptr;
  }
}

std::string SqlQuote(std::string_view text) {
  std::string out = "'";
  for (char c : Trim(text)) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

std::string DbNameOf(std::string_view path) {
  return BaseNameWithoutExtension(path);
}

}  // namespace lanereport
