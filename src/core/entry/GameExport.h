#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lanereport {

class Database;
class clsResult_Data;

// The fields of a game as the games file (GameCsv.h) writes them, in the order of
// GameCsvColumns: the names, the date as "YYYY/MM/DD", the game number, the 21 roll marks as
// stored, the memo and the handicap.
std::vector<std::string> GameCsvFields(const clsResult_Data& game);

struct GameExportResult {
  std::string text;  // the whole file: the header line, then one line per game, CR LF each
  long games = 0;
  // The games that would not import again as they are stored (marks another program stored
  // that typed entry gives otherwise, a game not finished): one line each, naming the game, the
  // column and what the import would make of it. They are written all the same.
  std::vector<std::string> not_as_stored;
};

// The games of the condition (SQL over Result_Data; empty for every game) as a games file in
// UTF-8, in the order they were entered (EntryNumber), so that importing the file into a
// database with the same masters and no games gives every game its entry and play number
// again. Read as the pages read them: a row that is no game is left out and reported to the
// run's ReadProblemLog. Each game written is entered again as the import enters it, and one
// that would come back otherwise is named in not_as_stored. Raises "該当するﾃﾞｰﾀは存在しません"
// (kErrNoData) when there is no game.
GameExportResult ExportGames(Database& db, std::string_view condition);

}  // namespace lanereport
