#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "database/Value.h"
#include "database/clsAlley_Data.h"
#include "database/clsBowler_Data.h"
#include "database/clsLevel_Data.h"
#include "scoring/RollTexts.h"
#include "util/StringUtil.h"

namespace lanereport {

class Database;
class Recordset;
class RowView;

// Where the columns of a game row lie in a statement's rows, found once per statement by their
// names (letter case ignored, as Recordset::Field finds them); -1 for a column that is missing.
struct ResultColumns {
  int entry_number = -1;
  int bowler_name = -1;
  int alley_name = -1;
  int level_name = -1;
  int play_date = -1;
  int game_number = -1;
  std::array<int, 21> rolls{};
  int result_memo = -1;
  int play_number = -1;
  int handicap = -1;

  static ResultColumns Of(const RowView& row);
  // The names of every column a game is read from, separated by commas, for a selection.
  static std::string List();
  // True when every column a game is read from is there.
  bool Complete() const;
};

// One game of one bowler, a row of Result_Data: the key (bowler, centre, level, play date, game
// number), the 21 roll marks, the ten running frame scores computed from them, a memo, the play
// number and a handicap. Setters check and normalise what is typed (errors are AppError with
// number kErrInvalidValue and source "[clsResult_Data]" + property) and store nothing when they
// refuse. A game is a value that refers to the database, which must outlive it.
class clsResult_Data {
 public:
  explicit clsResult_Data(Database& db);
  // Copying shares the state (see State); a move is a copy, so no game is ever left empty.
  clsResult_Data(const clsResult_Data&) = default;
  clsResult_Data& operator=(const clsResult_Data&) = default;

  long Entrynumber() const { return S().fields.entry_number; }
  void Entrynumber(const Value& value);
  std::string BowlerName() const;
  void BowlerName(std::string_view value);
  std::string AlleyName() const;
  void AlleyName(std::string_view value);
  std::string LevelName() const;
  void LevelName(std::string_view value);
  // The play date as stored: "YYYYMMDD". The setter takes a date written "YYYY/MM/DD" (also
  // "YYYY-MM-DD" or eight digits) and refuses anything else with "日付が正しくありません".
  std::string PlayDate() const;
  void PlayDate(std::string_view date);
  long GameNumber() const { return S().fields.game_number; }
  void GameNumber(const Value& value);
  // The bowler, centre, level and play date as their getters give them, without a copy: valid
  // while the game is unchanged, for reading many games.
  std::string_view BowlerNameView() const { return Trim(S().fields.bowler_name); }
  std::string_view AlleyNameView() const { return Trim(S().fields.alley_name); }
  std::string_view LevelNameView() const { return Trim(S().fields.level_name); }
  std::string_view PlayDateView() const { return Trim(S().fields.play_date); }

  // The roll marks: frames 1 to 9 two each, frame 10 three. A setter normalises the entry
  // (ChangeCharacter1 / ChangeCharacter2), keeps the other rolls of the frame consistent and
  // recomputes the frame scores; that may raise the ChangeFigure error when a stored roll is not
  // a mark, and then every frame score is empty.
#define LR_ROLL(Prop, index)          \
  std::string Prop() const {          \
    return RollText(index);           \
  }                                   \
  void Prop(std::string_view entry) { \
    SetRoll(index, entry);            \
  }
  LR_ROLL(Firstframe1, 0)
  LR_ROLL(Firstframe2, 1)
  LR_ROLL(Secondframe1, 2)
  LR_ROLL(Secondframe2, 3)
  LR_ROLL(Thirdframe1, 4)
  LR_ROLL(Thirdframe2, 5)
  LR_ROLL(Fourthframe1, 6)
  LR_ROLL(Fourthframe2, 7)
  LR_ROLL(Fifthframe1, 8)
  LR_ROLL(Fifthframe2, 9)
  LR_ROLL(Sixthframe1, 10)
  LR_ROLL(Sixthframe2, 11)
  LR_ROLL(Seventhframe1, 12)
  LR_ROLL(Seventhframe2, 13)
  LR_ROLL(Eighthframe1, 14)
  LR_ROLL(Eighthframe2, 15)
  LR_ROLL(Ninthframe1, 16)
  LR_ROLL(Ninthframe2, 17)
  LR_ROLL(Tenthframe1, 18)
  LR_ROLL(Tenthframe2, 19)
  LR_ROLL(Tenthframe3, 20)
#undef LR_ROLL
  // The same rolls by position: 0 and 1 are frame 1, …, 16 and 17 frame 9, 18 to 20 frame 10.
  // The getter gives empty text and the setter does nothing for any other position.
  std::string Roll(int index) const;
  void Roll(int index, std::string_view entry);

