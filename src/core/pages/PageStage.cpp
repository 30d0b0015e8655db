#include "pages/PageStage.h"

#include <unistd.h>

#include <algorithm>
#include <stdexcept>

namespace lanereport {

void PageStage::Put(const std::string& path, std::string_view bytes, long drawn) {
  std::vector<std::string> made;
  StagedPage page{StageFile(path, bytes, &made), drawn};
  std::lock_guard<std::mutex> lock(mutex_);
  made_folders_.insert(made_folders_.end(), made.begin(), made.end());
  auto [at, added] = pages_.try_emplace(path, page);
  if (!added) {
    DiscardStagedFile(at->second.file);
    at->second = std::move(page);
  }
}

const StagedPage* PageStage::Find(const std::string& path) const {
  auto found = pages_.find(path);
  return found == pages_.end() ? nullptr : &found->second;
}

StagedPage PageStage::Take(const std::string& path) {
  auto found = pages_.find(path);
  if (found == pages_.end()) throw std::out_of_range("no page made ahead: " + path);
  StagedPage page = std::move(found->second);
  pages_.erase(found);
  return page;
}

void PageStage::Discard() {
  for (const auto& [path, page] : pages_) DiscardStagedFile(page.file);
  pages_.clear();
  // Innermost first (two threads may have made a folder and one inside it in either order);
  // a folder that holds anything (a page put in place, another's file) stays.
  std::stable_sort(made_folders_.begin(), made_folders_.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (const std::string& folder : made_folders_) ::rmdir(folder.c_str());
  made_folders_.clear();
}

}  // namespace lanereport
