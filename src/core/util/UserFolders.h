#pragma once

#include <string>

namespace lanereport {

// The path of one of the user's folders by its code: code 0 is the user's desktop (the XDG desktop
// folder, else $HOME/Desktop when it exists, else $HOME), code 2 the documents folder (likewise).
// Codes without a meaning on this desktop return an empty text.
std::string GetSpecialFolder(int code);

// The folder of the running executable, ending with "/" ("./" when it cannot be told).
std::string GetExecutableFolder();

// The program's folder, where the default template (BowlerData.xlsx) and the look's images
// (jpg/) are read from; ends with "/". $LANEREPORT_HOME when that is set; else the folder of
// the executable when it holds the template (the build folder, or a copy of the program kept
// in one folder); else the installed data folder found relative to the executable
// (bin/../share/lanereport/, and likewise from the windows' program in libexec/lanereport/);
// else the folder of the executable.
std::string GetProgramFolder();

// The folder of what the program writes for itself (ZEPA.INI, DialogBox.ini); ends with "/".
// $LANEREPORT_HOME when that is set; the program folder itself when that is the executable's
// folder (the build folder keeps its INI files beside the program, as before); otherwise,
// installed, $XDG_CONFIG_HOME/lanereport/ (by default $HOME/.config/lanereport/). The folder
// may not exist yet: MakeSettingsFolder makes it.
std::string GetSettingsFolder();

// Both folders for an executable lying in exe_folder, with the environment as it is.
struct ProgramFolders {
  std::string program;
  std::string settings;
};
ProgramFolders ProgramFoldersOf(const std::string& exe_folder);

// Makes the settings folder (and the folders above it) when missing, for a file about to be
// written there, and returns it. Errors are left to the write that follows.
std::string MakeSettingsFolder();

}  // namespace lanereport
