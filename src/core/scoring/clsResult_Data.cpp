#include "scoring/clsResult_Data.h"

#include <algorithm>

#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "database/clsAlley_Data.h"
#include "database/clsBowler_Data.h"
#include "database/clsDataNumberControl.h"
#include "database/clsLevel_Data.h"
#include "scoring/RollNotation.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/DataChange.h"
#include "util/DateText.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr int kTenth1 = 18;
constexpr int kTenth2 = 19;
constexpr int kTenth3 = 20;
constexpr const char* kCrLf = "\r\n";

constexpr const char* kRollProperties[21] = {
    "Firstframe1",   "Firstframe2",   "Secondframe1", "Secondframe2", "Thirdframe1", "Thirdframe2",
    "Fourthframe1",  "Fourthframe2",  "Fifthframe1",  "Fifthframe2",  "Sixthframe1", "Sixthframe2",
    "Seventhframe1", "Seventhframe2", "Eighthframe1", "Eighthframe2", "Ninthframe1", "Ninthframe2",
    "Tenthframe1",   "Tenthframe2",   "Tenthframe3"};

constexpr const char* kRollColumns[21] = {
    "FirstFrame1",   "FirstFrame2",   "SecondFrame1", "SecondFrame2", "ThirdFrame1", "ThirdFrame2",
    "FourthFrame1",  "FourthFrame2",  "FifthFrame1",  "FifthFrame2",  "SixthFrame1", "SixthFrame2",
    "SeventhFrame1", "SeventhFrame2", "EighthFrame1", "EighthFrame2", "NinthFrame1", "NinthFrame2",
    "TenthFrame1",   "TenthFrame2",   "TenthFrame3"};

constexpr const char* kScoreColumns[10] = {
    "FirstFrameScore", "SecondFrameScore", "ThirdFrameScore",   "FourthFrameScore",
    "FifthFrameScore", "SixthFrameScore",  "SeventhFrameScore", "EighthFrameScore",
    "NinthFrameScore", "TenthFrameScore"};

[[noreturn]] void Raise(long number, std::string_view operation, std::string_view message) {
  throw AppError(number, "[clsResult_Data]" + std::string(operation), std::string(message));
}

bool IsStrikeOrSpare(std::string_view m) {
  return IsStrikeMark(m) || m == mark::kSpare;
}

// Characters from position start (0-based) as far as there are any.
std::string Mid(std::string_view text, std::size_t start, std::size_t length) {
  if (start >= text.size()) return "";
  return std::string(text.substr(start, length));
}

}  // namespace

clsResult_Data::clsResult_Data(Database& db) : db_(&db), state_(std::make_shared<State>()) {}

clsResult_Data::State& clsResult_Data::M() {
  if (state_.use_count() > 1) state_ = std::make_shared<State>(*state_);
  return *state_;
}

// ---- Properties ----

void clsResult_Data::SetText(std::string& field, std::string_view value, const char* property,
                             bool* required) {
  // A character takes at most two bytes of the code page for its one or more bytes here, so
  // only a text of 128 bytes or more can be too long.
  if (value.size() >= 128 && ByteLength(value) >= 256)
    Raise(kErrInvalidValue, property, "文字列が長すぎます");
  if (required) *required = true;
  if (Trim(field) != value) {
    field = std::string(value);
    M().changed = true;
  }
}

void clsResult_Data::SetLong(long& field, const Value& value, const char* property) {
  std::optional<double> number = value.Number();
  if (!number || *number < -2147483648.0 || *number > 2147483647.0)
    Raise(kErrInvalidValue, property, "数値を入力して下さい");
  long stored = static_cast<long>(Value(*number).ToInt());
  if (field != stored) {
    field = stored;
    M().changed = true;
  }
}

void clsResult_Data::Entrynumber(const Value& value) {
  SetLong(M().fields.entry_number, value, "Entrynumber");
}

std::string clsResult_Data::BowlerName() const {
  return std::string(Trim(S().fields.bowler_name));
}
void clsResult_Data::BowlerName(std::string_view value) {
  SetText(M().fields.bowler_name, value, "BowlerName", &M().has_bowler);
}

std::string clsResult_Data::AlleyName() const {
  return std::string(Trim(S().fields.alley_name));
}
void clsResult_Data::AlleyName(std::string_view value) {
  SetText(M().fields.alley_name, value, "AlleyName", &M().has_alley);
}

