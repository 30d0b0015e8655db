#pragma once

#include <functional>
#include <string>

namespace lanereport {

class MessageWindow;
class ProgressWindow;

// The start of the windows with a Jet (.mdb) file, chosen in the database chooser or named
// with /d: the program works on its own database beside it.

// True when the path names a Jet database by its extension (".mdb", letter case ignored).
bool IsJetDatabasePath(const std::string& path);

// Runs work with the progress window shown (Msg_Waiting in the windows) and takes it away
// afterwards, however work ends.
using WithProgress = std::function<void(const std::function<void(ProgressWindow&)>& work)>;

// The score database to open for path. Any path but a Jet file's is returned as it stands.
// For a Jet file, the .db beside it (DefaultImportTarget):
// - when it is missing: after the user agreed in Msg_YesNo, the .db that ImportMdb makes from
//   the file; "" when the user said no, stopped the import, or the import failed (shown as a
//   warning with the reason);
// - when it is there and records the file as it is now (ImportRecord: size, time and digest):
//   the .db, without a question;
// - when the file differs from its record, or the .db has none: Msg_YesNo asks, naming both
//   files and the file's date, whether to bring the .db up to date first. Yes refreshes it
//   (RefreshFromMdb) and says what changed; no opens it as it is. A refresh that fails is
//   shown as a warning and the .db, left as it was, is opened; so is one that was stopped.
// with_progress shows the progress of the import or refresh; without it nothing is shown and
// nothing can be stopped.
std::string ScoreDatabaseFor(const std::string& path, MessageWindow& messages,
                             const WithProgress& with_progress = {});

}  // namespace lanereport
