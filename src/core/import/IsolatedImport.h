#pragma once

#include <functional>
#include <optional>
#include <string>

#include "import/MdbImport.h"

namespace lanereport {

// The import as the command line and the windows run it: safe against a damaged file and
// against being interrupted.

// The database an import writes by default: the same folder and name with ".db" in place of
// the extension ("/data/score.mdb" gives "/data/score.db").
std::string DefaultImportTarget(const std::string& mdb_path);

// Imports the Jet file at mdb_path into a new score database at target (ImportMdbHere). The
// reading runs in a child process that writes a temporary file beside target; only when it
// ends well is that file renamed to target. Raises AppError, leaving nothing behind, when
// target exists (it is left untouched), the file is refused, or the child fails in any other
// way, which is reported as a damaged file: a crash of the Jet library cannot end this
// process. stopped, when given, is asked while the child runs; once it answers true the child
// is ended, nothing is written and the result is nothing.
std::optional<ImportReport> ImportMdb(const std::string& mdb_path, const std::string& target,
                                      const ImportOptions& options,
                                      const std::function<bool()>& stopped = {});

}  // namespace lanereport
