#include "FuzzSupport.h"

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

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

std::string MakeFolder() {
  struct stat st {};
  std::string base =
      ::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0
          ? "/dev/shm"
          : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
  std::string pattern = base + "/lanereport-fuzz-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data())) {
    std::perror("lanereport fuzz: cannot make a temporary folder");
    std::abort();
  }
  FolderPath() = buffer.data();
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
