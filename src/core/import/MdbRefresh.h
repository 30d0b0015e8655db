#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/MdbImport.h"

namespace lanereport {

class ProgressWindow;

// How one table of the suite changed in a refresh: rows added, removed, and kept under the
// same number with other values.
struct TableChanges {
  std::string table;
  std::size_t added = 0;
  std::size_t removed = 0;
  std::size_t changed = 0;
};

// The games of one bowler on one play date that a refresh added, removed or changed.
struct GameChanges {
  std::string bowler;
  std::string date;  // "YYYY/MM/DD" (the stored text as it is when it is no date)
  std::size_t added = 0;
  std::size_t removed = 0;
  std::size_t changed = 0;
};

// What a refresh did: the import of the .mdb (rows, notes, checks), the changes per table of
// the suite, and the games that changed by bowler and date (by date, then bowler).
struct RefreshReport {
  ImportReport import;
  std::vector<TableChanges> tables;
  std::vector<GameChanges> games;
};

// The tables of the suite that a refresh replaces, in order: bowlers, centres, levels, games
// and the number counters, but for the counter "Sheets" of the sheet definitions. The other
// tables of the database (S_SYSTEM, S_OUTPUT, the import record and anything else) are the
// program's own and are kept, and so is the counter their IDs come from.
const std::vector<std::string>& RefreshedTables();

// Brings the score database at db_path up to date with the Jet file at mdb_path: the file is
// imported as ImportMdb does (in a child process, every value checked) into a temporary
// database, db_path is copied beside itself, the copy's tables of the suite are replaced by the
// imported ones and its import record by the new file's, and the copy is renamed over db_path.
// db_path is never written: a refresh that fails (AppError naming the reason) or is stopped
// (progress's STOP; the result is nothing) leaves it byte for byte as it was, and no temporary
// file behind. Bar 1 of progress counts the steps. Raises AppError when db_path is no file,
// is being written by another program (its journal is beside it) or changes during the
// refresh, and for every refusal of the import.
std::optional<RefreshReport> RefreshFromMdb(const std::string& mdb_path, const std::string& db_path,
                                            const ImportOptions& options, ProgressWindow& progress);

}  // namespace lanereport
