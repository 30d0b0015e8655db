#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "start/StartUp.h"

namespace {

#ifdef LANEREPORT_WITH_GUI
// The windows are a program of their own next to this one, so a command never loads the window
// system's libraries (their loading took longer than a small command's whole work). No argument,
// or the suite's start options, hand the process over to it with the same arguments.
int StartWindows(char** argv) {
  std::string path = "lanereport-windows";
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n > 0) {
    std::string self(buffer, static_cast<std::size_t>(n));
    path = self.substr(0, self.rfind('/') + 1) + path;
  }
  ::execv(path.c_str(), argv);
  std::cerr << "画面のプログラム（" << path << "）を起動できません：" << std::strerror(errno)
            << std::endl;
  return 1;
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef LANEREPORT_WITH_GUI
  std::vector<std::string> args(argv + 1, argv + argc);
  if (lanereport::IsWindowStart(args)) return StartWindows(argv);
#endif
  return lanereport::cli::RunCommandLine(argc, argv, std::cout, std::cerr);
}
