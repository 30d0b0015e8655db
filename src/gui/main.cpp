#include <string>
#include <vector>

#include "GuiMain.h"

// The windows, started by lanereport without a command (or with the suite's start options),
// which hands its arguments over unchanged.
int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return lanereport::gui::RunWindows(argc, argv, args);
}
