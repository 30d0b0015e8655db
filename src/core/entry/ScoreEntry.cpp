#include "entry/ScoreEntry.h"

#include <limits>

#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr const char* kSource = "[ScoreEntry]";
constexpr int kTenth1 = 18;
constexpr int kTenth2 = 19;
constexpr int kTenth3 = 20;

bool IsStrike(std::string_view mark) {
  return mark == "×" || mark == "Ｘ";
}

[[noreturn]] void Refuse(std::string_view operation, std::string_view message) {
  throw AppError(kErrInvalidValue, kSource + std::string(operation), std::string(message));
}

std::string Quoted(std::string_view text) {
  return SqlQuote(text);
}

}  // namespace

int FrameOfBox(int box) {
  if (box < 0 || box >= kRollBoxes) return 0;
  return box >= kTenth1 ? 10 : box / 2 + 1;
}

bool RollBoxOpen(const clsResult_Data& game, int box) {
  if (box < 0 || box >= kRollBoxes) return false;
  if (box == kTenth3) {
    return IsStrike(Trim(game.StoredRoll(kTenth1))) || Trim(game.StoredRoll(kTenth2)) == "／";
  }
  if (box >= kTenth1 || box % 2 == 0) return true;
  // The second box of frames 1 to 9: closed by a strike, stored in it behind an empty first.
  return !(Trim(game.StoredRoll(box - 1)).empty() && IsStrike(Trim(game.StoredRoll(box))));
}

int NextRollBox(const clsResult_Data& game, int box) {
  for (int next = box < 0 ? 0 : box + 1; next < kRollBoxes; ++next)
    if (RollBoxOpen(game, next)) return next;
  return -1;
}

std::optional<long> TypedWholeNumber(std::string_view typed) {
  std::string ascii;
  std::string_view rest = Trim(typed);
  // Full-width digits and minus as an input method types them.
  static constexpr std::string_view kWideDigits[] = {"０", "１", "２", "３", "４",
                                                     "５", "６", "７", "８", "９"};
  while (!rest.empty()) {
    bool wide = false;
    for (int d = 0; d < 10; ++d) {
      if (StartsWith(rest, kWideDigits[d])) {
        ascii += static_cast<char>('0' + d);
        rest.remove_prefix(kWideDigits[d].size());
        wide = true;
        break;
      }
    }
    if (wide) continue;
    if (StartsWith(rest, "－") || StartsWith(rest, "ー")) {
      ascii += '-';
      rest.remove_prefix(3);
      continue;
    }
    ascii += rest.front();
    rest.remove_prefix(1);
  }
  std::string_view digits = ascii;
  bool negative = !digits.empty() && digits.front() == '-';
  if (negative) digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  long long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<long>(value);
}

std::vector<DayGame> DayGames(Database& db, std::string_view bowler, std::string_view date) {
  std::vector<DayGame> games;
  auto rs = db.OpenRecordset(
      "Select EntryNumber, Alley_Name, Level_Name, Game_Number, PlayNumber, TenthFrameScore, "
      "Result_Memo From Result_Data Where Bowler_Name = " +
      Quoted(bowler) + " And Play_Date = " + Quoted(date) +
      " Order By PlayNumber, Alley_Name, Level_Name, Game_Number, EntryNumber");
  for (; !rs->Eof(); rs->MoveNext()) {
    DayGame game;
    game.entry_number = static_cast<long>(rs->Field("EntryNumber").ToInt());
    game.alley = std::string(Trim(rs->Field("Alley_Name").Text()));
    game.level = std::string(Trim(rs->Field("Level_Name").Text()));
    game.game_number = static_cast<long>(rs->Field("Game_Number").ToInt());
    game.play_number = static_cast<long>(rs->Field("PlayNumber").ToInt());
    game.score = std::string(Trim(rs->Field("TenthFrameScore").Text()));
    game.memo = std::string(Trim(rs->Field("Result_Memo").Text()));
    games.push_back(std::move(game));
  }
  return games;
}

long NextGameNumber(Database& db, std::string_view bowler, std::string_view alley,
                    std::string_view level, std::string_view date) {
  auto rs = db.OpenRecordset(
      "Select Max(Game_Number) As Highest From Result_Data Where Bowler_Name = " + Quoted(bowler) +
      " And Alley_Name = " + Quoted(alley) + " And Level_Name = " + Quoted(level) +
      " And Play_Date = " + Quoted(date));
  if (rs->Eof()) return 1;
  Value highest = rs->Field("Highest");
  if (highest.IsNull()) return 1;
  long value = static_cast<long>(highest.ToInt());
  return value < 1 ? 1 : value + 1;
}

ScoreEntry::ScoreEntry(Database& db) : db_(db), game_(db) {}

