#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lanereport {

// The first page of a Jet database file (*.mdb): which Jet version wrote it, its page size,
// the code page its header names and the database password stored there. Read before the file
// is handed to the Jet library, so that files the library must not see (not a Jet file, an
// .accdb, a file shorter than its first pages) are refused with a clear message.
struct JetHeader {
  int version = 0;              // 3 (Access 97) or 4 (Access 2000 and later)
  std::size_t page_size = 0;    // 2048 for Jet 3, 4096 for Jet 4
  std::uint16_t code_page = 0;  // the code page named in the header (Jet 3 text is stored in it)
  std::string password;         // the database password, UTF-8; "" when none is set
};

// Reads the header of the file at path. Raises AppError (kErrFile) when the file cannot be
// read, and AppError (kErrInvalidValue) naming the path when it is not a Jet 3 or Jet 4
// database: too short for its first three pages or not a whole number of pages, another signature,
// an Access 2007 or later file (.accdb), or an unknown version.
JetHeader ReadJetHeader(const std::string& path);

// The same checks on the first bytes of a file (at least the first three pages for a file that
// passes) and the file's whole size; name is used in the messages.
JetHeader ParseJetHeader(std::string_view bytes, std::uint64_t file_size, std::string_view name);

}  // namespace lanereport
