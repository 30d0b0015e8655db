#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lanereport {

class Database;
struct JetTable;
struct TableDef;

// How the suite's Jet (.mdb) score database is read.
struct ImportOptions {
  // The code page of Jet 3 text: a number or an iconv name. Jet 4 text is UCS-2 and needs none.
  std::string jet3_code_page = "932";
  // When given, the database password stored in the file's header must equal it; the file is
  // refused otherwise. Without it the file is read whatever its password (the Jet library
  // reads password-protected files as they are).
  std::optional<std::string> password;
};

// What an import read and what it could not carry.
struct ImportReport {
  int jet_version = 0;                 // 3 or 4
  std::string text_encoding;           // "UCS-2" (Jet 4) or the code page used for Jet 3 text
  std::uint16_t header_code_page = 0;  // the code page the file's header names
  // The rows read, per table of the score database, in the program's order of tables.
  std::vector<std::pair<std::string, std::size_t>> rows;
  // Each thing not carried or changed, named: an extra table or column, a missing table or
  // column, values whose text had to be replaced, values left empty.
  std::vector<std::string> notes;
  // The rows the checks of every value saw (ImportChecks), those with a value that could not be
  // carried as it was, and how many such values there were; each is named in the notes.
  std::size_t rows_checked = 0;
  std::size_t rows_failed = 0;
  std::size_t values_failed = 0;
};

// Reads every row of the seven tables of the score database from the Jet file at mdb_path
// and writes them, in one transaction, to a new database file at target made with the
// program's own schema. Columns are matched by name ignoring letter case; a column or table the
// file lacks is left empty. Raises AppError when the file is not a Jet database, lacks the
// bowler, centre, level or game table, the password differs, more than half of the rows hold a
// value that fails its check (the file is taken as damaged), or target exists or cannot be
// written; target may then be left partly written (ImportMdb works on a temporary file). The
// source's path, size, time and digest are recorded in target (WriteImportRecord).
// Runs the Jet library in this process: a damaged file may crash it (ImportMdb does not).
ImportReport ImportMdbHere(const std::string& mdb_path, const std::string& target,
                           const ImportOptions& options);

// For each table of ScoreTables(), the Jet table among jet_tables of the same name (letter case
// ignored), or "" when there is none; every Jet table left over is named in the notes. Raises
// AppError (kErrInvalidValue) naming path when the bowler, centre, level or game table is
// missing.
std::vector<std::string> MatchScoreTables(const std::vector<std::string>& jet_tables,
                                          const std::string& path, ImportReport& report);

// Creates the table def in db and writes every row of jet (null: the file has no such table,
// which is noted) into it. Columns are matched by name, letter case ignored; a column jet lacks
// is left empty and one it has over is not carried, both noted. Values go in as read, except
// that a text column takes a real as its shortest exact text and the frame scores keep an
// undetermined score undetermined (null or blank becomes "", the program's own empty score;
// a text of digits becomes the number). Every row goes through CheckImportedRow: a value that
// fails is named in the notes and cleared, or its row is left out. Adds the rows written, the
// counts of the checks and the notes to report.
void WriteScoreTable(const TableDef& def, const JetTable* jet, Database& db, ImportReport& report);

// Checks the password option against the header of the file at mdb_path. Raises AppError
// (kErrInvalidValue) when a password is given and differs, and whatever ReadJetHeader raises.
void CheckJetPassword(const std::string& mdb_path, const ImportOptions& options);

}  // namespace lanereport
