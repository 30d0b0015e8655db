#pragma once

#include <string>
#include <vector>

namespace lanereport::gui {

// Runs the windows: the start with its splash or the suite's start options (args, without the
// program's name), until no window remains. Where no display can be opened it says so in one
// line on standard error and returns 1. Returns the exit status.
int RunWindows(int argc, char** argv, const std::vector<std::string>& args);

}  // namespace lanereport::gui
