#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lanereport {

// The rules of the file and folder chooser (frmDialogBox) that are not about the window: what
// its OK button makes of the current folder and the name box, the extension a mask adds, and
// the last place it remembers per caller in DialogBox.ini.

// The chooser's modes.
inline constexpr int kChooseFolder = 1;  // a folder, created on request
inline constexpr int kOpenFile = 2;      // an existing file
inline constexpr int kNameFile = 3;      // a file name, the mask's extension added
inline constexpr int kSaveFile = 4;      // as kNameFile, replacing an existing file on request

// True for the four modes above.
bool IsChooserMode(int mode);

// The name with the mask's last four characters appended, unless the mask ends with ".*", the
// name already ends with those four characters (letter case ignored) or they hold a wildcard
// (a mask such as "*" names no extension). "*.xls" makes "score" "score.xls" and leaves
// "SCORE.XLS" as it is.
std::string AddMaskExtension(std::string_view name, std::string_view mask);

// What OK does with the chooser's state.
enum class ChooserStep {
  kAccept,           // path is the result
  kNoFileName,       // the name box is empty: warn and stay open
  kFileMissing,      // the file path does not exist: warn and stay open
  kAskCreateFolder,  // the folder path does not exist: take it (creating it) only on yes
  kAskOverwrite,     // the file path exists: take it only on yes
};

struct ChooserDecision {
  ChooserStep step;
  std::string path;  // the result, a folder ending with "/" in folder mode; "" for kNoFileName
};

// Decides OK for mode (one of the four modes; any other raises std::invalid_argument) with the
// current folder, the name box text (trimmed here; a text starting with "/" is a whole path and
// the folder is not put before it) and the mask. Looks at the file system but changes nothing.
ChooserDecision DecideChooserOk(int mode, std::string_view folder, std::string_view name_box,
                                std::string_view mask);

// The chooser's own INI file, DialogBox.ini in the settings folder (GetSettingsFolder), which
// remembering a place makes when it is missing.
std::string DialogBoxIniFile();

// The key of a caller's remembered place: "PREV_" + user, "PREV_USER" when user is empty.
std::string RememberedKey(std::string_view user);

// A remembered place, split into its folder (ending with "/") and its file name part.
struct RememberedPlace {
  std::string folder;
  std::string file_name;
};

// The place remembered for user in DialogBox.ini (section "COMMON"), or nothing when none is
// remembered, the file cannot be read or the folder no longer exists.
std::optional<RememberedPlace> ReadRememberedPlace(std::string_view user);

// Remembers the folder of the chosen path (GetParentFolder) for user. Returns whether it was
// written; a failure leaves the chooser working, it only forgets.
bool RememberChosenPath(std::string_view user, std::string_view full_path);

}  // namespace lanereport
