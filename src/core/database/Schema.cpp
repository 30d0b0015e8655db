#include "database/Schema.h"

#include "database/Database.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr ColumnType L = ColumnType::Long;
constexpr ColumnType T = ColumnType::Text;
constexpr ColumnType B = ColumnType::YesNo;

std::vector<TableDef> MakeTables() {
  std::vector<TableDef> tables;
  tables.push_back(
      {"Bowler_Data", {{"ID", L},          {"Name", T},      {"AName", T},      {"Sex", B},
                       {"Password", T},    {"RankA", T},     {"RankB", T},      {"Birth", T},
                       {"Height", T},      {"Weight", T},    {"Arm", T},        {"Ball", T},
                       {"Wrist", T},       {"Shoes", T},     {"Bag", T},        {"Maxim", T},
                       {"MailAddress", T}, {"Photo", T},     {"Number", L},     {"Experience", L},
                       {"Total30", L},     {"HighGame", L},  {"Title", L},      {"Power", L},
                       {"Hit", L},         {"Defense", L},   {"Evasion", L},    {"Magic", L},
                       {"Effect", L},      {"LastPower", L}, {"LastHit", L},    {"LastDefense", L},
                       {"LastEvasion", L}, {"LastMagic", L}, {"LastEffect", L}, {"PathChar", T},
                       {"PathStyle", T},   {"PathBack", T}}});
  tables.push_back({"Alley_Data",
                    {{"ID", L},
                     {"Number", L},
                     {"Name", T},
                     {"Address", T},
                     {"Telephone", T},
                     {"URL", T},
                     {"Home_Flag", B}}});
  tables.push_back(
      {"Level_Data",
       {{"ID", L}, {"Number", L}, {"Name", T}, {"FColor", T}, {"CalculationTarget", B}}});

  TableDef result{"Result_Data",
                  {{"EntryNumber", L},
                   {"Bowler_Name", T},
                   {"Alley_Name", T},
                   {"Level_Name", T},
                   {"Play_Date", T},
                   {"Game_Number", L}}};
  for (const char* c : RollColumnNames()) result.columns.push_back({c, T});
  static const char* const kScoreColumns[] = {
      "FirstFrameScore", "SecondFrameScore", "ThirdFrameScore",   "FourthFrameScore",
      "FifthFrameScore", "SixthFrameScore",  "SeventhFrameScore", "EighthFrameScore",
      "NinthFrameScore", "TenthFrameScore"};
  for (const char* c : kScoreColumns) result.columns.push_back({c, L});
  result.columns.push_back({"Result_Memo", T});
  result.columns.push_back({"PlayNumber", L});
  result.columns.push_back({"Handicap", L});
  tables.push_back(std::move(result));

  tables.push_back({"DataNumberControl", {{"DataID", T}, {"DataNumber", L}}});
  tables.push_back({"S_SYSTEM", {{"SS_ID", T}, {"SS_Contents", T}}});

  TableDef output{"S_OUTPUT",
                  {{"ID", L},
                   {"SheetName", T},
                   {"AlleyName", T},
                   {"LevelName", T},
                   {"Condition", B},
                   {"Start_Date", T},
                   {"End_Date", T},
                   {"PastCount", L}}};
  static const char* const kSwitches[] = {
      "Sex",           "Title",       "RankA",        "RankB",
      "Maxim",         "Height",      "Weight",       "Arm",
      "Mailaddress",   "Ball",        "Wrist",        "Shoes",
      "Bag",           "TotalScore",  "GameCount",    "ScoreDistribution",
      "HighScore",     "LowScore",    "HighSeries",   "LowSeries",
      "AllStrikeRate", "AllSideRate", "AllSpareRate", "AllOpenRate",
      "AllGutterRate", "AllFoulRate", "AllSplitRate", "AllMakeRate",
      "StrikeRate",    "SideRate",    "SpareRate",    "OpenRate",
      "GutterRate",    "FoulRate",    "SplitRate",    "MakeRate",
      "TotalAvg",      "MonthAvg"};
  for (const char* c : kSwitches) output.columns.push_back({c, B});
  tables.push_back(std::move(output));
  return tables;
}

// Indexes for the lookups the program makes: names, keys, a bowler's games by date.
const char* const kIndexes[] = {
    "CREATE INDEX IF NOT EXISTS Bowler_Data_Name ON Bowler_Data (Name)",
    "CREATE INDEX IF NOT EXISTS Alley_Data_Name ON Alley_Data (Name)",
    "CREATE INDEX IF NOT EXISTS Level_Data_Name ON Level_Data (Name)",
    "CREATE INDEX IF NOT EXISTS Result_Data_Bowler_Date ON Result_Data (Bowler_Name, Play_Date)",
    "CREATE INDEX IF NOT EXISTS Result_Data_Date ON Result_Data (Play_Date)",
    "CREATE INDEX IF NOT EXISTS Result_Data_EntryNumber ON Result_Data (EntryNumber)",
    "CREATE INDEX IF NOT EXISTS DataNumberControl_DataID ON DataNumberControl (DataID)",
    "CREATE INDEX IF NOT EXISTS S_SYSTEM_SS_ID ON S_SYSTEM (SS_ID)",
    "CREATE INDEX IF NOT EXISTS S_OUTPUT_SheetName ON S_OUTPUT (SheetName)",
};

}  // namespace

const std::array<const char*, 21>& RollColumnNames() {
  static const std::array<const char*, 21> names = {
      "FirstFrame1",  "FirstFrame2",  "SecondFrame1",  "SecondFrame2",  "ThirdFrame1",
      "ThirdFrame2",  "FourthFrame1", "FourthFrame2",  "FifthFrame1",   "FifthFrame2",
      "SixthFrame1",  "SixthFrame2",  "SeventhFrame1", "SeventhFrame2", "EighthFrame1",
      "EighthFrame2", "NinthFrame1",  "NinthFrame2",   "TenthFrame1",   "TenthFrame2",
      "TenthFrame3"};
  return names;
}

const std::vector<TableDef>& ScoreTables() {
  static const std::vector<TableDef> tables = MakeTables();
  return tables;
}

const TableDef& ScoreTable(std::string_view name) {
  for (const TableDef& t : ScoreTables()) {
    if (EqualsIgnoreCase(t.name, name)) return t;
  }
  throw AppError(kErrEngine, "Schema", "テーブルがありません：" + std::string(name));
}

void CreateTable(Database& db, const TableDef& table) {
  std::string sql = "CREATE TABLE IF NOT EXISTS \"" + std::string(table.name) + "\" (";
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const ColumnDef& c = table.columns[i];
    sql += (i ? ", \"" : "\"") + std::string(c.name) + "\" ";
    switch (c.type) {
      case ColumnType::Long:
        sql += "INTEGER";
        break;
      case ColumnType::Text:
        sql += "TEXT COLLATE NOCASE";
        break;
      case ColumnType::YesNo:
        sql += "INTEGER DEFAULT 0";
        break;
    }
  }
  db.ExecuteNative(sql + ")");
  for (const char* index : kIndexes) {
    std::string_view text(index);
    if (text.find(" ON " + std::string(table.name) + " ") != std::string_view::npos)
      db.ExecuteNative(text);
  }
}

std::unique_ptr<Database> CreateScoreDatabase(const std::string& path) {
  std::unique_ptr<Database> db = Database::Create(path);
  try {
    db->BeginTrans();
    for (const TableDef& t : ScoreTables()) CreateTable(*db, t);
    db->CommitTrans();
  } catch (...) {
    db.reset();
    std::remove(path.c_str());
    throw;
  }
  return db;
}

}  // namespace lanereport
