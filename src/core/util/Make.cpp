#include "util/Make.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <thread>
#include <utility>

#include "util/AppError.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

std::function<void(const std::string&)>& Fault() {
  static std::function<void(const std::string&)> fault;
  return fault;
}

[[noreturn]] void RaiseFileError(const std::string& what, const std::string& path, int err) {
  throw AppError(kErrFile, "MakeFile", what + "：" + path + "（" + std::strerror(err) + "）");
}

// Temporary files are named "." + the target's name (its first kTempStemBytes bytes) +
// kTempMark + six letters and digits, so that the name stays within the file system's limit
// and no file of anyone else's matches the pattern.
constexpr std::size_t kTempStemBytes = 200;
constexpr std::string_view kTempMark = ".lrtmp";
constexpr std::size_t kTempRandom = 6;

// Six letters and digits, different for every call of the process and across processes.
std::string TempSuffix() {
  thread_local std::mt19937_64 engine(std::random_device{}() ^
                                      (static_cast<std::uint64_t>(::getpid()) << 32) ^
                                      std::hash<std::thread::id>{}(std::this_thread::get_id()));
  static constexpr char kChars[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string suffix(kTempRandom, '0');
  for (char& c : suffix) c = kChars[engine() % (sizeof kChars - 1)];
  return suffix;
}

// Closes the descriptor and removes the temporary file unless the write went through. The file
// is created new (never one of the same name), with the permissions a new file of the process
// gets: 0666 less the umask.
class TempFile {
 public:
  TempFile() = default;
  // Creates the file under a new name of the stem; Fd() is negative (errno set) when it
  // cannot be created.
  void Open(const std::string& stem) {
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string path = stem + TempSuffix();
      fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0) {
        path_ = std::move(path);
        return;
      }
      if (errno != EEXIST) return;
    }
  }
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_ && !path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int Fd() const { return fd_; }
  const std::string& Path() const { return path_; }
  bool Close() {
    int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0;
  }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  int fd_ = -1;
  bool kept_ = false;
};

// The temporary file's path without its six random characters.
std::string TempStem(const std::string& folder, const std::string& name) {
  return (folder.empty() ? std::string("./") : folder) + "." + name.substr(0, kTempStemBytes) +
         std::string(kTempMark);
}

bool IsTempName(std::string_view name) {
  if (name.size() < 2 + kTempMark.size() + kTempRandom || name[0] != '.') return false;
  std::string_view tail = name.substr(name.size() - kTempRandom);
  std::string_view mark =
      name.substr(name.size() - kTempRandom - kTempMark.size(), kTempMark.size());
  if (mark != kTempMark) return false;
  for (char c : tail) {
    bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alnum) return false;
  }
  return true;
}

// Guards the run's records of folders below: files may be written from two threads.
std::mutex& RecordsMutex() {
  static std::mutex mutex;
  return mutex;
}

// The folders MakeFile has written into since the last FlushWrittenFiles.
std::set<std::string>& WrittenFolders() {
  static std::set<std::string> folders;
  return folders;
}

// When this process started: a temporary file older than that is what an earlier run left
// when it was killed in the middle of a write.
const auto kRunStart = std::chrono::system_clock::now();

bool OlderThanRun(const struct stat& st) {
  auto mtime = std::chrono::system_clock::from_time_t(st.st_mtim.tv_sec) +
               std::chrono::duration_cast<std::chrono::system_clock::duration>(
                   std::chrono::nanoseconds(st.st_mtim.tv_nsec));
  return mtime < kRunStart;
}

// Removes, once per folder and run, the stale temporary files of an earlier killed run: regular
// files of the temporary pattern older than this run. Anything else is left alone, and a
// failure to list or remove is no reason to refuse the write.
void SweepStaleTempFiles(const std::string& folder) {
  static std::set<std::string> swept;
  {
    std::lock_guard<std::mutex> lock(RecordsMutex());
    if (!swept.insert(folder).second) return;
  }
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  int fd = ::dirfd(dir);
  while (struct dirent* entry = ::readdir(dir)) {
    if (!IsTempName(entry->d_name)) continue;
    struct stat st {};
    if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISREG(st.st_mode) && OlderThanRun(st)) ::unlinkat(fd, entry->d_name, 0);
  }
  ::closedir(dir);
}

}  // namespace

void MakeFolders(std::string_view path) {
  MakeFolders(path, nullptr);
}

void MakeFolders(std::string_view path, std::vector<std::string>* made) {
  std::vector<std::string> parts = Split(path, '/');
  // An absolute path starts at the root (an empty first part); a relative one at its first
  // folder, which is made like the others.
  std::string prefix;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) prefix += "/";
    prefix += parts[i];
    if (parts[i].empty() || parts[i] == "." || IsExistFolder(prefix)) continue;
    if (::mkdir(prefix.c_str(), 0777) == 0) {
      if (made) made->push_back(prefix);
    } else if (errno != EEXIST) {
      throw AppError(kErrFile, "MakeFolders",
                     "フォルダを作成できません：" + prefix + "（" + std::strerror(errno) + "）");
    }
  }
}

namespace {

// One look at the target: a folder refuses the write, a read-only file is made writable. A
// missing target says nothing of its folder, which the temporary file shows.
void PrepareTarget(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) RaiseFileError("ファイルを書き込めません", path, EISDIR);
    if ((st.st_mode & S_IWUSR) == 0)
      ::chmod(path.c_str(), st.st_mode | S_IWUSR);  // clear the read-only permission
  }
}