std::string clsResult_Data::LevelName() const {
  return std::string(Trim(S().fields.level_name));
}
void clsResult_Data::LevelName(std::string_view value) {
  SetText(M().fields.level_name, value, "LevelName", &M().has_level);
}

std::string clsResult_Data::PlayDate() const {
  return std::string(Trim(S().fields.play_date));
}
void clsResult_Data::PlayDate(std::string_view date) {
  if (ByteLength(date) >= 256) Raise(kErrInvalidValue, "PlayDate", "文字列が長すぎます");
  std::optional<std::string> ymd = ParseDateToYmd(date);
  if (!ymd) Raise(kErrInvalidValue, "PlayDate", "日付が正しくありません");
  M().has_date = true;
  if (M().fields.play_date != *ymd) {
    M().fields.play_date = *ymd;
    M().changed = true;
  }
}

void clsResult_Data::GameNumber(const Value& value) {
  SetLong(M().fields.game_number, value, "GameNumber");
  M().has_game_number = true;
}

std::string clsResult_Data::ResultMemo() const {
  return std::string(Trim(S().fields.result_memo));
}
void clsResult_Data::ResultMemo(std::string_view value) {
  SetText(M().fields.result_memo, value, "ResultMemo", nullptr);
}

void clsResult_Data::Playnumber(const Value& value) {
  SetLong(M().fields.play_number, value, "Playnumber");
}

void clsResult_Data::Handicap(const Value& value) {
  SetLong(M().fields.handicap, value, "Handicap");
}

std::string clsResult_Data::ScoreText(int k) const {
  short score = S().scores[k];
  return score < 0 ? std::string() : std::to_string(score);
}

std::string clsResult_Data::FrameScore(long frame) const {
  return frame >= 1 && frame <= 10 ? ScoreText(static_cast<int>(frame - 1)) : std::string();
}

std::string clsResult_Data::FrameA(long n) const {
  return n >= 1 && n <= 9 ? std::string(S().fields.rolls[2 * n - 2]) : std::string();
}

std::string clsResult_Data::FrameB(long n) const {
  return n >= 1 && n <= 9 ? std::string(S().fields.rolls[2 * n - 1]) : std::string();
}

bool clsResult_Data::IsValid() const {
  return S().has_bowler && S().has_alley && S().has_level && S().has_date && S().has_game_number;
}

std::string clsResult_Data::RollText(int index) const {
  return std::string(Trim(S().fields.rolls[index]));
}

std::string clsResult_Data::Roll(int index) const {
  return index >= 0 && index <= kTenth3 ? RollText(index) : std::string();
}

void clsResult_Data::Roll(int index, std::string_view entry) {
  if (index >= 0 && index <= kTenth3) SetRoll(index, entry);
}

// ---- Roll setters ----

void clsResult_Data::SetRoll(int index, std::string_view entry) {
  if (SetRollValue(index, entry)) CalcFrameScores();
}

bool clsResult_Data::SetRollValue(int index, std::string_view entry) {
  const char* property = kRollProperties[index];
  if (ByteLength(entry) >= 256) Raise(kErrInvalidValue, property, "文字列が長すぎます");
  // Without a bonus ball the third roll of frame 10 can only be cleared.
  if (index == kTenth3 && !M().bonus_roll) entry = "";
  auto& rolls = M().fields.rolls;
  if (entry == Trim(rolls[index])) return false;

  // Work out every new value first, so that a refused entry changes nothing.
  if (index < kTenth1 && index % 2 == 0) {
    std::string first = ChangeCharacter1(entry);
    if (IsStrikeMark(first)) {
      // Frames 1 to 9 keep a strike as an empty first roll and the mark in the second.
      rolls.Set(index, "");
      SetRollValue(index + 1, first);
    } else {
      std::string second = ChangeCharacter2(rolls[index + 1], first);
      rolls.Set(index, first);
      rolls.Set(index + 1, second);
    }
  } else if (index < kTenth1) {
    rolls.Set(index, ChangeCharacter2(entry, rolls[index - 1]));
  } else if (index == kTenth1) {
    std::string first = ChangeCharacter1(entry);
    std::string second = IsStrikeMark(first) ? ChangeCharacter1(rolls[kTenth2])
                                             : ChangeCharacter2(rolls[kTenth2], first);
    rolls.Set(kTenth1, first);
    rolls.Set(kTenth2, second);
  } else if (index == kTenth2) {
    bool bonus = false;
    std::string second;
    if (IsStrikeMark(Trim(rolls[kTenth1]))) {
      second = ChangeCharacter1(entry);
      bonus = true;
    } else {
      second = ChangeCharacter2(entry, rolls[kTenth1]);
    }
    if (second == mark::kSpare) bonus = true;
    std::string third = IsStrikeOrSpare(second) ? ChangeCharacter1(rolls[kTenth3])
                                                : ChangeCharacter2(rolls[kTenth3], second);
    M().bonus_roll = bonus;
    rolls.Set(kTenth2, second);
    rolls.Set(kTenth3, third);
  } else {
    const std::string_view second = rolls[kTenth2];
    rolls.Set(kTenth3, IsStrikeOrSpare(Trim(second)) ? ChangeCharacter1(entry)
                                                     : ChangeCharacter2(entry, second));
  }
  M().changed = true;
  return true;
}

