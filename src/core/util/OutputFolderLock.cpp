#include "util/OutputFolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "ui/ProgressWindow.h"
#include "util/AppError.h"
#include "util/Make.h"
#include "util/PathControl.h"

namespace lanereport {
namespace {

constexpr const char* kSource = "[OutputFolderLock]Acquire";
constexpr std::chrono::milliseconds kPollInterval{100};

// The locks this process holds, by the lock file's path: which thread holds each, how many
// times it took it, and the descriptor the lock is on.
struct HeldLock {
  std::thread::id owner;
  int count = 0;
  int fd = -1;
  dev_t dev = 0;
  ino_t ino = 0;
};

std::mutex& HeldMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<std::string, HeldLock>& HeldLocks() {
  static std::map<std::string, HeldLock> held;
  return held;
}

// The thread's own lock of the same file (the same file under another spelling of the folder
// too), or the end of HeldLocks().
std::map<std::string, HeldLock>::iterator HeldByThisThread(const struct stat& st) {
  for (auto it = HeldLocks().begin(); it != HeldLocks().end(); ++it)
    if (it->second.dev == st.st_dev && it->second.ino == st.st_ino &&
        it->second.owner == std::this_thread::get_id())
      return it;
  return HeldLocks().end();
}

// Whether the descriptor's file is still the one at path: a run that releases the lock last
// removes the file, and a lock taken on a removed file keeps nobody out.
bool StillAtPath(int fd, const std::string& path) {
  struct stat by_fd {};
  struct stat by_path {};
  if (::fstat(fd, &by_fd) != 0 || ::stat(path.c_str(), &by_path) != 0) return false;
  return by_fd.st_dev == by_path.st_dev && by_fd.st_ino == by_path.st_ino;
}

}  // namespace

OutputFolderLock::~OutputFolderLock() {
  Release();
}

bool OutputFolderLock::Acquire(const std::string& folder, ProgressWindow& progress,
                               std::chrono::milliseconds wait) {
  Release();
  const std::string where = folder.empty() ? std::string(".") : folder;
  if (!IsExistFolder(where)) MakeFolders(where);
  const std::string path = AddPathSeparator(where) + kLockFileName;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  bool told = false;
  while (true) {
    int err = 0;
    int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
      throw AppError(
          kErrFile, kSource,
          "出力先にロックファイルを作成できません：" + path + "（" + std::strerror(errno) + "）");
    }
    {
      std::lock_guard<std::mutex> guard(HeldMutex());
      struct stat st {};
      if (::fstat(fd, &st) == 0) {
        if (auto mine = HeldByThisThread(st); mine != HeldLocks().end()) {
          ::close(fd);
          ++mine->second.count;
          key_ = mine->first;
          held_ = true;
          return true;
        }
      }
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        if (StillAtPath(fd, path)) {
          HeldLocks()[path] = HeldLock{std::this_thread::get_id(), 1, fd, st.st_dev, st.st_ino};
          key_ = path;
          held_ = true;
          return true;
        }
        // The file was removed by the run that held it: the next one is made and locked.
        ::close(fd);
        continue;
      }
      err = errno;
    }
    ::close(fd);
    if (err != EWOULDBLOCK && err != EINTR) {
      throw AppError(kErrFile, kSource,
                     "出力先をロックできません：" + folder + "（" + std::strerror(err) + "）");
    }
    if (!told) {
      progress.Message1(kWaitingMessage);
      told = true;
    }
    // The count lets the progress window paint and take STOP.
    progress.CountProgress(0, 0);
    if (progress.StopFlag()) return false;
    auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      throw AppError(kErrFile, kSource,
                     "他の処理が同じ出力先に書き込み中のため、出力できません：" + folder);
    }
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(kPollInterval, deadline - now));
  }
}

void OutputFolderLock::Release() {
  if (!held_) return;
  held_ = false;
  std::lock_guard<std::mutex> guard(HeldMutex());
  auto found = HeldLocks().find(key_);
  if (found == HeldLocks().end() || --found->second.count > 0) return;
  // Removed while still locked, so that no other run takes a lock on a file that is going away.
  ::unlink(found->first.c_str());
  ::flock(found->second.fd, LOCK_UN);
  ::close(found->second.fd);
  HeldLocks().erase(found);
}

}  // namespace lanereport
