#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lanereport {

class Database;

// The kind of a column of the score database.
enum class ColumnType { Long, Text, YesNo };

struct ColumnDef {
  const char* name;
  ColumnType type;
};

struct TableDef {
  const char* name;
  std::vector<ColumnDef> columns;
};

// The seven tables of the score database, their columns in order.
// The columns of Result_Data's 21 rolls in frame order: two per frame, three in frame 10.
const std::array<const char*, 21>& RollColumnNames();
const std::vector<TableDef>& ScoreTables();
const TableDef& ScoreTable(std::string_view name);

// Creates the table (and its indexes) in the database; text columns compare and sort ignoring
// letter case.
void CreateTable(Database& db, const TableDef& table);

// Creates a new, empty score database file with every table. Raises AppError when the file
// exists or cannot be made.
std::unique_ptr<Database> CreateScoreDatabase(const std::string& path);

}  // namespace lanereport
