#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "database/Value.h"

struct sqlite3;

namespace lanereport {

class Recordset;

// An open score database: one SQLite file, reached with the SQL the record classes write (see
// TranslateJetSql). Engine failures raise AppError with number kErrEngine and the engine's
// message. Not copyable; closed when destroyed.
class Database {
 public:
  // Opens an existing database file for reading and writing. Raises AppError when the file is
  // missing, is not a database or cannot be read.
  static std::unique_ptr<Database> Open(const std::string& path);
  // Creates a new, empty database file; raises AppError when the file exists.
  static std::unique_ptr<Database> Create(const std::string& path);

  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Runs a SELECT and returns all its rows, positioned on the first (or at the end when there
  // is none). Whole rows of one table ("Select * From T ...") can be edited and deleted, and
  // new rows added.
  std::unique_ptr<Recordset> OpenRecordset(std::string_view sql);
  // Runs a statement that returns no rows; raises AppError when it fails.
  void Execute(std::string_view sql);
  // Runs SQLite's own SQL as it stands (schema work inside the engine only).
  void ExecuteNative(std::string_view sql);

  // Groups many writes into one transaction (the sample loader uses it for speed).
  void BeginTrans();
  void CommitTrans();
  void Rollback();

  bool HasTable(std::string_view table);
  const std::string& Path() const { return path_; }
  sqlite3* Handle() const { return db_; }

 private:
  Database(sqlite3* db, std::string path);
  sqlite3* db_;
  std::string path_;
};

}  // namespace lanereport
