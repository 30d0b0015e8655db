#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "start/StartUp.h"
#ifdef LANEREPORT_WITH_GUI
#include "GuiMain.h"
#endif

int main(int argc, char** argv) {
#ifdef LANEREPORT_WITH_GUI
  // No argument, or the suite's start options: the windows. Subcommands never start the
  // window system, so they run without a display.
  std::vector<std::string> args(argv + 1, argv + argc);
  if (lanereport::IsWindowStart(args)) return lanereport::gui::RunWindows(argc, argv, args);
#endif
  return lanereport::cli::RunCommandLine(argc, argv, std::cout, std::cerr);
}