void ScoreEntry::NewGame() {
  clsResult_Data game(db_);
  if (!bowler_.empty()) game.BowlerName(bowler_);
  if (!alley_.empty()) game.AlleyName(alley_);
  if (!level_.empty()) game.LevelName(level_);
  if (!date_.empty()) game.PlayDate(date_);
  game_ = game;
  opened_ = false;
}

void ScoreEntry::Open(long entry_number) {
  auto rs = db_.OpenRecordset(
      "Select Bowler_Name, Alley_Name, Level_Name, Play_Date, Game_Number From Result_Data "
      "Where EntryNumber = " +
      std::to_string(entry_number));
  if (rs->Eof())
    throw AppError(kErrNoData, kSource + std::string("Open"), "該当するﾃﾞｰﾀは存在しません");
  clsResult_Data game(db_);
  game.BowlerName(rs->Field("Bowler_Name").Text());
  game.AlleyName(rs->Field("Alley_Name").Text());
  game.LevelName(rs->Field("Level_Name").Text());
  game.PlayDate(rs->Field("Play_Date").Text());
  game.GameNumber(rs->Field("Game_Number"));
  game.Load();
  // A roll another program stored that is no mark would refuse every change of the game.
  for (int box = 0; box < kRollBoxes; ++box)
    clsResult_Data::ChangeFigure(Trim(game.StoredRoll(box)), true);
  if (game.Entrynumber() != entry_number)
    throw AppError(kErrNoData, kSource + std::string("Open"),
                   "同じゲームが複数存在します、開けません");
  game_ = game;
  opened_ = true;
  bowler_ = game_.BowlerName();
  alley_ = game_.AlleyName();
  level_ = game_.LevelName();
  date_ = game_.PlayDate();
}

void ScoreEntry::Bowler(std::string_view name) {
  game_.BowlerName(name);
  bowler_ = game_.BowlerName();
}

void ScoreEntry::Alley(std::string_view name) {
  game_.AlleyName(name);
  alley_ = game_.AlleyName();
}

void ScoreEntry::Level(std::string_view name) {
  game_.LevelName(name);
  level_ = game_.LevelName();
}

void ScoreEntry::Date(std::string_view typed) {
  game_.PlayDate(typed);
  date_ = game_.PlayDate();
}

void ScoreEntry::GameNumber(std::string_view typed) {
  std::optional<long> number = TypedWholeNumber(typed);
  if (!number || *number < 1) Refuse("GameNumber", "ゲーム番号は1以上の整数で入力して下さい");
  game_.GameNumber(Value(*number));
}

void ScoreEntry::Handicap(std::string_view typed) {
  std::optional<long> number = Trim(typed).empty() ? 0L : TypedWholeNumber(typed);
  if (!number) Refuse("Handicap", "数値を入力して下さい");
  game_.Handicap(Value(*number));
}

void ScoreEntry::Memo(std::string_view text) {
  game_.ResultMemo(text);
}

void ScoreEntry::Roll(int box, std::string_view typed) {
  if (box < 0 || box >= kRollBoxes) return;
  if (!RollBoxOpen(game_, box) && !Trim(typed).empty() && Trim(typed) != Trim(Mark(box)))
    Refuse("Roll", "この枠には入力出来ません");
  clsResult_Data before = game_;
  try {
    game_.Roll(box, typed);
    if (!RollBoxOpen(game_, kTenth3) && !Trim(game_.StoredRoll(kTenth3)).empty())
      game_.Roll(kTenth3, "");
  } catch (const AppError&) {
    game_ = before;
    throw;
  }
}

std::array<std::string, 10> ScoreEntry::Scores() const {
  std::array<std::string, 10> scores;
  for (long frame = 1; frame <= 10; ++frame)
    scores[static_cast<std::size_t>(frame - 1)] = game_.FrameScore(frame);
  return scores;
}

void ScoreEntry::Register() {
  if (!opened_) {
    game_.Add();
    opened_ = true;
    return;
  }
  // The key may have been changed: it must stay the key of this game alone.
  auto rs = db_.OpenRecordset(
      "Select EntryNumber From Result_Data Where Bowler_Name = " + Quoted(game_.BowlerName()) +
      " And Alley_Name = " + Quoted(game_.AlleyName()) + " And Level_Name = " +
      Quoted(game_.LevelName()) + " And Play_Date = " + Quoted(game_.PlayDate()) +
      " And Game_Number = " + std::to_string(game_.GameNumber()) + " And EntryNumber <> " +
      std::to_string(game_.Entrynumber()));
  if (!rs->Eof())
    throw AppError(kErrNoData, kSource + std::string("Register"),
                   "該当するﾃﾞｰﾀが存在します、更新出来ません");
  game_.Update(false);
}

void ScoreEntry::Delete(long entry_number) {
  clsResult_Data game(db_);
  game.Entrynumber(Value(entry_number));
  game.Delete();
  if (opened_ && game_.Entrynumber() == entry_number) NewGame();
}

}  // namespace lanereport
