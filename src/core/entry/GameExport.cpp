#include "entry/GameExport.h"

#include "entry/GameCsv.h"
#include "scoring/clsResult_Data.h"
#include "scoring/clsResult_List.h"
#include "util/DateText.h"

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

GameExportResult ExportGames(Database& db, std::string_view condition) {
  clsResult_List list(db);
  std::string where = condition.empty() ? std::string("1 = 1") : "(" + std::string(condition) + ")";
  list.SelectRecord(where + " Order By EntryNumber", -1);
  GameExportResult result;
  const auto& names = GameCsvColumns();
  result.text = CsvLine(std::vector<std::string>(names.begin(), names.end()));
  for (const clsResult_Data& game : list) {
    result.text += CsvLine(GameCsvFields(game));
    ++result.games;
  }
  return result;
}

}  // namespace lanereport
