#include "util/FolderListing.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "util/Cp932.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;

// Name order as a person reads it: letter case ignored first, then the exact bytes.
void SortNames(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::string la = ToLowerAscii(a);
    std::string lb = ToLowerAscii(b);
    return la != lb ? la < lb : a < b;
  });
}

enum class EntryKind { kFolder, kFile };

// The names of the entries of folder of one kind, links followed, hidden names left out.
std::vector<std::string> ListEntries(std::string_view folder, EntryKind kind) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(std::string(folder), fs::directory_options::skip_permission_denied, ec);
  if (ec) return names;
  for (fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::string name = it->path().filename().string();
    if (name.empty() || name.front() == '.') continue;
    std::error_code kind_ec;
    bool wanted =
        kind == EntryKind::kFolder ? it->is_directory(kind_ec) : it->is_regular_file(kind_ec);
    if (!kind_ec && wanted) names.push_back(std::move(name));
  }
  SortNames(names);
  return names;
}

char32_t LowerAscii(char32_t c) {
  return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// Wildcard match of one pattern over whole characters, by backtracking to the last "*".
bool MatchesPattern(const std::u32string& name, const std::u32string& pattern) {
  std::size_t n = 0, p = 0;
  std::size_t star = std::u32string::npos, star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == U'?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == U'*') {
      star = p++;
      star_n = n;
    } else if (star != std::u32string::npos) {
      p = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == U'*') ++p;
  return p == pattern.size();
}

void AddSubfolders(const std::string& folder, std::vector<std::string>& roots) {
  for (const std::string& name : ListSubfolders(folder))
    roots.push_back(AddPathSeparator(AddPathSeparator(folder) + name));
}

}  // namespace

DriveRootPlaces CurrentDriveRootPlaces() {
  DriveRootPlaces places;
  const passwd* account = ::getpwuid(::getuid());
  const char* home = std::getenv("HOME");
  if (home && *home)
    places.home = home;
  else if (account && account->pw_dir)
    places.home = account->pw_dir;
  if (account && account->pw_name)
    places.user = account->pw_name;
  else if (const char* user = std::getenv("USER"))
    places.user = user;
  return places;
}

std::vector<std::string> DriveRoots(const DriveRootPlaces& places) {
  std::vector<std::string> roots{"/"};
  if (!places.home.empty() && IsExistFolder(places.home))
    roots.push_back(AddPathSeparator(places.home));
  AddSubfolders(places.media, roots);
  if (!places.user.empty()) AddSubfolders(AddPathSeparator(places.media) + places.user, roots);
  AddSubfolders(places.mnt, roots);
  std::vector<std::string> unique;
  for (std::string& root : roots)
    if (std::find(unique.begin(), unique.end(), root) == unique.end())
      unique.push_back(std::move(root));
  return unique;
}

std::string DriveRootOf(std::string_view folder, const std::vector<std::string>& roots) {
  std::string best;
  std::string path = AddPathSeparator(folder);
  for (const std::string& root : roots)
    if (StartsWith(path, root) && root.size() > best.size()) best = root;
  if (best.empty() && !roots.empty()) best = "/";
  return best;
}

std::string FolderAbove(std::string_view folder) {
  std::string path = AddPathSeparator(folder);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  auto last = path.rfind('/');
  if (last == std::string::npos || last == 0) return "/";
  return path.substr(0, last + 1);
}

std::vector<std::string> ListSubfolders(std::string_view folder) {
  return ListEntries(folder, EntryKind::kFolder);
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  std::u32string chars = DecodeUtf8(name);
  bool any_pattern = false;
  for (const std::string& part : Split(mask, ';')) {
    std::string_view pattern = Trim(part);
    if (pattern.empty()) continue;
    any_pattern = true;
    if (pattern == "*.*" || pattern == "*") return true;
    if (MatchesPattern(chars, DecodeUtf8(pattern))) return true;
  }
  return !any_pattern;
}

std::vector<std::string> ListMatchingFiles(std::string_view folder, std::string_view mask) {
  std::vector<std::string> names = ListEntries(folder, EntryKind::kFile);
  std::erase_if(names, [mask](const std::string& name) { return !MatchesMask(name, mask); });
  return names;
}

}  // namespace lanereport
