#pragma once

#include <string>

namespace lanereport {

// The path of one of the user's folders by its code: code 0 is the user's desktop (the XDG desktop
// folder, else $HOME/Desktop when it exists, else $HOME), code 2 the documents folder (likewise).
// Codes without a meaning on this desktop return an empty text.
std::string GetSpecialFolder(int code);

// The program's folder, where ZEPA.INI, DialogBox.ini and the default template live: the
// folder of the executable, or $LANEREPORT_HOME when that is set. Ends with "/".
std::string GetProgramFolder();

}  // namespace lanereport
