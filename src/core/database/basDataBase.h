#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace lanereport {

class Database;

// The password the suite's programs open the score database with.
inline constexpr const char* kSuitePassword = "KMRT";

// Opens the score database: clears a read-only permission on the file, opens it, and makes the
// tables this program owns (S_SYSTEM, S_OUTPUT, DataNumberControl) when they are missing.
// Returns nothing, without any message, for a missing file, a file that is not a database, a
// damaged or locked file, or a database without the bowler, centre, level and game tables.
// The password is taken for the suite's sake; this engine's files carry none, so it is not
// verified. When why is given it receives the reason a database could not be opened.
std::unique_ptr<Database> OpenDataBase(const std::string& path, std::string_view password,
                                       std::string* why = nullptr);

// Quotes a text value for SQL: trimmed, each apostrophe doubled, enclosed in apostrophes.
std::string SqlQuote(std::string_view text);

// The database's name as pages and folders use it: the file name without its folder and
// without its extension ("score.db" and "score.mdb" both give "score").
std::string DbNameOf(std::string_view path);

}  // namespace lanereport
