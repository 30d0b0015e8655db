#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/clsResult_Data.h"

namespace lanereport {

class Database;

// The roll boxes of a score sheet, numbered as clsResult_Data::Roll numbers them: 0 and 1 are
// frame 1, …, 16 and 17 frame 9, 18 to 20 frame 10.
inline constexpr int kRollBoxes = 21;

// The frame (1 to 10) a roll box belongs to; 0 for a number that is no box.
int FrameOfBox(int box);

// True when the box can take a roll with the game as it stands: every first box and the tenth
// frame's first two; a second box of frames 1 to 9 unless the frame is a strike (stored with its
// first box empty and the strike in the second); the tenth frame's third box only when the
// frame earned it (a strike on its first ball or a spare on its second).
bool RollBoxOpen(const clsResult_Data& game, int box);

// The first box after box that can take a roll; -1 when there is none (the game is complete
// as far as its boxes go). NextRollBox(game, -1) is the first box.
int NextRollBox(const clsResult_Data& game, int box);

// One game of a bowler's day, as the day's list shows it.
struct DayGame {
  long entry_number = 0;
  std::string alley;
  std::string level;
  long game_number = 0;
  long play_number = 0;
  std::string score;  // the stored tenth frame score, as stored
  std::string memo;
};

// The games of the bowler on the date ("YYYYMMDD"), in playing order: by play number, centre,
// level and game number. Every row is listed as it is stored, readable as a game or not.
std::vector<DayGame> DayGames(Database& db, std::string_view bowler, std::string_view date);

// The number a new game of the play (bowler, centre, level, date "YYYYMMDD") would take: one
// more than the highest number the play has, 1 when it has none.
long NextGameNumber(Database& db, std::string_view bowler, std::string_view alley,
                    std::string_view level, std::string_view date);

// A whole number as a user types it: ASCII or full-width digits with an optional leading minus
// (ASCII or full-width) and blanks around; nothing for anything else (letters, fractions,
// numbers beyond 32 bits).
std::optional<long> TypedWholeNumber(std::string_view typed);

// The game being entered in the score entry window: a new game or one opened from the day's
// list. Every field goes through the game record's setters as it is typed; a refusal raises the
// setter's AppError and leaves the game as it was. Nothing reaches the database before
// Register.
class ScoreEntry {
 public:
  explicit ScoreEntry(Database& db);

  // A new, empty game of the bowler, centre, level and date last given (kept from the game
  // before), with the handicap 0, no memo and no game number.
  void NewGame();
  // The stored game of the entry number, to change it; "該当するﾃﾞｰﾀは存在しません" when the row
  // is gone, the record's error when the row is no game it can read. The game in hand stays
  // when it fails.
  void Open(long entry_number);
  // True when the game in hand was opened from the database (Register updates it).
  bool Opened() const { return opened_; }
  const clsResult_Data& Game() const { return game_; }

  void Bowler(std::string_view name);
  void Alley(std::string_view name);
  void Level(std::string_view name);
  // The date as typed ("YYYY/MM/DD" and the forms the record takes).
  void Date(std::string_view typed);
  // A whole number of 1 or more; "ゲーム番号は1以上の整数で入力して下さい" otherwise.
  void GameNumber(std::string_view typed);
  // A whole number; empty means 0; "数値を入力して下さい" otherwise.
  void Handicap(std::string_view typed);
  void Memo(std::string_view text);

  // A roll as typed into box: the record's setter normalises it and keeps the frame
  // consistent. A box that cannot take a roll (RollBoxOpen) only takes empty text, which clears
  // it; anything else is refused with "この枠には入力出来ません". A tenth frame's third ball that
  // the frame no longer earns is cleared.
  void Roll(int box, std::string_view typed);
  // The stored mark of a box.
  std::string Mark(int box) const { return game_.Roll(box); }
  // The running score after each frame, empty while it is not determined.
  std::array<std::string, 10> Scores() const;

  // Stores the game: added when it is new (clsResult_Data::Add, with its entry and play
  // numbers), else written over its row by entry number, after checking that no other game
  // holds its key ("該当するﾃﾞｰﾀが存在します、更新出来ません"). The record's refusals reach the
  // caller and nothing is written then. Afterwards the game counts as opened.
  void Register();
  // Deletes the stored game of the entry number; the record's error when it is not there once.
  void Delete(long entry_number);

 private:
  Database& db_;
  clsResult_Data game_;
  bool opened_ = false;
  // The key parts given, for the next new game.
  std::string bowler_, alley_, level_, date_;
};

}  // namespace lanereport
