#include "util/ReadProblems.h"

#include <atomic>

namespace lanereport {
namespace {

std::atomic<ReadProblemLog*> current{nullptr};

}  // namespace

ReadProblemLog::ReadProblemLog() : outer_(current.exchange(this)) {}

ReadProblemLog::~ReadProblemLog() {
  current.store(outer_);
  if (!outer_) return;
  std::lock_guard<std::mutex> lock(outer_->mutex_);
  for (auto& [key, line] : entries_) outer_->Add(std::move(key), std::move(line));
}

void ReadProblemLog::Add(std::string key, std::string line) {
  if (!keys_.insert(key).second) return;
  ++(key.starts_with("g:") ? games_ : masters_);
  entries_.emplace_back(std::move(key), std::move(line));
}

bool ReadProblemLog::Report(Kind kind, std::string_view key, std::string line) {
  ReadProblemLog* log = current.load();
  if (!log) return false;
  std::lock_guard<std::mutex> lock(log->mutex_);
  log->Add((kind == Kind::kGame ? "g:" : "m:") + std::string(key), std::move(line));
  return true;
}

std::size_t ReadProblemLog::CurrentCount() {
  ReadProblemLog* log = current.load();
  return log ? log->Count() : 0;
}

std::vector<std::string> ReadProblemLog::Lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> lines;
  for (const auto& entry : entries_) lines.push_back(entry.second);
  return lines;
}

std::size_t ReadProblemLog::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

std::vector<std::string> ReadProblemLog::Summary() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> summary;
  if (games_ > 0) summary.push_back("読めないゲーム " + std::to_string(games_) + " 件を除きました");
  if (masters_ > 0)
    summary.push_back("読めないマスタの行 " + std::to_string(masters_) + " 件を除きました");
  return summary;
}

}  // namespace lanereport
