#include "util/UserFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
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

// Where the installed data folder lies relative to each of the two programs (the build's
// install layout gives them).
#ifndef LANEREPORT_DATA_FROM_BIN
#define LANEREPORT_DATA_FROM_BIN "../share/lanereport"
#endif
#ifndef LANEREPORT_DATA_FROM_HELPER
#define LANEREPORT_DATA_FROM_HELPER "../../share/lanereport"
#endif

constexpr const char* kTemplateName = "BowlerData.xlsx";

bool HoldsTemplate(const std::string& folder) {
  std::error_code ec;
  return std::filesystem::is_regular_file(folder + kTemplateName, ec);
}

std::string ProgramHome() {
  const char* home = std::getenv("LANEREPORT_HOME");
  return home && *home ? AddPathSeparator(home) : "";
}

// The installed data folder beside the executable's folder, or "" when there is none.
std::string InstalledDataFolder(const std::string& exe_folder) {
  for (const char* relative : {LANEREPORT_DATA_FROM_BIN, LANEREPORT_DATA_FROM_HELPER}) {
    std::string folder = AddPathSeparator(
        (std::filesystem::path(exe_folder) / relative).lexically_normal().string());
    if (HoldsTemplate(folder)) return folder;
  }
  return "";
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

std::string GetExecutableFolder() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "./";
  return GetParentFolder(std::string_view(buffer, static_cast<std::size_t>(n)));
}

ProgramFolders ProgramFoldersOf(const std::string& exe_folder_view) {
  std::string home = ProgramHome();
  if (!home.empty()) return {home, home};
  std::string exe_folder = AddPathSeparator(exe_folder_view);
  if (HoldsTemplate(exe_folder)) return {exe_folder, exe_folder};
  std::string installed = InstalledDataFolder(exe_folder);
  if (installed.empty()) return {exe_folder, exe_folder};
  const char* config = std::getenv("XDG_CONFIG_HOME");
  // A relative XDG_CONFIG_HOME is not valid and is passed over, as the XDG rules say.
  std::string base =
      config && *config == '/' ? std::string(config) : AddPathSeparator(HomeFolder()) + ".config";
  return {installed, AddPathSeparator(base) + "lanereport/"};
}

std::string GetProgramFolder() {
  return ProgramFoldersOf(GetExecutableFolder()).program;
}

std::string GetSettingsFolder() {
  return ProgramFoldersOf(GetExecutableFolder()).settings;
}

std::string MakeSettingsFolder() {
  std::string folder = GetSettingsFolder();
  // Made like the XDG folders, for the user alone; folders already there are left as they are.
  std::filesystem::path made;
  for (const std::filesystem::path& part : std::filesystem::path(folder)) {
    made /= part;
    if (part.empty() || part == "/") continue;
    ::mkdir(made.c_str(), 0700);
  }
  return folder;
}

}  // namespace lanereport
