#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "entry/GameCsv.h"
#include "scoring/clsResult_Data.h"

namespace lanereport {

class Database;

// The fields of one game as a user typed them, in the columns of GameCsvColumns: bowler, play
// date, centre, level, game number, the 21 rolls, memo, handicap.
using TypedGameFields = std::array<std::string, kGameCsvColumnCount>;

// A field that the game's setters refused: its position in GameCsvColumns, the message, and
// the value as typed.
struct FieldRefusal {
  int column = 0;
  std::string message;
  std::string value;
};

// The game made of typed fields, or why it cannot be.
struct TypedGame {
  std::optional<clsResult_Data> game;  // when no field was refused: finished and ready to add
  std::vector<FieldRefusal> refusals;  // in column order
};

// Enters the fields into a new game through its setters, in the order a user types them, the
// rolls one box after the other (an empty box is left as it is, as a box skipped after a
// strike). Every field is tried; each refusal of a setter is kept with its message. Beyond the
// setters the game is refused when a name is empty, a number is not whole, a roll typed is not
// stored (a second ball after a strike in frames 1 to 9, a third ball in frame 10 that the
// frame did not earn, a ball without the ball before it) or the game is not finished. Nothing
// is looked up in the database: the masters and the games there are the caller's to check.
TypedGame EnterTypedGame(Database& db, const TypedGameFields& fields);

}  // namespace lanereport
