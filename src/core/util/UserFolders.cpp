#include "util/UserFolders.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string_view>

#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home ? home : "/";
}

// Reads one entry of the XDG user-dirs file ("XDG_DESKTOP_DIR="$HOME/Desktop"").
std::string XdgUserDir(std::string_view key) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string file =
      (config && *config ? std::string(config) : HomeFolder() + "/.config") + "/user-dirs.dirs";
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    std::string_view l = Trim(line);
    if (!StartsWith(l, key) || l.substr(key.size(), 1) != "=") continue;
    std::string value(l.substr(key.size() + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (StartsWith(value, "$HOME")) value = HomeFolder() + value.substr(5);
    return value;
  }
  return "";
}

std::string UserFolder(std::string_view xdg_key, std::string_view fallback_name) {
  std::string dir = XdgUserDir(xdg_key);
  if (!dir.empty() && IsExistFolder(dir)) return dir;
  std::string fallback = AddPathSeparator(HomeFolder()) + std::string(fallback_name);
  if (IsExistFolder(fallback)) return fallback;
  return HomeFolder();
}

}  // namespace

std::string GetSpecialFolder(int code) {
  switch (code) {
    case 0:
      return UserFolder("XDG_DESKTOP_DIR", "Desktop");
    case 2:
      return UserFolder("XDG_DOCUMENTS_DIR", "Documents");
    default:
      return "";
  }
}

std::string GetProgramFolder() {
  const char* home = std::getenv("LANEREPORT_HOME");
  if (home && *home) return AddPathSeparator(home);
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "./";
  return GetParentFolder(std::string_view(buffer, static_cast<std::size_t>(n)));
}

}  // namespace lanereport
