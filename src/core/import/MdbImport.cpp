#include "import/MdbImport.h"

#include <memory>
#include <optional>

#include "database/Database.h"
#include "database/Schema.h"
#include "import/ImportChecks.h"
#include "import/ImportRecord.h"
#include "import/JetHeader.h"
#include "import/JetReader.h"
#include "import/JetText.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr const char* kSource = "ImportMdb";

// The tables without which the program cannot open a score database.
bool IsRequiredTable(std::string_view name) {
  for (const char* t : {"Bowler_Data", "Alley_Data", "Level_Data", "Result_Data"})
    if (name == t) return true;
  return false;
}

bool IsFrameScore(std::string_view table, std::string_view column) {
  return table == "Result_Data" && column.size() > 10 &&
         column.substr(column.size() - 10) == "FrameScore";
}

// The value as the column of the program keeps it. Text columns get numbers as text (reals
// in their shortest exact form); the frame scores keep an undetermined score undetermined:
// null or blank becomes the empty text the program writes for it, a number or a text of digits
// a number.
Value ForColumn(const Value& value, const ColumnDef& target, bool frame_score) {
  if (frame_score) {
    if (value.IsNull()) return Value("");
    if (const std::string* text = value.TextIf()) {
      if (Trim(*text).empty()) return Value("");
      if (auto number = ParseInteger(*text)) return Value(*number);
    }
    return value;
  }
  if (target.type == ColumnType::Text) {
    if (const double* d = value.DoubleIf()) return Value(RealText(*d));
  }
  return value;
}

std::string Count(std::size_t n) {
  return std::to_string(n) + " 件";
}

void NoteColumn(const std::string& table, const JetColumn& column, ImportReport& report) {
  std::string name = table + "." + column.name;
  if (column.dropped)
    report.notes.push_back(name + "：取り込めない値（バイナリ・数値でない実数）を空にした値 " +
                           Count(column.dropped));
  if (column.dates_as_number)
    report.notes.push_back(name + "：日付にならない値を数値のまま取り込んだ値 " +
                           Count(column.dates_as_number));
}

}  // namespace

void CheckJetPassword(const std::string& mdb_path, const ImportOptions& options) {
  JetHeader header = ReadJetHeader(mdb_path);
  if (options.password && *options.password != header.password)
    throw AppError(kErrInvalidValue, kSource, "パスワードが違います：" + mdb_path);
}

void WriteScoreTable(const TableDef& def, const JetTable* jet, Database& db, ImportReport& report) {
  CreateTable(db, def);
  if (!jet) {
    report.notes.push_back(std::string("テーブルがありません：") + def.name +
                           "（空のまま作りました）");
    report.rows.emplace_back(def.name, 0);
    return;
  }
  const JetTable& table = *jet;
  // For each column of the program, the Jet column of the same name (letter case ignored).
  std::vector<int> source(def.columns.size(), -1);
  std::vector<bool> used(table.columns.size(), false);
  for (std::size_t c = 0; c < def.columns.size(); ++c) {
    for (std::size_t j = 0; j < table.columns.size(); ++j) {
      if (!used[j] && EqualsIgnoreCase(table.columns[j].name, def.columns[c].name)) {
        source[c] = static_cast<int>(j);
        used[j] = true;
        break;
      }
    }
    if (source[c] < 0)
      report.notes.push_back(std::string("列がありません：") + def.name + "." +
                             def.columns[c].name + "（空のままです）");
  }
  for (std::size_t j = 0; j < table.columns.size(); ++j) {
    if (!used[j])
      report.notes.push_back("取り込まなかった列：" + table.name + "." + table.columns[j].name +
                             "（このプログラムの列ではありません）");
  }

  std::string sql = "INSERT INTO \"" + std::string(def.name) + "\" (";
  std::string marks;
  std::vector<bool> present(def.columns.size(), false);
  for (std::size_t c = 0; c < def.columns.size(); ++c) {
    if (source[c] < 0) continue;
    present[c] = true;
    sql += (marks.empty() ? "\"" : ", \"") + std::string(def.columns[c].name) + "\"";
    marks += marks.empty() ? "?" : ", ?";
  }
  sql += ") VALUES (" + marks + ")";
  if (marks.empty()) sql = "INSERT INTO \"" + std::string(def.name) + "\" DEFAULT VALUES";
  std::size_t written = 0;
  std::vector<Value> full(def.columns.size());
  std::vector<Value> values;
  for (const std::vector<Value>& row : table.rows) {
    for (std::size_t c = 0; c < def.columns.size(); ++c)
      full[c] = source[c] < 0 ? Value()
                              : ForColumn(row[static_cast<std::size_t>(source[c])], def.columns[c],
                                          IsFrameScore(def.name, def.columns[c].name));
    RowCheck check = CheckImportedRow(def, full, present, db);
    ++report.rows_checked;
    if (!check.notes.empty()) {
      ++report.rows_failed;
      report.values_failed += check.notes.size();
      for (std::string& note : check.notes) report.notes.push_back(std::move(note));
    }
    if (check.leave_out) continue;
    values.clear();
    for (std::size_t c = 0; c < def.columns.size(); ++c)
      if (present[c]) values.push_back(full[c]);
    db.Write(sql, values);
    ++written;
  }
  report.rows.emplace_back(def.name, written);
  for (std::size_t j = 0; j < table.columns.size(); ++j)
    if (used[j]) NoteColumn(def.name, table.columns[j], report);
}

