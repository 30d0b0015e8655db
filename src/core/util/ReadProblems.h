#pragma once

#include <cstddef>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lanereport {

// What a run could not read and left out. The score database is shared with other programs, so
// a row may hold what no record takes (a roll that is no mark, a text too long, a date that is
// none); a run leaves such a row out, publishes the rest, and says at its end what it left out.
//
// A run makes one log for its whole length; while it lives, the readers of the games and of the
// masters report every row they leave out to it (from any thread of the run). Without a log a
// reader refuses the whole selection, as a record operation must. A log made while another is
// in force (a make run inside a command) takes the reports until it ends, then hands them on
// to the other.
class ReadProblemLog {
 public:
  ReadProblemLog();
  ~ReadProblemLog();
  ReadProblemLog(const ReadProblemLog&) = delete;
  ReadProblemLog& operator=(const ReadProblemLog&) = delete;

  // The kinds of rows left out, each counted apart.
  enum class Kind { kGame, kMaster };

  // Records a row left out of the run of the log in force: key tells one row from another (a
  // row read several times is counted once), line says what it was and why (stored values
  // shown with VisibleText). False, recording nothing, when no log is in force.
  static bool Report(Kind kind, std::string_view key, std::string line);

  // True when no other log was in force when this one was made: the run of this log is the
  // whole run and says at its end what was left out.
  bool Outermost() const { return outer_ == nullptr; }

  // How many rows the log in force has taken so far (0 when none is in force).
  static std::size_t CurrentCount();

  // The lines of every row left out, in the order first reported.
  std::vector<std::string> Lines() const;
  std::size_t Count() const;
  // The closing words of a run that left rows out, one line per kind ("読めないゲーム 3 件を除きま
  // した"); empty when nothing was left out.
  std::vector<std::string> Summary() const;

 private:
  ReadProblemLog* outer_;
  mutable std::mutex mutex_;
  // Adds the entry unless its key is there already; the caller holds mutex_.
  void Add(std::string key, std::string line);

  std::set<std::string, std::less<>> keys_;
  // Each row left out once: its key (kind first) and its line, in the order reported.
  std::vector<std::pair<std::string, std::string>> entries_;
  std::size_t games_ = 0;
  std::size_t masters_ = 0;
};

}  // namespace lanereport
