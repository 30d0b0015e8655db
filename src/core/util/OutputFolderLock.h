#pragma once

#include <chrono>
#include <string>

namespace lanereport {

class ProgressWindow;

// Keeps two runs from writing into one output folder at once: an exclusive advisory lock
// (flock) on the hidden file kLockFileName in the folder, held from Acquire until Release or
// the end of the object. The file is made when missing and removed again by the run that
// releases the lock last, so a finished run leaves nothing of it in the folder. The system
// drops the lock when the process ends in any way, so a killed run never blocks the next one.
// A thread that holds the lock of a folder may take it again (a run inside a run); another
// thread or process waits.
class OutputFolderLock {
 public:
  static constexpr const char* kLockFileName = ".lanereport.lock";
  static constexpr std::chrono::milliseconds kDefaultWait{30'000};
  // The line the progress window shows while the run waits.
  static constexpr const char* kWaitingMessage =
      "他の処理が同じ出力先に書き込み中です。終わるのを待っています...";

  OutputFolderLock() = default;
  ~OutputFolderLock();
  OutputFolderLock(const OutputFolderLock&) = delete;
  OutputFolderLock& operator=(const OutputFolderLock&) = delete;

  // Takes the lock of folder, which is made when missing. While another run holds it, the wait
  // is told on the progress window's first message line and STOP is looked at every tenth of a
  // second; STOP ends the wait and the result is false, nothing held. Raises AppError
  // (kErrFile) naming the folder when the other run still holds it after wait, or when the
  // folder or its lock file cannot be made. An object holds one folder's lock at a time: a
  // second Acquire first releases the first.
  [[nodiscard]] bool Acquire(const std::string& folder, ProgressWindow& progress,
                             std::chrono::milliseconds wait = kDefaultWait);
  // Gives the lock back (the file goes with the last holder); nothing when none is held.
  void Release();
  bool Held() const { return held_; }

 private:
  std::string key_;  // the lock file, as the process's record of its locks names it
  bool held_ = false;
};

}  // namespace lanereport
