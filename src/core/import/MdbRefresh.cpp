#include "import/MdbRefresh.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <random>

#include "database/Database.h"
#include "database/Schema.h"
#include "import/ImportRecord.h"
#include "import/IsolatedImport.h"
#include "ui/ProgressWindow.h"
#include "util/AppError.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr const char* kSource = "RefreshMdb";

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

std::string TempBeside(const std::string& path, const char* what) {
  std::random_device random;
  char suffix[48];
  std::snprintf(suffix, sizeof suffix, ".%s-%d-%08x", what, static_cast<int>(::getpid()),
                static_cast<unsigned>(random()));
  std::filesystem::path p(path);
  std::filesystem::path folder = p.parent_path();
  std::string name = "." + p.filename().string() + suffix;
  return folder.empty() ? name : (folder / name).string();
}

// The temporary files of one refresh, removed when it goes unless the refresh put them in
// place.
struct TempFiles {
  std::vector<std::string> paths;
  ~TempFiles() {
    for (const std::string& path : paths)
      for (const char* side : {"", "-journal", "-wal", "-shm"}) std::remove((path + side).c_str());
  }
};

// Size and modification time: whether another program wrote the file meanwhile.
std::pair<long long, long long> FileState(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {-1, -1};
  return {static_cast<long long>(st.st_size),
          static_cast<long long>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// The counter of the sheet definitions: S_OUTPUT is the program's own and stays, so does the
// counter its IDs come from (the .mdb's would hand out IDs of sheets made since the import).
constexpr const char* kSheetsCounter = "Sheets";

bool IsProgramsCounter(std::string_view table, std::string_view data_id) {
  return table == "DataNumberControl" && EqualsIgnoreCase(Trim(data_id), kSheetsCounter);
}

std::string IdentityColumn(const std::string& table) {
  if (table == "Result_Data") return "EntryNumber";
  if (table == "DataNumberControl") return "DataID";
  return "ID";
}

// Every row of a table by its identity (a second row of the same identity gets "#2" and so on),
// each as the values of the program's columns.
std::map<std::string, std::vector<Value>> RowsByIdentity(Database& db, const TableDef& def) {
  std::map<std::string, std::vector<Value>> rows;
  const std::string identity = IdentityColumn(def.name);
  db.ReadRows(std::string("Select * From ") + def.name, [&](const RowView& row) {
    std::vector<Value> values(def.columns.size());
    std::string key;
    for (int i = 0; i < row.ColumnCount(); ++i) {
      for (std::size_t c = 0; c < def.columns.size(); ++c) {
        if (EqualsIgnoreCase(row.ColumnName(i), def.columns[c].name)) {
          values[c] = row.At(i);
          if (identity == def.columns[c].name) key = values[c].IsNull() ? "" : values[c].Text();
        }
      }
    }
    if (IsProgramsCounter(def.name, key)) return;
    std::string unique = key;
    for (int n = 2; rows.count(unique); ++n) unique = key + "#" + std::to_string(n);
    rows.emplace(std::move(unique), std::move(values));
  });
  return rows;
}

std::string TextAt(const TableDef& def, const std::vector<Value>& row, std::string_view column) {
  for (std::size_t c = 0; c < def.columns.size(); ++c)
    if (def.columns[c].name == column)
      return row[c].IsNull() ? "" : std::string(Trim(row[c].Text()));
  return "";
}

std::string DateShown(std::string ymd) {
  if (ymd.size() == 8 && ymd.find_first_not_of("0123456789") == std::string::npos)
    return ymd.substr(0, 4) + "/" + ymd.substr(4, 2) + "/" + ymd.substr(6, 2);
  return ymd;
}

// Compares the rows of a table before and after; games are also counted by bowler and date.
TableChanges Compare(const TableDef& def, Database& before_db, Database& after_db,
                     std::map<std::pair<std::string, std::string>, GameChanges>* games) {
  auto before = RowsByIdentity(before_db, def);
  auto after = RowsByIdentity(after_db, def);
  TableChanges changes;
  changes.table = def.name;
  auto game = [&](const std::vector<Value>& row) -> GameChanges& {
    std::string date = DateShown(TextAt(def, row, "Play_Date"));
    std::string bowler = TextAt(def, row, "Bowler_Name");
    GameChanges& g = (*games)[{date, bowler}];
    g.bowler = bowler;
    g.date = date;
    return g;
  };
  for (const auto& [key, row] : after) {
    auto old = before.find(key);
    if (old == before.end()) {
      ++changes.added;
      if (games) ++game(row).added;
    } else if (old->second != row) {
      ++changes.changed;
      if (games) ++game(row).changed;
    }
  }
  for (const auto& [key, row] : before) {
    if (after.count(key)) continue;
    ++changes.removed;
    if (games) ++game(row).removed;
  }
  return changes;
}

// What the progress window calls a table of the suite.
std::string ShownName(const std::string& table) {
  if (table == "Bowler_Data") return "ボウラー";
  if (table == "Alley_Data") return "ボウリング場";
  if (table == "Level_Data") return "レベル";
  if (table == "Result_Data") return "ゲーム";
  if (table == "DataNumberControl") return "番号";
  return table;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

void SyncFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

const std::vector<std::string>& RefreshedTables() {
  static const std::vector<std::string> tables = {"Bowler_Data", "Alley_Data", "Level_Data",
                                                  "Result_Data", "DataNumberControl"};
  return tables;
}

std::optional<RefreshReport> RefreshFromMdb(const std::string& mdb_path, const std::string& db_path,
                                            const ImportOptions& options,
                                            ProgressWindow& progress) {
  struct stat st {};
  if (::stat(db_path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    throw AppError(kErrFile, kSource, "データベースがありません：" + db_path);
  for (const char* side : {"-journal", "-wal"}) {
    if (Exists(db_path + side))
      throw AppError(kErrFile, kSource,
                     "他のプログラムがデータベースに書き込んでいるため更新できません：" + db_path);
  }
  const auto state = FileState(db_path);
  const int steps = 4 + static_cast<int>(RefreshedTables().size());
  progress.Message1(GetFileName(db_path) + " を " + GetFileName(mdb_path) + " の内容にしています");
  progress.StartProgress(1, steps);

  TempFiles temps;
  const std::string fresh_path = TempBeside(db_path, "fresh");
  const std::string copy_path = TempBeside(db_path, "refresh");
  temps.paths = {fresh_path, copy_path};

  // 1. The .mdb, imported and checked as a new database.
  progress.Message2(GetFileName(mdb_path) + " を読み込んでいます");
  std::exception_ptr failure;
  std::optional<ImportReport> imported = ImportMdb(mdb_path, fresh_path, options, [&] {
    if (failure) return true;
    try {
      progress.CountProgress(1, 0);  // lets the window take STOP while the child reads
    } catch (...) {
      failure = std::current_exception();
      return true;
    }
    return progress.StopFlag();
  });
  if (failure) std::rethrow_exception(failure);
  if (!imported || progress.StopFlag()) return std::nullopt;
  progress.CountProgress(1, 1);
  if (progress.StopFlag()) return std::nullopt;

  // 2. The copy the refresh works on.
  progress.Message2(GetFileName(db_path) + " を写しています");
  std::error_code error;
  if (!std::filesystem::copy_file(db_path, copy_path, error))
    throw AppError(kErrFile, kSource,
                   "データベースを写せません：" + db_path + "（" + error.message() + "）");
  progress.CountProgress(1, 1);
  if (progress.StopFlag()) return std::nullopt;

  RefreshReport report;
  report.import = std::move(*imported);
  std::optional<SourceStamp> stamp;
  {
    std::unique_ptr<Database> fresh = Database::Open(fresh_path);
    std::unique_ptr<Database> db;
    std::string quick;
    try {
      db = Database::Open(copy_path);
      quick = db->QuickCheck();
    } catch (const AppError&) {
      // The copy's name means nothing to the user: the .db itself is no database.
      throw AppError(kErrInvalidValue, kSource, db_path + " はスコアデータベースとして開けません");
    }
    stamp = ReadImportRecord(*fresh);
    if (!quick.empty())
      throw AppError(kErrInvalidValue, kSource,
                     db_path + " は壊れているため更新できません（" + quick + "）");
    db->ExecuteNative("ATTACH DATABASE " + Quoted(fresh_path) + " AS fresh");
    std::map<std::pair<std::string, std::string>, GameChanges> games;
    db->BeginTrans();
    try {
      // 3. Each table of the suite, compared and replaced.
      for (const std::string& name : RefreshedTables()) {
        const TableDef& def = ScoreTable(name);
        progress.Message2(ShownName(name) + "を入れ替えています");
        if (!db->HasTable(name)) CreateTable(*db, def);
        report.tables.push_back(
            Compare(def, *db, *fresh, name == "Result_Data" ? &games : nullptr));
        std::string columns;
        for (const ColumnDef& c : def.columns)
          columns += (columns.empty() ? "\"" : ", \"") + std::string(c.name) + "\"";
        const std::string table = "\"" + name + "\"";
        if (name == "DataNumberControl") {
          const std::string sheets =
              std::string("coalesce(trim(DataID), '') = '") + kSheetsCounter + "' COLLATE NOCASE";
          db->ExecuteNative("DELETE FROM main." + table + " WHERE NOT (" + sheets + ")");
          db->ExecuteNative("INSERT INTO main." + table + " (" + columns + ") SELECT " + columns +
                            " FROM fresh." + table + " WHERE NOT (" + sheets +
                            ") OR NOT EXISTS (SELECT 1 FROM main." + table + " WHERE " + sheets +
                            ")");
        } else {
          db->ExecuteNative("DELETE FROM main." + table);
          db->ExecuteNative("INSERT INTO main." + table + " (" + columns + ") SELECT " + columns +
                            " FROM fresh." + table);
        }
        progress.CountProgress(1, 1);
        if (progress.StopFlag()) {
          db->Rollback();
          return std::nullopt;
        }
      }
      // 4. The record of the new source.
      if (stamp) WriteImportRecord(*db, *stamp);
      db->CommitTrans();
    } catch (...) {
      try {
        db->Rollback();
      } catch (const AppError&) {
      }
      throw;
    }
    db->ExecuteNative("DETACH DATABASE fresh");
    for (auto& [key, g] : games) report.games.push_back(std::move(g));
  }
  progress.CountProgress(1, 1);
  if (progress.StopFlag()) return std::nullopt;

  // 5. The copy in place of the database, unless another program wrote it meanwhile.
  progress.Message2(GetFileName(db_path) + " を置き換えています");
  SyncFile(copy_path);
  if (FileState(db_path) != state)
    throw AppError(
        kErrFile, kSource,
        "更新の間に他のプログラムがデータベースを変えたため更新しませんでした：" + db_path);
  progress.CountProgress(1, 1);
  if (progress.StopFlag()) return std::nullopt;
  if (std::rename(copy_path.c_str(), db_path.c_str()) != 0)
    throw AppError(kErrFile, kSource, "データベースを置き換えられません：" + db_path);
  std::filesystem::path folder = std::filesystem::path(db_path).parent_path();
  SyncFile(folder.empty() ? "." : folder.string());
  return report;
}

}  // namespace lanereport
