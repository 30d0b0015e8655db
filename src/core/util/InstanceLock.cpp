#include "util/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "util/PathControl.h"

namespace lanereport {

InstanceLock::~InstanceLock() {
  Release();
}

std::string InstanceLock::LockPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime && IsExistFolder(runtime))
    return AddPathSeparator(runtime) + "lanereport.lock";
  return "/tmp/lanereport-" + std::to_string(::getuid()) + ".lock";
}

bool InstanceLock::Acquire() {
  if (fd_ >= 0) return true;
  int fd = ::open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;  // no lock to be had: do not keep the user from working
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    ::close(fd);
    return err != EWOULDBLOCK;
  }
  fd_ = fd;
  return true;
}

void InstanceLock::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace lanereport
