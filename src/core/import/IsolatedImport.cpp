#include "import/IsolatedImport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <random>
#include <sstream>

#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr const char* kSource = "ImportMdb";
// CPU seconds the reading child may use; a damaged file can make the library loop.
constexpr rlim_t kChildCpuSeconds = 300;
constexpr int kChildRefused = 1;

// The folder part of a path, ending with "/", or "" for a bare file name.
std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

void RemoveDatabaseFiles(const std::string& path) {
  for (const char* side : {"", "-journal", "-wal", "-shm"}) std::remove((path + side).c_str());
}

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

// The report as lines of tab-separated fields, ending with "END".
std::string Serialize(const ImportReport& report) {
  std::ostringstream out;
  out << "V\t" << report.jet_version << "\n";
  out << "C\t" << OneLine(report.text_encoding) << "\t" << report.header_code_page << "\n";
  for (const auto& [table, rows] : report.rows) out << "T\t" << table << "\t" << rows << "\n";
  out << "F\t" << report.rows_checked << "\t" << report.rows_failed << "\t" << report.values_failed
      << "\n";
  for (const std::string& note : report.notes) out << "N\t" << OneLine(note) << "\n";
  out << "END\n";
  return out.str();
}

std::optional<ImportReport> Deserialize(const std::string& text) {
  ImportReport report;
  bool ended = false;
  for (const std::string& line : Split(text, '\n')) {
    std::vector<std::string> f = Split(line, '\t');
    if (f[0] == "END") ended = true;
    if (f[0] == "V" && f.size() == 2)
      report.jet_version = static_cast<int>(ParseInteger(f[1]).value_or(0));
    if (f[0] == "C" && f.size() == 3) {
      report.text_encoding = f[1];
      report.header_code_page = static_cast<std::uint16_t>(ParseInteger(f[2]).value_or(0));
    }
    if (f[0] == "T" && f.size() == 3)
      report.rows.emplace_back(f[1], static_cast<std::size_t>(ParseInteger(f[2]).value_or(0)));
    if (f[0] == "F" && f.size() == 4) {
      auto count = [](const std::string& text) {
        return static_cast<std::size_t>(ParseInteger(text).value_or(0));
      };
      report.rows_checked = count(f[1]);
      report.rows_failed = count(f[2]);
      report.values_failed = count(f[3]);
    }
    if (f[0] == "N" && f.size() == 2) report.notes.push_back(f[1]);
  }
  if (!ended) return std::nullopt;
  return report;
}

void WriteAll(int fd, const std::string& text) {
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
}

// The child: reads the Jet file into temp and reports through fd. Never returns.
[[noreturn]] void RunChild(int fd, const std::string& mdb_path, const std::string& temp,
                           const ImportOptions& options) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) std::signal(sig, SIG_DFL);
  // The library writes its own complaints to standard error; the parent says what matters.
  int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) ::dup2(null, STDERR_FILENO);
  struct rlimit cpu {
    kChildCpuSeconds, kChildCpuSeconds
  };
  ::setrlimit(RLIMIT_CPU, &cpu);
  int status = 0;
  try {
    WriteAll(fd, Serialize(ImportMdbHere(mdb_path, temp, options)));
  } catch (const AppError& error) {
    WriteAll(fd, "E\t" + OneLine(error.Description()) + "\n");
    status = kChildRefused;
  } catch (...) {
    status = 3;
  }
  ::_exit(status);
}

std::string TempBeside(const std::string& target) {
  std::random_device random;
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".import-%d-%08x", static_cast<int>(::getpid()),
                static_cast<unsigned>(random()));
  return FolderOf(target) + "." + NameOf(target) + suffix;
}

// Moves temp to target unless target exists by then.
bool RenameNoReplace(const std::string& temp, const std::string& target) {
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno == EEXIST) return false;
  // File systems without the no-replace rename: a hard link fails when target exists.
  if (::link(temp.c_str(), target.c_str()) == 0) {
    ::unlink(temp.c_str());
    return true;
  }
  if (errno == EEXIST) return false;
  if (Exists(target)) return false;
  return std::rename(temp.c_str(), target.c_str()) == 0;
}

}  // namespace

std::string DefaultImportTarget(const std::string& mdb_path) {
  std::string folder = FolderOf(mdb_path);
  std::string name = NameOf(mdb_path);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return folder + name + ".db";
}

std::optional<ImportReport> ImportMdb(const std::string& mdb_path, const std::string& target,
                                      const ImportOptions& options,
                                      const std::function<bool()>& stopped) {
  if (Exists(target))
    throw AppError(kErrFile, kSource, "すでにあるファイルには書き込みません：" + target);
  std::string folder = FolderOf(target);
  struct stat st {};
  if (!folder.empty() && (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
    throw AppError(kErrFile, kSource, "フォルダがありません：" + folder);
  // What the header tells is checked here, before any child: these refusals need no library.
  CheckJetPassword(mdb_path, options);

  std::string temp = TempBeside(target);
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0)
    throw AppError(kErrFile, kSource, "読み込みを始められません：" + mdb_path);
  pid_t child = ::fork();
  if (child < 0) {
    ::close(pipe_fds[0]);
    ::close(pipe_fds[1]);
    throw AppError(kErrFile, kSource, "読み込みを始められません：" + mdb_path);
  }
  if (child == 0) {
    ::close(pipe_fds[0]);
    RunChild(pipe_fds[1], mdb_path, temp, options);
  }
  ::close(pipe_fds[1]);

  std::string output;
  bool ended_by_stop = false;
  char buffer[4096];
  for (;;) {
    pollfd pfd{pipe_fds[0], POLLIN, 0};
    int ready = ::poll(&pfd, 1, 200);
    if (stopped && !ended_by_stop && stopped()) {
      ::kill(child, SIGTERM);
      ended_by_stop = true;
    }
    if (ready <= 0) continue;
    ssize_t n = ::read(pipe_fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    output.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipe_fds[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (stopped && !ended_by_stop && stopped()) ended_by_stop = true;

  if (ended_by_stop) {
    RemoveDatabaseFiles(temp);
    return std::nullopt;
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == kChildRefused && StartsWith(output, "E\t")) {
    RemoveDatabaseFiles(temp);
    std::string message = output.substr(2);
    while (!message.empty() && message.back() == '\n') message.pop_back();
    throw AppError(kErrInvalidValue, kSource, message);
  }
  std::optional<ImportReport> report;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) report = Deserialize(output);
  if (!report) {
    RemoveDatabaseFiles(temp);
    throw AppError(kErrInvalidValue, kSource, mdb_path + " は壊れているため読み込めません");
  }
  for (const char* side : {"-journal", "-wal", "-shm"}) std::remove((temp + side).c_str());
  if (!RenameNoReplace(temp, target)) {
    RemoveDatabaseFiles(temp);
    throw AppError(kErrFile, kSource, "すでにあるファイルには書き込みません：" + target);
  }
  return report;
}

}  // namespace lanereport
