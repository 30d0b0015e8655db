#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lanereport {

class Database;

// A line of the games file that cannot be taken: its line (from 1), the column ("" for the
// whole line), the message, and the value as the file holds it (none for the whole line).
struct ImportRefusal {
  long line = 0;
  std::string column;
  std::string message;
  std::string value;
  bool has_value = false;
};

struct GameImportResult {
  std::string encoding;  // "UTF-8" or "CP932"
  char delimiter = ',';
  long games = 0;    // game lines read (each checked)
  long written = 0;  // games added; 0 for a dry run and whenever a line was refused
  std::vector<ImportRefusal> refusals;  // in line order
  long refused_lines = 0;               // the lines with at least one refusal
  // The names of bowlers, centres and levels that lines name and their masters lack, each once
  // in the order first met: column (kCsvBowler, kCsvAlley, kCsvLevel) and name.
  std::vector<std::pair<int, std::string>> missing_masters;
};

// Imports the games of a games file (GameCsv.h) into the database. Every line is checked first:
// its fields through the game's setters as typed (EnterTypedGame), its bowler, centre and level
// in the masters, its key (bowler, centre, level, date, game number) neither in the database
// nor on an earlier line. Only when every line passes, and dry_run is false, are the games
// added (clsResult_Data::Add, with their entry and play numbers) in one transaction, in the
// order of the file; a failure on the way rolls every one of them back and reaches the caller.
// A file without any game line is refused.
GameImportResult ImportGames(Database& db, std::string_view bytes, bool dry_run);

// One refusal as a line for the user: "3 行目 Game_Number：数値を入力して下さい（値「1.5」）",
// the value shown with its control characters visible and cut when long.
std::string RefusalText(const ImportRefusal& refusal);

}  // namespace lanereport