  // The running score after frame 1 … 10 as decimal text, empty while it is not determined.
  std::string Firstframescore() const {
    return ScoreText(0);
  }
  std::string Secondframescore() const {
    return ScoreText(1);
  }
  std::string Thirdframescore() const {
    return ScoreText(2);
  }
  std::string Fourthframescore() const {
    return ScoreText(3);
  }
  std::string Fifthframescore() const {
    return ScoreText(4);
  }
  std::string Sixthframescore() const {
    return ScoreText(5);
  }
  std::string Seventhframescore() const {
    return ScoreText(6);
  }
  std::string Eighthframescore() const {
    return ScoreText(7);
  }
  std::string Ninthframescore() const {
    return ScoreText(8);
  }
  std::string Tenthframescore() const {
    return ScoreText(9);
  }
  // The same by frame number 1 to 10; empty for any other number.
  std::string FrameScore(long frame) const;
  // The game's score: its tenth frame score as a number, 0 while it has none.
  long Score() const {
    return S().score;
  }

  std::string ResultMemo() const;
  void ResultMemo(std::string_view value);
  long Playnumber() const {
    return S().fields.play_number;
  }
  void Playnumber(const Value& value);
  long Handicap() const {
    return S().fields.handicap;
  }
  void Handicap(const Value& value);

  // The stored first / second roll of frame n (1 to 9) as it stands; empty for any other n.
  std::string FrameA(long n) const;
  std::string FrameB(long n) const;
  // The roll at position 0 to 20 (Roll) as it stands, not trimmed, valid while the game is
  // unchanged; for counting many games without copying their rolls.
  std::string_view StoredRoll(int index) const {
    return S().fields.rolls[static_cast<std::size_t>(index)];
  }
  // True once the bowler, centre, level, play date and game number have all been set.
  bool IsValid() const;
  bool IsValueChanged() const {
    return S().changed;
  }

  // The master rows of the game's bowler, centre and level, loaded by name (the error of Load
  // reaches the caller when there is none). The caller owns the returned record.
  std::unique_ptr<clsBowler_Data> Bowler_Data() const;
  std::unique_ptr<clsAlley_Data> Alley_Data() const;
  std::unique_ptr<clsLevel_Data> Level_Data() const;

  // The roll notation (RollNotation.h).
  static std::string ChangeCharacter1(std::string_view entry);
  static std::string ChangeCharacter2(std::string_view entry, std::string_view first);
  static long ChangeFigure(std::string_view mark, bool blank_is_missing);

  // Persistence. DataIO copies the row under the recordset's cursor into
  // the game (read) or the game into the row being added or edited (write; the caller calls the
  // recordset's Update).
  void DataIO(Recordset& rs, bool read);
  // Reads the game from a row being stepped, columns found by columns (Complete), exactly as
  // DataIO reads it from a recordset's row.
  void Read(const RowView& row, const ResultColumns& columns);
  // Reads the game of the key this object holds; "該当するﾃﾞｰﾀは存在しません" when there is none.
  void Load();
  // Inserts a finished game under a new EntryNumber (counter "ResultData") and its play number.
  void Add();
  // Writes the game: by_key finds the row by the key and inserts it when missing; otherwise the
  // row of Entrynumber must exist exactly once.
  void Update(bool by_key);
  // Deletes the row of Entrynumber, which must exist exactly once.
  void Delete();
  // Puts back the values of the last Add or Update and writes them by Entrynumber, with the
  // frame scores of those rolls.
  void CancelEdit();

 private:
  // The fields that the edit backup copies.
  struct Fields {
    long entry_number = 0;
    std::string bowler_name;
    std::string alley_name;
    std::string level_name;
    std::string play_date;
    long game_number = 0;
    RollTexts rolls;
    std::string result_memo;
    long play_number = 0;
    long handicap = 0;
  };

  std::string RollText(int index) const;
  void SetRoll(int index, std::string_view entry);
  // The rolls of SetRoll without the frame scores; true when a roll changed.
  bool SetRollValue(int index, std::string_view entry);
  void SetText(std::string& field, std::string_view value, const char* property, bool* required);
  void SetLong(long& field, const Value& value, const char* property);
  void CalcFrameScores();

  std::string KeyQuery() const;
  std::string NumberQuery() const;
  void AllocatePlayNumber();
  void RequireFinished(const char* operation) const;
  void WriteRow(bool by_key, bool rescore);

  // What a game holds besides its database. Copies of a game share it until one of them is
  // changed (M), so handing games from list to list copies no rolls or names.
  struct State {
    Fields fields;
    // The fields as last written, for CancelEdit (none before the first write).
    std::shared_ptr<const Fields> backup;
    // The running score after each frame; -1 while it is not determined.
    std::array<short, 10> scores = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    long score = 0;  // scores[9] when determined, else 0
    bool changed = false;
    bool bonus_roll = false;
    bool has_bowler = false;
    bool has_alley = false;
    bool has_level = false;
    bool has_date = false;
    bool has_game_number = false;
  };
  // The running score after frame k + 1 as decimal text, empty while it is not determined.
  std::string ScoreText(int k) const;
  const State& S() const {
    return *state_;
  }
  // The state to change: this game's own, copied first while another game shares it.
  State& M();

  Database* db_;
  std::shared_ptr<State> state_;
};

}  // namespace lanereport
