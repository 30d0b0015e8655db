#pragma once

#include <string>
#include <vector>

namespace lanereport {

class Database;
class MessageWindow;

// What the start of the windows rests on, without any window: the version kept in ZEPA.INI,
// the suite's start options and the check of the master tables.

// The program's own version, "major.minor.revision" in plain decimal.
std::string ProgramVersion();

// ZEPA.INI in the settings folder (GetSettingsFolder): beside the program in the build folder,
// in the user's config folder once installed. Its version is kept up to date wherever it is.
std::string ZepaIniPath();

// Brings the version in the INI file up to date and returns the version to show on the
// splash: when the file exists and its SYSTEM/Ver value sorts before program_version (by
// character codes, so "1.10.0" sorts before "1.9.0"), program_version is written there (the
// file is left read-only) and returned; otherwise the stored value is returned as it stands.
// A missing file is neither read nor created and gives "".
std::string UpdateIniVersion(const std::string& ini_path, const std::string& program_version);

// True when the program's arguments ask for the windows: none at all, or the suite's start
// options (a first argument beginning with "/").
bool IsWindowStart(const std::vector<std::string>& args);

// The suite's start options: "/m1 /dPATH" (or as one argument "/m1/dPATH"). The start mode
// counts from 1 (1 the score output window, 2 the profile window, 3 the score entry window, 4
// the masters window); start_mode is that value
// minus 1, as the start menu numbers its buttons.
struct StartOptions {
  int start_mode = -1;
  std::string database;
};

// The windows the suite's option "/m" opens, by its value; the manual page and the shell
// completion are made from this list.
struct StartModeEntry {
  int option;          // the value after "/m"
  const char* window;  // what opens, as the manual page names it
};
const std::vector<StartModeEntry>& StartModeTable();

// Reads the start options from the arguments joined by spaces. Each option is "/" followed by
// its key letter: the value of "m" is the number after it, the value of "d" the rest of the
// text up to a following "/m" option (a path holds "/" of its own), trimmed. Raises AppError
// (kErrInvalidValue, "[basStart]Main") when "m" is missing or not a number.
StartOptions ParseStartOptions(const std::vector<std::string>& args);

// True when the bowler, centre and level tables each hold at least one row that can be read.
// Otherwise shows the master warning of the first empty table (its second line, closing after
// 10 seconds) and returns false.
bool CheckMasters(Database& db, MessageWindow& messages);

}  // namespace lanereport