// The running scores. A roll not bowled counts -300, so every total that needs it stays
// negative through frame 10 and is shown empty.
void clsResult_Data::CalcFrameScores() {
  M().scores.fill(-1);
  struct Frame {
    long first = -300;
    long second = -300;
    long third = -300;
    long total = 0;
    long running = 0;
  };
  std::array<Frame, 11> f;
  const auto& rolls = M().fields.rolls;
  for (int k = 1; k <= 9; ++k) {
    f[k].first = ChangeFigure(rolls[2 * k - 2], true);
    f[k].second = ChangeFigure(rolls[2 * k - 1], true);
    if (f[k].first == -300 && f[k].second == 10) {
      f[k].first = 10;
      f[k].second = 0;
    }
  }
  f[10].first = ChangeFigure(rolls[kTenth1], true);
  f[10].second = ChangeFigure(rolls[kTenth2], true);
  f[10].third = ChangeFigure(rolls[kTenth3], true);
  for (Frame& e : f) e.total = std::min(e.first + e.second, 10L);
  f[0].running = 0;

  for (int k = 1; k <= 8; ++k) {
    long before = f[k - 1].running;
    if (f[k].first == 10 && f[k + 1].first != 10) {
      f[k].running = before + 10 + f[k + 1].total;
    } else if (f[k].first == 10) {
      f[k].running = before + 20 + f[k + 2].first;
    } else if (f[k].total != 10) {
      f[k].running = before + f[k].total;
    } else {
      f[k].running = before + 10 + f[k + 1].first;
    }
  }
  if (f[9].first == 10 && f[10].first == 10) {
    f[9].running = f[8].running + 20 + f[10].second;
  } else if (f[9].first == 10) {
    f[9].running = f[8].running + 10 + f[10].total;
  } else if (f[9].total != 10) {
    f[9].running = f[8].running + f[9].total;
  } else {
    f[9].running = f[8].running + 10 + f[10].first;
  }
  const Frame& t = f[10];
  long tenth = 0;
  if (t.first != 10 && t.total != 10) {
    tenth = f[9].running + t.total;
  } else if (t.first != 10) {
    tenth = f[9].running + 10 + t.third;
  } else if (t.second != 10) {
    tenth = f[9].running + 10 + std::min(t.second + t.third, 10L);
  } else {
    tenth = f[9].running + 20 + t.third;
  }
  f[10].running = tenth;

  std::array<short, 10> scores;
  for (int k = 1; k <= 10; ++k) scores[k - 1] = static_cast<short>(std::max(f[k].running, -1L));
  M().scores = scores;
  M().score = f[10].running >= 0 ? f[10].running : 0;
}

// ---- Master lookups ----

std::unique_ptr<clsBowler_Data> clsResult_Data::Bowler_Data() const {
  auto bowler = std::make_unique<clsBowler_Data>(*db_);
  bowler->Name(BowlerName());
  bowler->Load();
  return bowler;
}

std::unique_ptr<clsAlley_Data> clsResult_Data::Alley_Data() const {
  auto alley = std::make_unique<clsAlley_Data>(*db_);
  alley->Name(AlleyName());
  alley->Load();
  return alley;
}

