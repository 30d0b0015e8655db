#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "start/StartUp.h"

namespace {

#ifdef LANEREPORT_WITH_GUI
#ifndef LANEREPORT_HELPER_FROM_BIN
#define LANEREPORT_HELPER_FROM_BIN "../libexec/lanereport"
#endif

// The windows are a program of their own next to this one, so a command never loads the window
// system's libraries (their loading took longer than a small command's whole work). No argument,
// or the suite's start options, hand the process over to it with the same arguments. It lies
// beside this program in the build folder, and in the helper folder of the install layout
// (bin/../libexec/lanereport/) once installed; the message names the first place.
int StartWindows(char** argv) {
  std::string path = "lanereport-windows";
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n > 0) {
    std::string self(buffer, static_cast<std::size_t>(n));
    std::string folder = self.substr(0, self.rfind('/') + 1);
    std::string installed =
        std::filesystem::path(folder + LANEREPORT_HELPER_FROM_BIN "/" + path).lexically_normal();
    path = folder + path;
    if (::access(path.c_str(), X_OK) != 0 && ::access(installed.c_str(), X_OK) == 0)
      path = installed;
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
