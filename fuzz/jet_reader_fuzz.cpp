// A damaged Jet (.mdb) file read as the import reads it: the header checks, the Jet library's
// catalog and every user table with every value decoded. Only the program's own errors may
// come out, and every text read is whole UTF-8. The import runs this reading in a child
// process; here it runs in-process so that what the library does with the input is found.

#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzSupport.h"
#include "import/JetReader.h"
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
  return 0;
}
