#include "import/ImportChecks.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "database/Schema.h"
#include "scoring/clsResult_Data.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/DateText.h"
#include "util/StringUtil.h"
#include "util/Utf8Text.h"
#include "util/VisibleText.h"

namespace lanereport {
namespace {

constexpr std::string_view kReplacement = "\uFFFD";

// The columns a row is found, linked or scored by: a failing value there leaves the row out.
bool IsKeyColumn(std::string_view table, std::string_view column) {
  if (table == "Bowler_Data" || table == "Alley_Data" || table == "Level_Data")
    return column == "ID" || column == "Name";
  if (table == "Result_Data")
    return column == "EntryNumber" || column == "Bowler_Name" || column == "Alley_Name" ||
           column == "Level_Name" || column == "Play_Date" || column == "Game_Number" ||
           (column.size() > 6 && column.substr(column.size() - 6, 5) == "Frame" &&
            column.back() >= '1' && column.back() <= '3');
  if (table == "DataNumberControl") return true;
  if (table == "S_SYSTEM") return column == "SS_ID";
  if (table == "S_OUTPUT") return column == "ID" || column == "SheetName";
  return false;
}

bool IsFrameScoreColumn(std::string_view table, std::string_view column) {
  return table == "Result_Data" && column.size() > 10 &&
         column.substr(column.size() - 10) == "FrameScore";
}

bool IsDateColumn(std::string_view table, std::string_view column) {
  return (table == "Result_Data" && column == "Play_Date") ||
         (table == "S_OUTPUT" && (column == "Start_Date" || column == "End_Date"));
}

// Enough of a value to know it again, safe on a terminal: control characters shown, a long
// text cut.
std::string Shown(const Value& value) {
  std::string shown = VisibleText(value.IsNull() ? std::string() : value.Text());
  if (DisplayColumns(shown) <= 40) return shown;
  return FitColumns(shown, 38) + "…";
}

bool IsRealYmd(std::string_view text) {
  if (text.size() != 8 || text.find_first_not_of("0123456789") != std::string_view::npos)
    return false;
  auto digits = [text](std::size_t from, std::size_t count) {
    int n = 0;
    for (char c : text.substr(from, count)) n = n * 10 + (c - '0');
    return n;
  };
  return IsValidDate(digits(0, 4), digits(4, 2), digits(6, 2));
}

// Why a value cannot be what its column holds, or nothing when it can.
std::optional<std::string> TypeProblem(const TableDef& def, const ColumnDef& column,
                                       const Value& value) {
  if (value.IsNull()) return std::nullopt;
  switch (column.type) {
    case ColumnType::Text: {
      if (!value.IsText()) return std::nullopt;  // a number, kept as its digits
      const std::string& text = *value.TextIf();
      if (text.find(kReplacement) != std::string::npos) return "読めない文字があります";
      if (ByteLength(text) >= 256) return "文字列が長すぎます";
      std::string_view trimmed = Trim(text);
      if (IsDateColumn(def.name, column.name) && !IsRealYmd(trimmed) &&
          !(trimmed.empty() && std::string_view(def.name) != "Result_Data"))
        return "日付が正しくありません";
      return std::nullopt;
    }
    case ColumnType::Long: {
      std::optional<long long> whole;
      if (const std::int64_t* i = value.IntegerIf()) whole = *i;
      if (const double* d = value.DoubleIf()) {
        if (!std::isfinite(*d) || std::floor(*d) != *d) return "整数ではありません";
        if (std::fabs(*d) > 1e18) return "整数の範囲を超えています";
        whole = static_cast<long long>(*d);
      }
      if (const std::string* text = value.TextIf()) {
        if (Trim(*text).empty() && IsFrameScoreColumn(def.name, column.name))
          return std::nullopt;  // a score not determined yet
        whole = ParseInteger(Trim(*text));
        if (!whole) return "数値を入力して下さい";
      }
      if (*whole < std::numeric_limits<std::int32_t>::min() ||
          *whole > std::numeric_limits<std::int32_t>::max())
        return "整数の範囲を超えています";
      return std::nullopt;
    }
    case ColumnType::YesNo:
      if (value.IsInteger()) return std::nullopt;
      return "はい・いいえの値ではありません";
  }
  return std::nullopt;
}

int ColumnIndex(const TableDef& def, std::string_view name) {
  for (std::size_t c = 0; c < def.columns.size(); ++c)
    if (def.columns[c].name == name) return static_cast<int>(c);
  return -1;
}

// The row as the list names it: its number and what a user knows it by.
std::string RowKey(const TableDef& def, const std::vector<Value>& row) {
  auto at = [&](const char* name) -> Value {
    int c = ColumnIndex(def, name);
    return c < 0 ? Value() : row[static_cast<std::size_t>(c)];
  };
  std::string table = def.name;
  if (table == "Result_Data") {
    std::string date = at("Play_Date").IsNull() ? "" : at("Play_Date").Text();
    if (IsRealYmd(date)) date = date.substr(0, 4) + "/" + date.substr(4, 2) + "/" + date.substr(6);
    return "EntryNumber " + Shown(at("EntryNumber")) + "（" + Shown(at("Bowler_Name")) + " " +
           Shown(Value(date)) + " 第" + Shown(at("Game_Number")) + "ゲーム）";
  }
  if (table == "DataNumberControl") return "DataID「" + Shown(at("DataID")) + "」";
  if (table == "S_SYSTEM") return "SS_ID「" + Shown(at("SS_ID")) + "」";
  if (table == "S_OUTPUT") return "ID " + Shown(at("ID")) + "（" + Shown(at("SheetName")) + "）";
  return "ID " + Shown(at("ID")) + "（" + Shown(at("Name")) + "）";
}

struct Finding {
  std::size_t column;
  std::string why;
  std::optional<Value> replacement;  // a wrong frame score: the score its rolls give
};

std::string TextOf(const Value& value) {
  if (value.IsNull()) return "";
  return std::string(Trim(value.Text()));
}

// The game record's own checks of a game row: its key through the setters, its rolls through
// the roll setters in frame order (each must come out as stored), its frame scores against the
// scores of those rolls. Columns already found wrong are not tried again.
void CheckGame(const TableDef& def, const std::vector<Value>& row, const std::vector<bool>& present,
               const std::vector<bool>& failed, Database& db, std::vector<Finding>& findings) {
  clsResult_Data game(db);
  auto tryColumn = [&](const char* name, auto&& set) {
    int c = ColumnIndex(def, name);
    if (c < 0 || !present[static_cast<std::size_t>(c)] || failed[static_cast<std::size_t>(c)])
      return;
    try {
      set(row[static_cast<std::size_t>(c)]);
    } catch (const AppError& error) {
      findings.push_back({static_cast<std::size_t>(c), error.Description(), std::nullopt});
    }
  };
  tryColumn("Bowler_Name", [&](const Value& v) { game.BowlerName(TextOf(v)); });
  tryColumn("Alley_Name", [&](const Value& v) { game.AlleyName(TextOf(v)); });
  tryColumn("Level_Name", [&](const Value& v) { game.LevelName(TextOf(v)); });
  tryColumn("Result_Memo", [&](const Value& v) { game.ResultMemo(TextOf(v)); });

  bool rolls_whole = true;
  for (int i = 0; i < 21; ++i) {
    int c = ColumnIndex(def, RollColumnNames()[static_cast<std::size_t>(i)]);
    if (c < 0) continue;
    auto at = static_cast<std::size_t>(c);
    if (failed[at]) {
      rolls_whole = false;
      continue;
    }
    std::string stored = TextOf(row[at]);
    try {
      game.Roll(i, stored);
      if (game.Roll(i) != stored) {
        rolls_whole = false;
        findings.push_back({at, "この位置のロールの記号ではありません", std::nullopt});
      }
    } catch (const AppError& error) {
      rolls_whole = false;
      findings.push_back({at, error.Description(), std::nullopt});
    }
  }
  // Scores are compared only when every roll was taken; a row left out needs no scores.
  if (!rolls_whole) return;
  static const char* const kScores[10] = {
      "FirstFrameScore", "SecondFrameScore", "ThirdFrameScore",   "FourthFrameScore",
      "FifthFrameScore", "SixthFrameScore",  "SeventhFrameScore", "EighthFrameScore",
      "NinthFrameScore", "TenthFrameScore"};
  for (int k = 0; k < 10; ++k) {
    int c = ColumnIndex(def, kScores[k]);
    if (c < 0 || !present[static_cast<std::size_t>(c)]) continue;
    auto at = static_cast<std::size_t>(c);
    std::string want = game.FrameScore(k + 1);
    if (!failed[at] && TextOf(row[at]) == want) continue;
    Value computed = want.empty() ? Value("") : Value(static_cast<long long>(std::stoi(want)));
    if (failed[at]) {
      // Already listed for its type; it becomes the computed score rather than nothing.
      for (Finding& f : findings)
        if (f.column == at) f.replacement = computed;
      continue;
    }
    findings.push_back(
        {at, "ロールから計算した値「" + (want.empty() ? "（空）" : want) + "」と違います",
         computed});
  }
}

}  // namespace

RowCheck CheckImportedRow(const TableDef& def, std::vector<Value>& row,
                          const std::vector<bool>& present, Database& db) {
  std::vector<Finding> findings;
  std::vector<bool> failed(def.columns.size(), false);
  for (std::size_t c = 0; c < def.columns.size(); ++c) {
    if (!present[c]) continue;
    if (std::optional<std::string> why = TypeProblem(def, def.columns[c], row[c])) {
      findings.push_back({c, *why, std::nullopt});
      failed[c] = true;
    }
  }
  if (std::string_view(def.name) == "Result_Data")
    CheckGame(def, row, present, failed, db, findings);

  RowCheck check;
  for (const Finding& f : findings)
    if (IsKeyColumn(def.name, def.columns[f.column].name)) check.leave_out = true;
  if (findings.empty()) return check;
  const std::string key = RowKey(def, row);
  for (const Finding& f : findings) {
    const char* column = def.columns[f.column].name;
    std::string what;
    if (check.leave_out)
      what = "行を除きました";
    else if (f.replacement)
      what = "「" +
             (f.replacement->Text().empty() ? std::string("（空）") : f.replacement->Text()) +
             "」にしました";
    else
      what = "空にしました";
    check.notes.push_back("正しくない値：" + std::string(def.name) + " " + key + "：" + column +
                          "「" + Shown(row[f.column]) + "」" + f.why + "（" + what + "）");
  }
  if (!check.leave_out) {
    for (const Finding& f : findings) row[f.column] = f.replacement ? *f.replacement : Value();
  }
  return check;
}

}  // namespace lanereport