// Writes content to a new temporary file next to path, making the folders when they are
// missing, and returns it open no more.
void WriteTemporary(TempFile& temp, const std::string& path, const std::string& folder,
                    std::string_view content, std::vector<std::string>* made_folders) {
  SweepStaleTempFiles(folder);
  const std::string stem = TempStem(folder, GetFileName(path));
  temp.Open(stem);
  if (temp.Fd() < 0 && (errno == ENOENT || errno == ENOTDIR) && !folder.empty()) {
    // The folder is missing: made here (or refused with its own error), then the file.
    MakeFolders(folder, made_folders);
    temp.Open(stem);
  }
  if (temp.Fd() < 0) RaiseFileError("ファイルを書き込めません", path, errno);
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    ssize_t n = ::write(temp.Fd(), data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseFileError("ファイルを書き込めません", path, errno);
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  if (!temp.Close()) RaiseFileError("ファイルを書き込めません", path, errno);
}

// Puts the written temporary file in place of path and records its folder for the flush.
void PutInPlace(const std::string& temp, const std::string& path) {
  if (Fault()) Fault()(path);
  if (::rename(temp.c_str(), path.c_str()) != 0)
    RaiseFileError("ファイルを書き込めません", path, errno);
  std::string folder = GetParentFolder(path);
  std::lock_guard<std::mutex> lock(RecordsMutex());
  WrittenFolders().insert(folder.empty() ? std::string("./") : folder);
}

}  // namespace

void MakeFile(std::string_view path_view, std::string_view content) {
  std::string path(path_view);
  PrepareTarget(path);
  TempFile temp;
  WriteTemporary(temp, path, GetParentFolder(path), content, nullptr);
  PutInPlace(temp.Path(), path);
  temp.Keep();
}

StagedFile StageFile(std::string_view path, std::string_view content,
                     std::vector<std::string>* made_folders) {
  StagedFile staged{std::string(path), {}};
  TempFile temp;
  WriteTemporary(temp, staged.path, GetParentFolder(staged.path), content, made_folders);
  temp.Keep();
  staged.temp = temp.Path();
  return staged;
}

void CommitStagedFile(const StagedFile& file, bool target_seen_free) {
  try {
    if (!target_seen_free) PrepareTarget(file.path);
    PutInPlace(file.temp, file.path);
  } catch (...) {
    DiscardStagedFile(file);
    throw;
  }
}

void DiscardStagedFile(const StagedFile& file) {
  ::unlink(file.temp.c_str());
}

namespace {

std::function<int(const std::string&)>& SyncFault() {
  static std::function<int(const std::string&)> fault;
  return fault;
}

// One syncfs of every file system that holds one of the folders; the first failure's message,
// empty when none failed.
std::string SyncFileSystems(const std::set<std::string>& folders) {
  std::set<dev_t> flushed;
  for (const std::string& folder : folders) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || flushed.count(st.st_dev)) continue;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) continue;  // gone since: nothing of it is left to flush
    flushed.insert(st.st_dev);
    int rc = ::syncfs(fd);
    int err = errno;
    ::close(fd);
    if (rc == 0 && SyncFault()) {
      err = SyncFault()(folder);
      rc = err == 0 ? 0 : -1;
    }
    if (rc != 0) return folder + "（" + std::strerror(err) + "）";
  }
  return {};
}

// The flush started ahead of a run's end, and what it found. The thread is waited for before
// another starts, by FlushWrittenFiles, and when the program ends.
class EarlyFlush {
 public:
  ~EarlyFlush() { Wait(); }
  void Start(std::set<std::string> folders) {
    Wait();
    thread_ = std::thread([this, folders = std::move(folders)] {
      std::string failure = SyncFileSystems(folders);
      std::lock_guard<std::mutex> lock(mutex_);
      if (failure_.empty()) failure_ = std::move(failure);
    });
  }
  void Wait() {
    if (thread_.joinable()) thread_.join();
  }
  // The failure found since the last call, cleared.
  std::string TakeFailure() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(failure_, {});
  }

 private:
  std::mutex mutex_;
  std::string failure_;
  std::thread thread_;
};

EarlyFlush& TheEarlyFlush() {
  // The fault hook the flush's thread calls is made first, so it outlives the flush at exit.
  SyncFault();
  static EarlyFlush flush;
  return flush;
}

}  // namespace

void StartFlushingWrittenFiles() {
  std::set<std::string> folders;
  {
    std::lock_guard<std::mutex> lock(RecordsMutex());
    folders = WrittenFolders();
  }
  if (!folders.empty()) TheEarlyFlush().Start(std::move(folders));
}

void FlushWrittenFiles() {
  std::set<std::string> folders;
  {
    std::lock_guard<std::mutex> lock(RecordsMutex());
    folders.swap(WrittenFolders());
  }
  // A write-back failure is told to the first flush that looks, which may be the early one.
  TheEarlyFlush().Wait();
  std::string failure = TheEarlyFlush().TakeFailure();
  std::string now = SyncFileSystems(folders);
  if (failure.empty()) failure = std::move(now);
  if (!failure.empty())
    throw AppError(kErrFile, "FlushWrittenFiles",
                   "書き込んだファイルをディスクに保存できません：" + failure);
}

void SetMakeFileFaultForTesting(std::function<void(const std::string&)> fault) {
  Fault() = std::move(fault);
}

void SetSyncFaultForTesting(std::function<int(const std::string&)> fault) {
  SyncFault() = std::move(fault);
}

}  // namespace lanereport