std::vector<std::string> MatchScoreTables(const std::vector<std::string>& jet_tables,
                                          const std::string& path, ImportReport& report) {
  std::vector<std::string> found(ScoreTables().size());
  std::vector<bool> used(jet_tables.size(), false);
  std::string missing;
  for (std::size_t t = 0; t < ScoreTables().size(); ++t) {
    for (std::size_t j = 0; j < jet_tables.size(); ++j) {
      if (!used[j] && EqualsIgnoreCase(jet_tables[j], ScoreTables()[t].name)) {
        found[t] = jet_tables[j];
        used[j] = true;
        break;
      }
    }
    if (found[t].empty() && IsRequiredTable(ScoreTables()[t].name))
      missing += (missing.empty() ? "" : "、") + std::string(ScoreTables()[t].name);
  }
  if (!missing.empty())
    throw AppError(
        kErrInvalidValue, kSource,
        path + " はスコアデータベースではありません（テーブル " + missing + " がありません）");
  for (std::size_t j = 0; j < jet_tables.size(); ++j) {
    if (!used[j])
      report.notes.push_back("取り込まなかったテーブル：" + jet_tables[j] +
                             "（このプログラムのテーブルではありません）");
  }
  return found;
}

ImportReport ImportMdbHere(const std::string& mdb_path, const std::string& target,
                           const ImportOptions& options) {
  CheckJetPassword(mdb_path, options);
  // Taken before the reading: a file changed while it is read differs from its record.
  SourceStamp source = StampOf(mdb_path);
  JetReader reader(mdb_path, options.jet3_code_page);
  ImportReport report;
  report.jet_version = reader.Header().version;
  report.text_encoding = reader.TextEncoding();
  report.header_code_page = reader.Header().code_page;
  std::vector<std::string> found = MatchScoreTables(reader.TableNames(), mdb_path, report);
  // Everything is read before the target is made, so a damaged table leaves no file.
  std::vector<std::optional<JetTable>> tables(found.size());
  for (std::size_t t = 0; t < found.size(); ++t)
    if (!found[t].empty()) tables[t] = reader.ReadTable(found[t]);

  std::unique_ptr<Database> db = Database::Create(target);
  db->BeginTrans();
  for (std::size_t t = 0; t < found.size(); ++t)
    WriteScoreTable(ScoreTables()[t], tables[t] ? &*tables[t] : nullptr, *db, report);
  // Most rows wrong is no score database but damage the reader could not see.
  if (report.rows_failed * 2 > report.rows_checked)
    throw AppError(kErrInvalidValue, kSource,
                   mdb_path + " は壊れているため読み込めません（" +
                       std::to_string(report.rows_checked) + " 行のうち " +
                       std::to_string(report.rows_failed) + " 行に正しくない値があります）");
  WriteImportRecord(*db, source);
  db->CommitTrans();
  return report;
}

}  // namespace lanereport
