// A damaged Jet (.mdb) file read as the import reads it: the header checks, the Jet library's
// catalog and every user table with every value decoded. Only the program's own errors may
// come out, and every text read is whole UTF-8. Then the import itself: a file it accepts must
// have given a database whose every stored value passes the import's checks (no garbage is
// carried silently), and each value it did not carry is named. The import runs this reading in
// a child process; here it runs in-process so that what the library does with the input is
// found.

#include <cstdint>
#include <cstdio>
#include <string>

#include <cstdio>

#include "FuzzSupport.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/Schema.h"
#include "import/ImportChecks.h"
#include "import/JetReader.h"
#include "import/MdbImport.h"
#include "util/AppError.h"
#include "util/Cp932.h"

// The Jet library (mdbtools 1.0.0) does not free everything on its error paths; its leaks are
// not this program's to find.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libmdb.so\nleak:libglib-2.0.so\n";
}

namespace {

bool IsWholeUtf8(const std::string& text) {
  std::u32string decoded = lanereport::DecodeUtf8(text);
  std::string again;
  for (char32_t c : decoded) again += lanereport::EncodeUtf8(c);
  return again == text;
}

// The database an import made, read back: every row of every score table passes the checks.
void CheckImported(const std::string& path) {
  using namespace lanereport;
  std::unique_ptr<Database> db = Database::Open(path);
  for (const TableDef& def : ScoreTables()) {
    std::unique_ptr<Recordset> rs = db->OpenRecordset(std::string("Select * From ") + def.name);
    std::vector<bool> present(def.columns.size(), true);
    for (; !rs->Eof(); rs->MoveNext()) {
      std::vector<Value> row;
      for (const ColumnDef& c : def.columns) row.push_back(rs->Field(c.name));
      RowCheck check = CheckImportedRow(def, row, present, *db);
      FUZZ_CHECK(check.notes.empty(), check.notes.front());
    }
  }
}

}  // namespace

// The library complains on standard error about every odd thing it meets, which on damaged
// input is slower than the reading; its complaints go nowhere (libFuzzer and the sanitizers keep
// the standard error they started with).
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (FILE* null = std::fopen("/dev/null", "w")) stderr = null;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lanereport;
  std::string path = fuzz::WriteFuzzFile("input.mdb", fuzz::AsText(data, size));
  try {
    JetReader reader(path, "932");
    for (const std::string& name : reader.TableNames()) {
      try {
        JetTable table = reader.ReadTable(name);
        for (const auto& row : table.rows) {
          FUZZ_CHECK(row.size() == table.columns.size(), name);
          for (const Value& value : row)
            if (const std::string* text = value.TextIf()) FUZZ_CHECK(IsWholeUtf8(*text), *text);
        }
      } catch (const AppError&) {
      }
    }
  } catch (const AppError&) {
  }

  std::string target = fuzz::FuzzFolder() + "/imported.db";
  for (const char* side : {"", "-journal"}) std::remove((target + side).c_str());
  try {
    ImportReport report = ImportMdbHere(path, target, {});
    std::size_t named = 0;
    for (const std::string& note : report.notes)
      if (note.rfind("正しくない値：", 0) == 0) ++named;
    FUZZ_CHECK(named == report.values_failed, "every value not carried is named");
    FUZZ_CHECK(report.rows_failed * 2 <= report.rows_checked, "most rows failed but accepted");
    CheckImported(target);
  } catch (const AppError&) {
  }
  return 0;
}
