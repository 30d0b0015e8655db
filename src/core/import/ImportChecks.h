#pragma once

#include <string>
#include <vector>

#include "database/Value.h"

namespace lanereport {

class Database;
struct TableDef;

// What the checks of one imported row found: every value that cannot be carried as it is,
// each named in one line (table, row key, column, the value shown with VisibleText, why, and
// what became of it), and whether the row is left out.
struct RowCheck {
  bool leave_out = false;
  std::vector<std::string> notes;
};

// Checks one row of def about to be written by an import, with the rules the program applies
// to what it reads: a text must decode without U+FFFD and stay under 256 bytes in code page
// 932, a long must be a whole number of 32 bits, a yes/no a number, a date "YYYYMMDD" a real
// date; a game's key goes through the game record's setters, its rolls must be the marks the
// roll setters keep (in frame order, each in its place) and its frame scores those its rolls
// give. row holds a value per column of def (null where present is false: the file has no
// such column). A failing value in a key column (the names, numbers and rolls a row is found
// and scored by) leaves the row out; any other failing value is cleared, a wrong frame score
// becomes the score its rolls give. db is the database the row goes to (the game record needs
// one; it is not read).
RowCheck CheckImportedRow(const TableDef& def, std::vector<Value>& row,
                          const std::vector<bool>& present, Database& db);

}  // namespace lanereport
