#include "FuzzSupport.h"

#include <dirent.h>
#include <ftw.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "util/Make.h"

namespace lanereport::fuzz {
namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  return ::remove(path);
}

std::string& FolderPath() {
  static std::string path;
  return path;
}

void RemoveFolder() {
  if (!FolderPath().empty()) ::nftw(FolderPath().c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string BaseFolder() {
  struct stat st {};
  if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0)
    return "/dev/shm";
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp ? tmp : "/tmp";
}

// libFuzzer ends a run without running exit handlers, so each process's folder is named after
// it and the folders of processes that are gone are removed by the next one.
void RemoveFoldersOfEndedRuns(const std::string& base) {
  DIR* dir = ::opendir(base.c_str());
  if (!dir) return;
  const std::string prefix = "lanereport-fuzz-";
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.rfind(prefix, 0) != 0) continue;
    long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
    if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
      ::nftw((base + "/" + name).c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  }
  ::closedir(dir);
}

std::string MakeFolder() {
  std::string base = BaseFolder();
  RemoveFoldersOfEndedRuns(base);
  FolderPath() = base + "/lanereport-fuzz-" + std::to_string(::getpid());
  ::nftw(FolderPath().c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  if (::mkdir(FolderPath().c_str(), 0700) != 0) {
    std::perror("lanereport fuzz: cannot make a temporary folder");
    std::abort();
  }
  std::atexit(RemoveFolder);
  return FolderPath();
}

}  // namespace

const std::string& FuzzFolder() {
  static const std::string folder = MakeFolder();
  return folder;
}

std::string WriteFuzzFile(std::string_view name, std::string_view bytes) {
  std::string path = FuzzFolder() + "/" + std::string(name);
  MakeFile(path, bytes);
  return path;
}

void Broken(std::string_view what, std::string_view detail) {
  std::fprintf(stderr, "\n==lanereport fuzz== broken promise: %.*s\n",
               static_cast<int>(what.size()), what.data());
  if (!detail.empty())
    std::fprintf(stderr, "==lanereport fuzz== %.*s\n", static_cast<int>(detail.size()),
                 detail.data());
  std::abort();
}

}  // namespace lanereport::fuzz
