#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "database/Value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace lanereport {

class Recordset;

// The current row of a statement being stepped by Database::ReadRows, its columns read by
// position. Texts point into the engine's memory and are valid until the next row.
class RowView {
 public:
  explicit RowView(sqlite3_stmt* stmt) : stmt_(stmt) {}
  int ColumnCount() const;
  std::string_view ColumnName(int i) const;
  bool IsText(int i) const;
  bool IsInteger(int i) const;
  // The column as stored when it is a text (IsText); empty for any other type.
  std::string_view Text(int i) const;
  // The column when it is an integer (IsInteger).
  std::int64_t Integer(int i) const;
  // The column as a value of any type, as OpenRecordset reads it.
  Value At(int i) const;

 private:
  sqlite3_stmt* stmt_;
};

// An open score database: one SQLite file, reached with the SQL the record classes write (see
// TranslateJetSql). Engine failures raise AppError with number kErrEngine and the engine's
// message. Not copyable; closed when destroyed. One thread at a time may use it: the engine
// takes no lock of its own on every call.
class Database {
 public:
  // Opens an existing database file for reading and writing. Raises AppError when the file is
  // missing, is not a database or cannot be read.
  static std::unique_ptr<Database> Open(const std::string& path);

  // The wait while another program holds the database, for every connection of the process:
  // up to limit, calling waiting about every tenth of a second (first is true on the first call
  // of one wait, to tell the user once); waiting answering false ends the wait at once (STOP,
  // Ctrl-C). Past the wait a read fails with an engine error that names the lock. Without a
  // waiting function the wait is silent. Returns what was set before, to put back.
  // The engine's quick check of the whole file: empty when it finds nothing wrong, else its
  // first finding. A damaged index can hide rows from a read without any error, so a run that
  // publishes checks the database first (about 80 ms for a league database of 34 MB). A file
  // whose size and modification time are those of its last clean check is not checked again.
  std::string QuickCheck();

  using BusyWaiting = std::function<bool(bool first)>;
  struct BusyWait {
    std::chrono::milliseconds limit{30000};
    BusyWaiting waiting;
  };
  static BusyWait SetBusyWait(BusyWait wait);
  // Creates a new, empty database file; raises AppError when the file exists.
  static std::unique_ptr<Database> Create(const std::string& path);

  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Runs a SELECT and returns all its rows, positioned on the first (or at the end when there
  // is none). Statements are prepared once per text and kept (the texts of a run repeat with
  // other values in their conditions, which go in as bound values). Whole rows of one table
  // ("Select * From T ...") can be edited and deleted, and new rows added.
  std::unique_ptr<Recordset> OpenRecordset(std::string_view sql);
  // Runs a SELECT as OpenRecordset does, but hands its rows to each one at a time, in order,
  // without keeping them: the quick way to read many rows that are only read. An error raised
  // by each ends the reading and reaches the caller.
  void ReadRows(std::string_view sql, const std::function<void(const RowView&)>& each);
  // Runs a statement that returns no rows; raises AppError when it fails.
  void Execute(std::string_view sql);
  // Runs one parameterised write of SQLite's own SQL (the rows of a Recordset going back) with
  // the values bound in order, and returns the row identity of an insert.
  // Raises AppError with source "Recordset" when the write fails.
  std::int64_t Write(const std::string& sql, const std::vector<Value>& values);
  // Runs SQLite's own SQL as it stands (schema work inside the engine only).
  void ExecuteNative(std::string_view sql);

  // Groups many writes into one transaction (the sample loader uses it for speed).
  void BeginTrans();
  void CommitTrans();
  void Rollback();

  bool HasTable(std::string_view table);
  const std::string& Path() const { return path_; }

 private:
  Database(sqlite3* db, std::string path);
  // The prepared statement of a text, kept for the next use of the same text; nullptr when
  // the engine refuses the text (its message is then the engine's last error).
  sqlite3_stmt* Kept(const std::string& sql);
  // Ends one use of a kept statement.
  void Release(sqlite3_stmt* stmt);
  // The kept statement of a translated selection with its parameters bound; raises the
  // engine's error when the text is refused.
  sqlite3_stmt* KeptSelect(const std::string& sql, std::vector<std::string>& parameters);
  // One use of a kept statement, ended however the reading ends.
  struct KeptUse {
    Database& db;
    sqlite3_stmt* stmt;
    ~KeptUse() { db.Release(stmt); }
  };

  sqlite3* db_;
  std::string path_;
  // The size and modification time (ns) of the file at its last clean QuickCheck.
  std::optional<std::pair<long long, long long>> checked_;
  // Prepared statements by their text; emptied when it grows past a few dozen.
  std::unordered_map<std::string, sqlite3_stmt*> statements_;
};

}  // namespace lanereport
