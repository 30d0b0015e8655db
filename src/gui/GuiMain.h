#pragma once

#include <string>
#include <vector>

class QApplication;
class QIcon;

namespace lanereport::gui {

// The program's icon, drawn at 16 to 256 pixels (built into the program from resources/icon).
QIcon ProgramIcon();

// What every window of the run shares, set on the application before the first window opens:
// the Japanese font where it is installed, the program's icon as every window's icon, and Enter
// pressing a focused button (ButtonsTakeEnter).
void PrepareApplication(QApplication& app);

// Runs the windows: the start with its splash or the suite's start options (args, without the
// program's name), until no window remains. Where no display can be opened it says so in one
// line on standard error and returns 1. Returns the exit status.
int RunWindows(int argc, char** argv, const std::vector<std::string>& args);

}  // namespace lanereport::gui
