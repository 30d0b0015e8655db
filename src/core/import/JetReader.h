#pragma once

#include <memory>
#include <string>
#include <vector>

#include "database/Value.h"
#include "import/JetHeader.h"

namespace lanereport {

class CodePageText;

// One column of a Jet table: its name and the Jet library's type code (MDB_TEXT and so on),
// with what reading its values had to do to them.
struct JetColumn {
  std::string name;
  int type = 0;
  std::size_t replaced_text = 0;    // values with characters replaced by U+FFFD
  std::size_t dropped = 0;          // values left empty: binary data, a real that is no number
  std::size_t dates_as_number = 0;  // dates outside the years 100 to 9999, kept as numbers
};

// A whole table: its columns in the file's order and every row, one Value per column. Values
// are null, integers (yes/no as 0 and 1, byte, integer, long), doubles (single and double, from
// their stored bytes) or text (text and memo in UTF-8; currency and decimal as exact decimal
// text; dates as "YYYY/MM/DD HH:MM:SS"; replication IDs in braces).
struct JetTable {
  std::string name;
  std::vector<JetColumn> columns;
  std::vector<std::vector<Value>> rows;
};

// A Jet 3 or Jet 4 database file read through the Jet library (mdbtools). The library reads
// the pages and splits the rows; every value is decoded here from its stored bytes. The
// library may crash on a damaged file: callers that must survive that read in a child process
// (ImportMdb). Not copyable; the file is closed when the object goes.
class JetReader {
 public:
  // Checks the header (ReadJetHeader) and opens the file. Jet 3 text is converted from
  // jet3_code_page (a number or an iconv name). Raises AppError when the header check fails,
  // the code page is unknown or the library cannot open the file or read its catalog.
  JetReader(const std::string& path, const std::string& jet3_code_page);
  ~JetReader();
  JetReader(const JetReader&) = delete;
  JetReader& operator=(const JetReader&) = delete;

  const JetHeader& Header() const { return header_; }
  // How text is decoded: "UCS-2" for Jet 4, the iconv name of the code page for Jet 3.
  std::string TextEncoding() const;
  // The user tables, in the catalog's order.
  const std::vector<std::string>& TableNames() const { return tables_; }
  // Reads the table named name (letter case ignored). Raises AppError (kErrInvalidValue) when
  // there is no such table or its definition or rows are damaged.
  JetTable ReadTable(const std::string& name);

 private:
  struct Library;
  // Reads the table of the library's catalog entry number entry (0 the catalog itself, then
  // the user tables in order); name is used in messages and the result.
  JetTable ReadEntry(std::size_t entry, const std::string& name);

  std::string path_;
  JetHeader header_;
  std::unique_ptr<CodePageText> code_page_;
  std::unique_ptr<Library> library_;
  std::vector<std::string> tables_;
  std::uint64_t file_size_ = 0;
};

}  // namespace lanereport
