#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/MessageWindow.h"
#include "ui/ProgressWindow.h"

namespace lanereport {

class Database;

// What a profile run did.
struct ProfileRunResult {
  // False when nothing was made: no folder given, or the user declined to create it.
  bool done = false;
  // The folder the pages went to, ending with "/"; the window shows it back in its field.
  std::string folder;
  long pages = 0;
  bool stopped = false;
};

// The create button of the profile window: writes {Aname}.html of every bowler (bowler_name
// empty) or of the bowler of that name, and profiles.js, into out_path.
//  - A blank out_path shows the warning "出力先を指定してください" and makes nothing.
//  - An out_path not ending with "/" names that folder when it is one; otherwise it is taken
//    as a file path and its folder is used.
//  - A folder that does not exist is created when messages.AskYesNo says yes; otherwise nothing
//    is made.
// Bar 0 of the progress window counts the bowlers; STOP ends the run after the page in hand.
// At the end "Ｂｏｗｌｅｒ紹介を作成しました" is shown. Two bowlers with the same Aname write the
// same file; the later one wins. Raises AppError (kErrNoData) when the named bowler does not
// exist, and AppError (kErrFile) when a folder or a file cannot be written.
ProfileRunResult CreateProfilePages(Database& db, std::string_view db_name,
                                    std::string_view out_path, std::string_view bowler_name,
                                    ProgressWindow& progress, MessageWindow& messages);

}  // namespace lanereport