std::unique_ptr<clsLevel_Data> clsResult_Data::Level_Data() const {
  auto level = std::make_unique<clsLevel_Data>(*db_);
  level->Name(LevelName());
  level->Load();
  return level;
}

std::string clsResult_Data::ChangeCharacter1(std::string_view entry) {
  return lanereport::ChangeCharacter1(entry);
}

std::string clsResult_Data::ChangeCharacter2(std::string_view entry, std::string_view first) {
  return lanereport::ChangeCharacter2(entry, first);
}

long clsResult_Data::ChangeFigure(std::string_view mark, bool blank_is_missing) {
  return lanereport::ChangeFigure(mark, blank_is_missing);
}

// ---- Persistence ----

void clsResult_Data::DataIO(Recordset& rs, bool read) {
  if (read) {
    auto text = [&rs](const char* column) { return NullToValue(rs.Field(column), false).Text(); };
    auto number = [&rs](const char* column) { return NullToValue(rs.Field(column), true); };
    Entrynumber(number("EntryNumber"));
    BowlerName(text("Bowler_Name"));
    AlleyName(text("Alley_Name"));
    LevelName(text("Level_Name"));
    std::string ymd = text("Play_Date");
    PlayDate(Mid(ymd, 0, 4) + "/" + Mid(ymd, 4, 2) + "/" + Mid(ymd, 6, 2));
    GameNumber(number("Game_Number"));
    // Frames 1 to 9 and the first roll of frame 10 are taken as stored; the last two rolls go
    // through their setters, which compute the frame scores.
    for (int i = 0; i <= kTenth1; ++i) M().fields.rolls.Set(i, text(kRollColumns[i]));
    Tenthframe2(text(kRollColumns[kTenth2]));
    Tenthframe3(text(kRollColumns[kTenth3]));
    ResultMemo(text("Result_Memo"));
    Playnumber(number("PlayNumber"));
    Handicap(number("Handicap"));
    return;
  }
  // EntryNumber is written only into a new row; a row keeps the number it was given.
  if (NullToValue(rs.Field("EntryNumber"), true).ToInt() == 0)
    rs.SetField("EntryNumber", Value(S().fields.entry_number));
  rs.SetField("Bowler_Name", Value(S().fields.bowler_name));
  rs.SetField("Alley_Name", Value(S().fields.alley_name));
  rs.SetField("Level_Name", Value(S().fields.level_name));
  rs.SetField("Play_Date", Value(S().fields.play_date));
  rs.SetField("Game_Number", Value(S().fields.game_number));
  for (int i = 0; i < 21; ++i)
    rs.SetField(kRollColumns[i], Value(std::string(S().fields.rolls[i])));
  for (int k = 0; k < 10; ++k) rs.SetField(kScoreColumns[k], Value(ScoreText(k)));
  rs.SetField("Result_Memo", Value(S().fields.result_memo));
  rs.SetField("PlayNumber", Value(S().fields.play_number));
  rs.SetField("Handicap", Value(S().fields.handicap));
}

