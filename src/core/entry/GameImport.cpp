#include "entry/GameImport.h"

#include <algorithm>
#include <limits>
#include <map>
#include <optional>

#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "entry/GameCsv.h"
#include "entry/TypedGame.h"
#include "scoring/clsResult_Data.h"
#include "util/AppError.h"
#include "util/StringUtil.h"
#include "util/Utf8Text.h"
#include "util/VisibleText.h"

namespace lanereport {
namespace {

constexpr const char* kCrLf = "\r\n";

// Whether a bowler, centre or level of that name is in its master, each name looked up once.
class MasterNames {
 public:
  bool Has(int column, const clsResult_Data& game) {
    std::string name = column == kCsvBowler  ? game.BowlerName()
                       : column == kCsvAlley ? game.AlleyName()
                                             : game.LevelName();
    auto key = std::make_pair(column, name);
    auto found = known_.find(key);
    if (found != known_.end()) return found->second;
    bool has = true;
    try {
      if (column == kCsvBowler) game.Bowler_Data();
      if (column == kCsvAlley) game.Alley_Data();
      if (column == kCsvLevel) game.Level_Data();
    } catch (const AppError& e) {
      if (e.Number() != kErrNoData) throw;
      has = false;
    }
    known_.emplace(key, has);
    return has;
  }

