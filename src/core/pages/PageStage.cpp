#include "pages/PageStage.h"

#include <unistd.h>

#include <stdexcept>

namespace lanereport {

void PageStage::Put(const std::string& path, std::string_view bytes, long drawn) {
  StagedPage page{StageFile(path, bytes, &made_folders_), drawn};
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
  // Innermost first; a folder that holds anything (a page put in place, another's file) stays.
  for (auto folder = made_folders_.rbegin(); folder != made_folders_.rend(); ++folder)
    ::rmdir(folder->c_str());
  made_folders_.clear();
}

}  // namespace lanereport