namespace {

// The text of a column as DataIO reads it: trimmed, a null as empty, a number as its digits.
std::string_view ColumnText(const RowView& row, int i, std::string& holder) {
  if (row.IsText(i)) return Trim(row.Text(i));
  holder = NullToValue(row.At(i), false).Text();
  return holder;
}

// The position of a column: the exact name first, then the name in any letter case; -1 when
// there is none.
int ColumnOf(const RowView& row, std::string_view name) {
  const int count = row.ColumnCount();
  for (int i = 0; i < count; ++i) {
    if (row.ColumnName(i) == name) return i;
  }
  for (int i = 0; i < count; ++i) {
    if (EqualsIgnoreCase(row.ColumnName(i), name)) return i;
  }
  return -1;
}

bool IsEightDigits(std::string_view text) {
  return text.size() == 8 && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

ResultColumns ResultColumns::Of(const RowView& row) {
  ResultColumns c;
  c.entry_number = ColumnOf(row, "EntryNumber");
  c.bowler_name = ColumnOf(row, "Bowler_Name");
  c.alley_name = ColumnOf(row, "Alley_Name");
  c.level_name = ColumnOf(row, "Level_Name");
  c.play_date = ColumnOf(row, "Play_Date");
  c.game_number = ColumnOf(row, "Game_Number");
  for (int i = 0; i < 21; ++i) c.rolls[i] = ColumnOf(row, kRollColumns[i]);
  c.result_memo = ColumnOf(row, "Result_Memo");
  c.play_number = ColumnOf(row, "PlayNumber");
  c.handicap = ColumnOf(row, "Handicap");
  return c;
}

std::string ResultColumns::List() {
  std::string list = "EntryNumber, Bowler_Name, Alley_Name, Level_Name, Play_Date, Game_Number";
  for (const char* roll : kRollColumns) list += std::string(", ") + roll;
  return list + ", Result_Memo, PlayNumber, Handicap";
}

bool ResultColumns::Complete() const {
  for (int i : rolls) {
    if (i < 0) return false;
  }
  return entry_number >= 0 && bowler_name >= 0 && alley_name >= 0 && level_name >= 0 &&
         play_date >= 0 && game_number >= 0 && result_memo >= 0 && play_number >= 0 &&
         handicap >= 0;
}

void clsResult_Data::Read(const RowView& row, const ResultColumns& c) {
  if (!c.Complete()) Raise(kErrEngine, "Read", "項目が見つかりません");
  std::string holder;
  auto number = [&row](int i) { return NullToValue(row.At(i), true); };
  Entrynumber(number(c.entry_number));
  BowlerName(ColumnText(row, c.bowler_name, holder));
  AlleyName(ColumnText(row, c.alley_name, holder));
  LevelName(ColumnText(row, c.level_name, holder));
  std::string_view ymd = ColumnText(row, c.play_date, holder);
  auto digits = [ymd](std::size_t from, std::size_t count) {
    int n = 0;
    for (char ch : ymd.substr(from, count)) n = n * 10 + (ch - '0');
    return n;
  };
  if (IsEightDigits(ymd) && IsValidDate(digits(0, 4), digits(4, 2), digits(6, 2))) {
    // Eight digits of a real date read back as themselves.
    M().has_date = true;
    M().fields.play_date = std::string(ymd);
    M().changed = true;
  } else {
    PlayDate(Mid(ymd, 0, 4) + "/" + Mid(ymd, 4, 2) + "/" + Mid(ymd, 6, 2));
  }
  GameNumber(number(c.game_number));
  for (int i = 0; i <= kTenth1; ++i) M().fields.rolls.Set(i, ColumnText(row, c.rolls[i], holder));
  // The last two rolls go through the setters' rules; the frame scores are worked out once,
  // from all the rolls.
  bool second = SetRollValue(kTenth2, ColumnText(row, c.rolls[kTenth2], holder));
  bool third = SetRollValue(kTenth3, ColumnText(row, c.rolls[kTenth3], holder));
  if (second || third) CalcFrameScores();
  ResultMemo(ColumnText(row, c.result_memo, holder));
  Playnumber(number(c.play_number));
  Handicap(number(c.handicap));
}

std::string clsResult_Data::KeyQuery() const {
  std::string sql;
  for (const std::string& line :
       {std::string(" Select "), std::string("       * "), std::string(" From "),
        std::string("       Result_Data "), std::string(" Where "),
        "       Bowler_Name = " + SqlQuote(BowlerName()),
        "   And Alley_Name = " + SqlQuote(AlleyName()),
        "   And Level_Name = " + SqlQuote(LevelName()),
        "   And Play_Date = " + SqlQuote(PlayDate()),
        "   And Game_Number = " + std::to_string(S().fields.game_number)}) {
    sql += line + kCrLf;
  }
  return sql;
}

std::string clsResult_Data::NumberQuery() const {
  std::string sql;
  for (const std::string& line :
       {std::string(" Select "), std::string("       * "), std::string(" From "),
        std::string("       Result_Data "), std::string(" Where "),
        "       EntryNumber = " + std::to_string(S().fields.entry_number)}) {
    sql += line + kCrLf;
  }
  return sql;
}

// The games of one bowler at one centre and level on one date are one play and share its
// number; the first play of the day is 0, each further play one more than the highest so far.
void clsResult_Data::AllocatePlayNumber() {
  std::string same;
  for (const std::string& line :
       {std::string(" Select "), std::string("       PlayNumber "), std::string(" From "),
        std::string("       Result_Data"), std::string(" Where "),
        "       Bowler_Name = " + SqlQuote(BowlerName()),
        "   And Alley_Name = " + SqlQuote(AlleyName()),
        "   And Level_Name = " + SqlQuote(LevelName()),
        "   And Play_Date = " + SqlQuote(PlayDate())}) {
    same += line + kCrLf;
  }
  auto rs = db_->OpenRecordset(same);
  if (!rs->Eof()) {
    rs->MoveFirst();
    Playnumber(NullToValue(rs->Field("PlayNumber"), true));
    return;
  }
  std::string other;
  for (const std::string& line :
       {std::string(" Select "), std::string("       Max(PlayNumber) "), std::string(" From "),
        std::string("       Result_Data"), std::string(" Where "),
        "       Bowler_Name = " + SqlQuote(BowlerName()),
        "   And (Alley_Name <> " + SqlQuote(AlleyName()),
        "    Or Level_Name <> " + SqlQuote(LevelName()) + ")",
        "   And Play_Date = " + SqlQuote(PlayDate())}) {
    other += line + kCrLf;
  }
  auto max = db_->OpenRecordset(other);
  Value highest;
  if (!max->Eof() && !max->Columns().empty()) highest = max->Field(max->Columns().front());
  Playnumber(highest.IsNull() ? Value(0) : Value(NullToValue(highest, true).ToInt() + 1));
}

void clsResult_Data::RequireFinished(const char* operation) const {
  if (!IsValid()) Raise(kErrInvalidValue, operation, "必須項目が入力されていません");
  if (S().scores[9] < 0) Raise(kErrInvalidValue, operation, "入力が終わっていません");
}

void clsResult_Data::Load() {
  auto rs = db_->OpenRecordset(KeyQuery());
  if (rs->Bof() || rs->Eof()) Raise(kErrNoData, "LOAD", "該当するﾃﾞｰﾀは存在しません");
  rs->MoveFirst();
  DataIO(*rs, true);
  rs->Close();
  M().changed = false;
}

void clsResult_Data::Add() {
  RequireFinished("Add");
  auto rs = db_->OpenRecordset(KeyQuery());
  if (!rs->Eof()) Raise(kErrNoData, "Add", "該当するﾃﾞｰﾀが存在します、追加出来ません");
  Entrynumber(clsDataNumberControl(*db_).CountDataNumber("ResultData"));
  rs->AddNew();
  AllocatePlayNumber();
  DataIO(*rs, false);
  rs->Update();
  rs->Close();
  M().backup = std::make_shared<const Fields>(M().fields);
}

void clsResult_Data::Update(bool by_key) {
  WriteRow(by_key, false);
}

void clsResult_Data::WriteRow(bool by_key, bool rescore) {
  RequireFinished("Update");
  std::unique_ptr<Recordset> rs;
  if (by_key) {
    rs = db_->OpenRecordset(KeyQuery());
    if (rs->Eof()) {
      Entrynumber(clsDataNumberControl(*db_).CountDataNumber("ResultData"));
      rs->AddNew();
    } else {
      rs->MoveFirst();
      Entrynumber(NullToValue(rs->Field("EntryNumber"), true));
      rs->Edit();
    }
  } else {
    rs = db_->OpenRecordset(NumberQuery());
    if (rs->RecordCount() != 1)
      Raise(kErrNoData, "Update", "該当するﾃﾞｰﾀは存在しないか、複数存在します");
    rs->MoveFirst();
    rs->Edit();
  }
  AllocatePlayNumber();
  // Rolls put back by CancelEdit are written with their own scores, never with those of the
  // abandoned edit.
  if (rescore) CalcFrameScores();
  DataIO(*rs, false);
  rs->Update();
  rs->Close();
  M().backup = std::make_shared<const Fields>(M().fields);
}

void clsResult_Data::Delete() {
  auto rs = db_->OpenRecordset(NumberQuery());
  if (rs->RecordCount() != 1)
    Raise(kErrNoData, "Delete", "該当するﾃﾞｰﾀは存在しないか、複数存在します");
  rs->MoveFirst();
  rs->Delete();
  rs->Close();
}

void clsResult_Data::CancelEdit() {
  M().fields = M().backup ? *M().backup : Fields{};
  WriteRow(false, true);
}

}  // namespace lanereport
