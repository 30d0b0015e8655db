#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lanereport {

class Database;

// The Jet file a score database was imported from, as this program records it in the database
// (table S_IMPORT, one row, the program's own like S_SYSTEM): where it was, its size, its
// modification time and a SHA-256 digest of its bytes, so that a later start can tell whether
// the suite has written to the file since.
struct SourceStamp {
  std::string path;           // absolute
  std::int64_t size = 0;      // bytes
  std::int64_t mtime_ns = 0;  // modification time, nanoseconds since 1970-01-01 UTC
  std::string sha256;         // 64 lower-case hexadecimal digits
};

inline constexpr const char* kImportRecordTable = "S_IMPORT";

// The stamp of the file at path as it is now. Raises AppError (kErrFile) naming path when the
// file cannot be read.
SourceStamp StampOf(const std::string& path);

// The SHA-256 digest of the file at path, as 64 lower-case hexadecimal digits. Raises AppError
// (kErrFile) when the file cannot be read.
std::string Sha256OfFile(const std::string& path);

// Makes the record table when it is missing and puts stamp in it as its one row, with the time
// of the import.
void WriteImportRecord(Database& db, const SourceStamp& stamp);

// The stamp recorded in db; nothing when the database has no record (made before the program
// kept one, or not by an import) or its row cannot be read as one.
std::optional<SourceStamp> ReadImportRecord(Database& db);

// True when the file now is the file recorded: the same size, modification time and digest.
// The path is not compared (a folder renamed or copied whole keeps its files).
bool SameSource(const SourceStamp& recorded, const SourceStamp& now);

// The modification time of a stamp as the local time "YYYY/MM/DD HH:MM".
std::string StampTimeText(const SourceStamp& stamp);

}  // namespace lanereport
