#include <algorithm>

#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "database/BowlerLookup.h"
#include "database/Database.h"
#include "util/Utf8Text.h"
#include "util/VisibleText.h"

namespace lanereport::cli {
namespace {

// The text followed by spaces up to columns terminal columns.
std::string PadColumns(const std::string& text, int columns) {
  return text +
         std::string(static_cast<std::size_t>(std::max(0, columns - DisplayColumns(text))), ' ');
}

}  // namespace

int RunBowlers(const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
  std::optional<std::vector<std::string>> words =
      ParseWordsOnly(given, 1, 1, UsageOf("bowlers"), err);
  if (!words) return kExitUsage;
  std::unique_ptr<Database> db = OpenScoreDatabase((*words)[0], err);
  if (!db) return kExitFailed;

  // Names and folder names as stored, their control characters made visible: the listing
  // reaches a terminal, and another program may have stored anything.
  std::vector<BowlerListing> bowlers = ListBowlers(*db);
  for (BowlerListing& b : bowlers) {
    b.name = VisibleText(b.name);
    b.aname = VisibleText(b.aname);
  }
  const char* const heads[] = {"番号", "名前", "フォルダ名", "ゲーム数"};
  int name_width = DisplayColumns(heads[1]);
  int aname_width = DisplayColumns(heads[2]);
  for (const BowlerListing& b : bowlers) {
    name_width = std::max(name_width, DisplayColumns(b.name));
    aname_width = std::max(aname_width, DisplayColumns(b.aname));
  }
  out << PadColumns(heads[0], 6) << PadColumns(heads[1], name_width + 2)
      << PadColumns(heads[2], aname_width + 2) << heads[3] << "\n";
  for (const BowlerListing& b : bowlers) {
    std::string number = std::to_string(b.number);
    out << std::string(static_cast<std::size_t>(std::max<int>(0, 4 - number.size())), ' ') << number
        << "  " << PadColumns(b.name, name_width + 2) << PadColumns(b.aname, aname_width + 2)
        << b.games << "\n";
  }
  out << "ボウラー " << bowlers.size() << " 人\n";
  return kExitOk;
}

}  // namespace lanereport::cli
