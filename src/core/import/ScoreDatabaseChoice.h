#pragma once

#include <string>

namespace lanereport {

class MessageWindow;

// The start of the windows with a Jet (.mdb) file, chosen in the database chooser or named
// with /d: the program works on its own database beside it.

// True when the path names a Jet database by its extension (".mdb", letter case ignored).
bool IsJetDatabasePath(const std::string& path);

// The score database to open for path. Any path but a Jet file's is returned as it stands.
// For a Jet file: the .db beside it (DefaultImportTarget) when that exists; otherwise, after
// the user agreed in Msg_YesNo, the .db that ImportMdb makes from it. Returns "" when the user
// said no, or when the import failed, which is shown as a warning with the reason.
std::string ScoreDatabaseFor(const std::string& path, MessageWindow& messages);

}  // namespace lanereport
