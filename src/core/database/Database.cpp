#include "database/Database.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <mutex>
#include <thread>

#include "database/JetSql.h"
#include "database/Recordset.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

// The engine's failure, naming the database and the engine's reason; a database another program
// kept locked past the wait says so in words.
[[noreturn]] void RaiseEngineError(sqlite3* db, std::string_view what) {
  std::string message = db ? sqlite3_errmsg(db) : "database engine error";
  const char* file = db ? sqlite3_db_filename(db, "main") : nullptr;
  std::string where = file && *file ? std::string("（") + file + "）" : "";
  if (db && (sqlite3_errcode(db) == SQLITE_BUSY || sqlite3_errcode(db) == SQLITE_LOCKED)) {
    throw AppError(kErrEngine, "DBEngine",
                   "他のプログラムがデータベースを使用中のため読めません" + where + "：" + message);
  }
  throw AppError(kErrEngine, "DBEngine", std::string(what) + where + "：" + message);
}

// A prepared statement, finalized when it goes out of scope.
class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
        SQLITE_OK)
      RaiseEngineError(db, "SQLの実行に失敗しました");
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Steps once; true while a row is there.
  bool Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    RaiseEngineError(db_, "SQLの実行に失敗しました");
  }
  sqlite3_stmt* Get() const { return stmt_; }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

void Bind(sqlite3_stmt* stmt, int index, const Value& value) {
  if (auto i = value.IntegerIf())
    sqlite3_bind_int64(stmt, index, *i);
  else if (auto d = value.DoubleIf())
    sqlite3_bind_double(stmt, index, *d);
  else if (auto t = value.TextIf())
    sqlite3_bind_text(stmt, index, t->data(), static_cast<int>(t->size()), SQLITE_TRANSIENT);
  else
    sqlite3_bind_null(stmt, index);
}

[[noreturn]] void RaiseWriteError(const std::string& message) {
  throw AppError(kErrEngine, "Recordset", "更新に失敗しました：" + message);
}

constexpr std::size_t kKeptStatements = 64;

// A column of the row under the statement's cursor. The value is read through the engine's own
// handle on it, which costs fewer calls than the column getters (the connection is one
// thread's, so nothing is locked either way).
Value ColumnValue(sqlite3_stmt* stmt, int i) {
  sqlite3_value* value = sqlite3_column_value(stmt, i);
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      return Value(static_cast<long long>(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
      return Value(sqlite3_value_double(value));
    case SQLITE_NULL:
      return Value();
    default: {
      auto text = reinterpret_cast<const char*>(sqlite3_value_text(value));
      return Value(
          std::string(text ? text : "", static_cast<std::size_t>(sqlite3_value_bytes(value))));
    }
  }
}

std::mutex busy_mutex;
Database::BusyWait busy_wait;

constexpr std::chrono::milliseconds kBusyStep{100};

// Called by the engine while the database is locked: waits one step and tells whether to try
// again.
int OnBusy(void*, int count) {
  Database::BusyWait wait;
  {
    std::lock_guard<std::mutex> lock(busy_mutex);
    wait = busy_wait;
  }
  if (count * kBusyStep >= wait.limit) return 0;
  if (wait.waiting && !wait.waiting(count == 0)) return 0;
  std::this_thread::sleep_for(kBusyStep);
  return 1;
}

sqlite3* OpenHandle(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    std::string message = db ? sqlite3_errmsg(db) : "cannot open";
    sqlite3_close(db);
    throw AppError(kErrEngine, "DBEngine",
                   "データベースを開けません：" + path + "（" + message + "）");
  }
  sqlite3_busy_handler(db, OnBusy, nullptr);
  sqlite3_extended_result_codes(db, 1);
  return db;
}

}  // namespace

Database::BusyWait Database::SetBusyWait(BusyWait wait) {
  std::lock_guard<std::mutex> lock(busy_mutex);
  std::swap(busy_wait, wait);
  return wait;
}

Database::Database(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

Database::~Database() {
  for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
  sqlite3_close(db_);
}

std::unique_ptr<Database> Database::Open(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    throw AppError(kErrEngine, "DBEngine", "データベースが見つかりません：" + path);
  sqlite3* handle = OpenHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
  std::unique_ptr<Database> db(new Database(handle, path));
  // Reading the schema tells a database from any other file, and finds most damage.
  Statement check(handle, "SELECT count(*) FROM sqlite_master");
  check.Step();
  return db;
}

std::unique_ptr<Database> Database::Create(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0)
    throw AppError(kErrEngine, "DBEngine", "ファイルが既に存在します：" + path);
  sqlite3* handle =
      OpenHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
  return std::unique_ptr<Database>(new Database(handle, path));
}

std::unique_ptr<Recordset> Database::OpenRecordset(std::string_view sql) {
  auto [translated, parameters, table] = TranslateJetSelect(sql);
  if (!table.empty()) {
    // Whole rows of one table: read the row identity as well, so rows can be written back.
    auto star = translated.find('*');
    translated.replace(star, 1, "rowid AS lanereport_rowid, *");
  }
  const KeptUse use{*this, KeptSelect(translated, parameters)};
  sqlite3_stmt* stmt = use.stmt;
  // The first step comes before the columns are read: a kept statement is prepared again
  // there when the tables changed since, and only then tells the columns of today.
  int rc = sqlite3_step(stmt);
  int count = sqlite3_column_count(stmt);
  int first = table.empty() ? 0 : 1;
  std::vector<std::string> columns;
  for (int i = first; i < count; ++i) columns.emplace_back(sqlite3_column_name(stmt, i));
  std::vector<std::vector<Value>> rows;
  std::vector<std::int64_t> rowids;
  for (; rc == SQLITE_ROW; rc = sqlite3_step(stmt)) {
    std::vector<Value> row;
    row.reserve(count - first);
    for (int i = first; i < count; ++i) row.push_back(ColumnValue(stmt, i));
    rows.push_back(std::move(row));
    if (first) rowids.push_back(sqlite3_column_int64(stmt, 0));
  }
  if (rc != SQLITE_DONE) RaiseEngineError(db_, "SQLの実行に失敗しました");
  return std::make_unique<Recordset>(*this, table, std::move(columns), std::move(rows),
                                     std::move(rowids));
}

