#include "entry/GameExport.h"

#include "entry/GameCsv.h"
#include "entry/TypedGame.h"
#include "scoring/clsResult_Data.h"
#include "scoring/clsResult_List.h"
#include "util/DateText.h"
#include "util/Utf8Text.h"
#include "util/VisibleText.h"

namespace lanereport {

std::vector<std::string> GameCsvFields(const clsResult_Data& game) {
  std::vector<std::string> fields;
  fields.reserve(kGameCsvColumnCount);
  fields.push_back(game.BowlerName());
  fields.push_back(YmdToSlashed(game.PlayDate()));
  fields.push_back(game.AlleyName());
  fields.push_back(game.LevelName());
  fields.push_back(std::to_string(game.GameNumber()));
  for (int i = 0; i < 21; ++i) fields.push_back(game.Roll(i));
  fields.push_back(game.ResultMemo());
  fields.push_back(std::to_string(game.Handicap()));
  return fields;
}

namespace {

std::string Shown(std::string_view text) {
  std::string shown = VisibleText(text);
  if (DisplayColumns(shown) <= 40) return shown;
  return FitColumns(shown, 38) + "…";
}

// What the import would make of the fields of a stored game when it differs from them: the
// game, the first column that differs and why; empty when the game would come back as it is.
std::string NotAsStored(Database& db, const std::vector<std::string>& fields) {
  TypedGameFields typed_fields;
  for (int c = 0; c < kGameCsvColumnCount; ++c) typed_fields[c] = fields[c];
  TypedGame typed = EnterTypedGame(db, typed_fields);
  std::string game = Shown(fields[kCsvBowler]) + " " + fields[kCsvDate] + " " +
                     Shown(fields[kCsvAlley]) + " " + Shown(fields[kCsvLevel]) + " " +
                     fields[kCsvGameNumber];
  if (!typed.game) {
    const FieldRefusal& first = typed.refusals.front();
    return game + " " + GameCsvColumns()[first.column] + "：" + first.message + "（値「" +
           Shown(first.value) + "」）";
  }
  std::vector<std::string> again = GameCsvFields(*typed.game);
  for (int c = 0; c < kGameCsvColumnCount; ++c) {
    if (again[c] != fields[c])
      return game + " " + GameCsvColumns()[c] + "：「" + Shown(fields[c]) + "」は「" +
             Shown(again[c]) + "」になります";
  }
  return "";
}

}  // namespace

GameExportResult ExportGames(Database& db, std::string_view condition) {
  clsResult_List list(db);
  std::string where = condition.empty() ? std::string("1 = 1") : "(" + std::string(condition) + ")";
  list.SelectRecord(where + " Order By EntryNumber", -1);
  GameExportResult result;
  const auto& names = GameCsvColumns();
  result.text = CsvLine(std::vector<std::string>(names.begin(), names.end()));
  for (const clsResult_Data& game : list) {
    std::vector<std::string> fields = GameCsvFields(game);
    std::string note = NotAsStored(db, fields);
    if (!note.empty()) result.not_as_stored.push_back(std::move(note));
    result.text += CsvLine(fields);
    ++result.games;
  }
  return result;
}

}  // namespace lanereport
