#pragma once

#include <string>

namespace lanereport {

// The lock that keeps the windows from running twice for one user: an exclusive lock on a file
// in the user's runtime folder ($XDG_RUNTIME_DIR, else the system's temporary folder with the
// user's id in the name). The system releases it when the process ends in any way, so a crash
// never blocks the next start.
class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock; false when another running program holds it (or the lock file cannot be
  // opened at all, which is then treated as no other instance: true and nothing held).
  [[nodiscard]] bool Acquire();
  void Release();

  // The lock file's path.
  static std::string LockPath();

 private:
  int fd_ = -1;
};

}  // namespace lanereport
