#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "util/Make.h"

namespace lanereport {

// A page made ahead of the moment its run writes it: its bytes wait in a temporary file next
// to the target (StageFile).
struct StagedPage {
  StagedFile file;
  long drawn = 0;  // the games a score page draws (0 for other pages)
};

// The pages a bulk run's second thread makes ahead while the run makes its workbook. The run
// then goes through its tables as before and, for each page it is to write, puts the page made
// ahead in place instead of making it again; the pages it does not take (STOP, a bowler table
// other than the one expected) are removed, with the folders made for them alone. Two threads
// may fill the stage at once; the run takes from it only once both have ended.
class PageStage {
 public:
  PageStage() = default;
  ~PageStage() { Discard(); }
  PageStage(const PageStage&) = delete;
  PageStage& operator=(const PageStage&) = delete;

  // Making threads: writes the page's bytes under a temporary name next to path (replacing an
  // earlier one for the same path). Raises AppError (kErrFile) when they cannot be written.
  void Put(const std::string& path, std::string_view bytes, long drawn);

  // Run's thread: the page made ahead for path, or null when none was.
  const StagedPage* Find(const std::string& path) const;
  // Run's thread: the page made ahead for path, no longer held here: the caller puts it in
  // place or discards it. Raises std::out_of_range when there is none.
  StagedPage Take(const std::string& path);
  // Removes the pages not taken, then the folders made for them that hold nothing else.
  void Discard();

 private:
  std::mutex mutex_;  // guards what Put changes
  std::unordered_map<std::string, StagedPage> pages_;
  std::vector<std::string> made_folders_;
};

}  // namespace lanereport