 private:
  std::map<std::pair<int, std::string>, bool> known_;
};

// True when the database holds a game of the key of game, found as Add finds it.
bool KeyStored(Database& db, const clsResult_Data& game) {
  std::string sql;
  for (const std::string& line :
       {std::string(" Select "), std::string("       EntryNumber "), std::string(" From "),
        std::string("       Result_Data "), std::string(" Where "),
        "       Bowler_Name = " + SqlQuote(game.BowlerName()),
        "   And Alley_Name = " + SqlQuote(game.AlleyName()),
        "   And Level_Name = " + SqlQuote(game.LevelName()),
        "   And Play_Date = " + SqlQuote(game.PlayDate()),
        "   And Game_Number = " + std::to_string(game.GameNumber())}) {
    sql += line + kCrLf;
  }
  return !db.OpenRecordset(sql)->Eof();
}

// The lines with a refusal; the refusals are in line order.
void CountRefusedLines(GameImportResult& result) {
  long last_line = 0;
  for (const ImportRefusal& r : result.refusals) {
    if (r.line != last_line) ++result.refused_lines;
    last_line = r.line;
  }
}

std::string Shown(std::string_view text) {
  std::string shown = VisibleText(text);
  if (DisplayColumns(shown) <= 40) return shown;
  return FitColumns(shown, 38) + "…";
}

}  // namespace

GameImportResult ImportGames(Database& db, std::string_view bytes, bool dry_run) {
  GameImportResult result;
  CsvText csv = ReadCsvText(bytes);
  result.encoding = csv.encoding;
  result.delimiter = csv.delimiter;
  auto refuse_line = [&result](long line, std::string message) {
    result.refusals.push_back({line, "", std::move(message), "", false});
  };
  const auto& names = GameCsvColumns();

  // The header: every column once, in any order, named in any letter case.
  if (csv.records.empty()) {
    for (const CsvProblem& p : csv.problems) refuse_line(p.line, p.message);
    if (csv.problems.empty()) refuse_line(1, "ファイルが空です");
    CountRefusedLines(result);
    return result;
  }
  const CsvRecord& header = csv.records.front();
  for (const CsvProblem& p : csv.problems) {
    if (p.line < header.line) refuse_line(p.line, p.message);
  }
  std::vector<int> position(kGameCsvColumnCount, -1);  // the field of each column
  bool header_ok = true;
  for (std::size_t f = 0; f < header.fields.size(); ++f) {
    std::string_view name = Trim(header.fields[f]);
    int column = -1;
    for (int c = 0; c < kGameCsvColumnCount; ++c) {
      if (EqualsIgnoreCase(name, names[c])) column = c;
    }
    if (column < 0) {
      result.refusals.push_back({header.line, "", "不明な列です", std::string(name), true});
      header_ok = false;
    } else if (position[column] >= 0) {
      result.refusals.push_back({header.line, names[column], "同じ列が二つあります", "", false});
      header_ok = false;
    } else {
      position[column] = static_cast<int>(f);
    }
  }
  for (int c = 0; c < kGameCsvColumnCount; ++c) {
    if (position[c] < 0) {
      result.refusals.push_back({header.line, names[c], "列がありません", "", false});
      header_ok = false;
    }
  }
  if (!header_ok) {
    CountRefusedLines(result);
    return result;
  }

  // Every line, each refusal kept; problems of the file's form in their place among them.
  MasterNames masters;
  std::map<std::string, long> keys_in_file;  // key -> line
  std::vector<clsResult_Data> games;
  std::size_t problem = 0;
  auto problems_before = [&](long line) {
    for (; problem < csv.problems.size() && csv.problems[problem].line < line; ++problem) {
      if (csv.problems[problem].line > header.line)
        refuse_line(csv.problems[problem].line, csv.problems[problem].message);
    }
  };
  for (std::size_t r = 1; r < csv.records.size(); ++r) {
    const CsvRecord& record = csv.records[r];
    problems_before(record.line);
    ++result.games;
    if (record.fields.size() != header.fields.size()) {
      refuse_line(record.line, "列の数が見出しと違います（見出しは " +
                                   std::to_string(header.fields.size()) + " 列、この行は " +
                                   std::to_string(record.fields.size()) + " 列）");
      continue;
    }
    TypedGameFields fields;
    for (int c = 0; c < kGameCsvColumnCount; ++c) fields[c] = record.fields[position[c]];
    TypedGame typed = EnterTypedGame(db, fields);
    for (const FieldRefusal& f : typed.refusals)
      result.refusals.push_back({record.line, names[f.column], f.message, f.value, true});
    if (!typed.game) continue;
    const clsResult_Data& game = *typed.game;
    static constexpr std::pair<int, const char*> kMasters[] = {
        {kCsvBowler, "ボウラーが登録されていません"},
        {kCsvAlley, "センターが登録されていません"},
        {kCsvLevel, "レベルが登録されていません"}};
    bool known = true;
    for (const auto& [column, message] : kMasters) {
      if (!masters.Has(column, game)) {
        result.refusals.push_back({record.line, names[column], message, fields[column], true});
        std::pair<int, std::string> missing(column, std::string(Trim(fields[column])));
        if (std::find(result.missing_masters.begin(), result.missing_masters.end(), missing) ==
            result.missing_masters.end())
          result.missing_masters.push_back(std::move(missing));
        known = false;
      }
    }
    if (!known) continue;
    std::string key = JoinedKey({game.BowlerName(), game.AlleyName(), game.LevelName(),
                                 game.PlayDate(), std::to_string(game.GameNumber())});
    auto [earlier, fresh] = keys_in_file.emplace(key, record.line);
    if (!fresh) {
      refuse_line(record.line,
                  "同じゲームが " + std::to_string(earlier->second) + " 行目にあります");
      continue;
    }
    if (KeyStored(db, game)) {
      refuse_line(record.line, "該当するﾃﾞｰﾀが存在します、追加出来ません");
      continue;
    }
    games.push_back(game);
  }
  problems_before(std::numeric_limits<long>::max());
  if (result.games == 0 && result.refusals.empty())
    refuse_line(header.line, "取り込むゲームがありません");
  CountRefusedLines(result);
  if (!result.refusals.empty() || dry_run) return result;

  db.BeginTrans();
  try {
    for (clsResult_Data& game : games) {
      game.Add();
      // A counter that could not count gives 0, which no game may keep.
      if (game.Entrynumber() <= 0)
        throw AppError(kErrEngine, "[ImportGames]", "ゲームの番号を割り当てられませんでした");
    }
    db.CommitTrans();
  } catch (...) {
    db.Rollback();
    throw;
  }
  result.written = static_cast<long>(games.size());
  return result;
}

std::string RefusalText(const ImportRefusal& refusal) {
  std::string text = std::to_string(refusal.line) + " 行目";
  if (!refusal.column.empty()) text += " " + refusal.column;
  text += "：" + refusal.message;
  if (refusal.has_value) text += "（値「" + Shown(refusal.value) + "」）";
  return text;
}

}  // namespace lanereport