int RowView::ColumnCount() const {
  return sqlite3_column_count(stmt_);
}

std::string_view RowView::ColumnName(int i) const {
  const char* name = sqlite3_column_name(stmt_, i);
  return name ? std::string_view(name) : std::string_view();
}

bool RowView::IsText(int i) const {
  return sqlite3_value_type(sqlite3_column_value(stmt_, i)) == SQLITE_TEXT;
}

bool RowView::IsInteger(int i) const {
  return sqlite3_value_type(sqlite3_column_value(stmt_, i)) == SQLITE_INTEGER;
}

std::string_view RowView::Text(int i) const {
  sqlite3_value* value = sqlite3_column_value(stmt_, i);
  if (sqlite3_value_type(value) != SQLITE_TEXT) return {};
  auto text = reinterpret_cast<const char*>(sqlite3_value_text(value));
  return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(value)))
              : std::string_view();
}

std::int64_t RowView::Integer(int i) const {
  return sqlite3_value_int64(sqlite3_column_value(stmt_, i));
}

Value RowView::At(int i) const {
  return ColumnValue(stmt_, i);
}

sqlite3_stmt* Database::KeptSelect(const std::string& sql, std::vector<std::string>& parameters) {
  sqlite3_stmt* stmt = Kept(sql);
  if (!stmt) RaiseEngineError(db_, "SQLの実行に失敗しました");
  for (std::size_t i = 0; i < parameters.size(); ++i)
    Bind(stmt, static_cast<int>(i + 1), Value(std::move(parameters[i])));
  return stmt;
}

void Database::ReadRows(std::string_view sql, const std::function<void(const RowView&)>& each) {
  auto [translated, parameters, table] = TranslateJetSelect(sql);
  const KeptUse use{*this, KeptSelect(translated, parameters)};
  sqlite3_stmt* stmt = use.stmt;
  const RowView row(stmt);
  int rc = sqlite3_step(stmt);
  for (; rc == SQLITE_ROW; rc = sqlite3_step(stmt)) each(row);
  if (rc != SQLITE_DONE) RaiseEngineError(db_, "SQLの実行に失敗しました");
}

void Database::Execute(std::string_view sql) {
  Statement stmt(db_, TranslateJetSql(sql));
  while (stmt.Step()) {
  }
}

std::int64_t Database::Write(const std::string& sql, const std::vector<Value>& values) {
  sqlite3_stmt* stmt = Kept(sql);
  if (!stmt) RaiseWriteError(sqlite3_errmsg(db_));
  for (std::size_t i = 0; i < values.size(); ++i) Bind(stmt, static_cast<int>(i + 1), values[i]);
  int rc = sqlite3_step(stmt);
  std::string failure = rc == SQLITE_DONE ? std::string() : sqlite3_errmsg(db_);
  Release(stmt);
  if (rc != SQLITE_DONE) RaiseWriteError(failure);
  return sqlite3_last_insert_rowid(db_);
}

sqlite3_stmt* Database::Kept(const std::string& sql) {
  if (auto kept = statements_.find(sql); kept != statements_.end()) return kept->second;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(stmt);
    return nullptr;
  }
  if (statements_.size() >= kKeptStatements) {
    for (auto& [text, old] : statements_) sqlite3_finalize(old);
    statements_.clear();
  }
  statements_.emplace(sql, stmt);
  return stmt;
}

void Database::Release(sqlite3_stmt* stmt) {
  // Reset at once: a kept statement must not hold a table or a transaction open.
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
}

void Database::ExecuteNative(std::string_view sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "";
    sqlite3_free(error);
    throw AppError(kErrEngine, "DBEngine", "SQLの実行に失敗しました：" + message);
  }
}

void Database::BeginTrans() {
  ExecuteNative("BEGIN");
}
void Database::CommitTrans() {
  ExecuteNative("COMMIT");
}
void Database::Rollback() {
  ExecuteNative("ROLLBACK");
}

std::string Database::QuickCheck() {
  // The command line checks when it opens the database and the make flow when it starts: the
  // second finds the file as the first left it and does not read it all again.
  struct stat st {};
  std::optional<std::pair<long long, long long>> now;
  if (::stat(path_.c_str(), &st) == 0)
    now = {static_cast<long long>(st.st_size),
           static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
  if (now && checked_ == now) return "";
  Statement stmt(db_, "PRAGMA quick_check(1)");
  if (!stmt.Step()) return "";
  auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.Get(), 0));
  std::string finding = text ? text : "";
  if (finding != "ok") return finding;
  checked_ = now;
  return "";
}

bool Database::HasTable(std::string_view table) {
  Statement stmt(db_, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE");
  sqlite3_bind_text(stmt.Get(), 1, table.data(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
  return stmt.Step();
}

}  // namespace lanereport
