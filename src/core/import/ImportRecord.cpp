#include "import/ImportRecord.h"

#include <fcntl.h>
#include <nettle/sha2.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>

#include "database/Database.h"
#include "database/Recordset.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr const char* kSource = "ImportRecord";

std::string LocalTime(std::int64_t seconds, const char* format) {
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

bool IsHexDigest(const std::string& text) {
  return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

}  // namespace

std::string Sha256OfFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw AppError(kErrFile, kSource, "ファイルを読めません：" + path);
  sha256_ctx ctx;
  sha256_init(&ctx);
  unsigned char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      throw AppError(kErrFile, kSource, "ファイルを読めません：" + path);
    }
    if (n == 0) break;
    sha256_update(&ctx, static_cast<std::size_t>(n), buffer);
  }
  ::close(fd);
  unsigned char digest[SHA256_DIGEST_SIZE];
  sha256_digest(&ctx, SHA256_DIGEST_SIZE, digest);
  static const char* const kHex = "0123456789abcdef";
  std::string text;
  for (unsigned char b : digest) {
    text += kHex[b >> 4];
    text += kHex[b & 15];
  }
  return text;
}

SourceStamp StampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    throw AppError(kErrFile, kSource, "ファイルを読めません：" + path);
  SourceStamp stamp;
  std::error_code ignored;
  std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  stamp.path = absolute.empty() ? path : absolute.lexically_normal().string();
  stamp.size = static_cast<std::int64_t>(st.st_size);
  stamp.mtime_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  stamp.sha256 = Sha256OfFile(path);
  return stamp;
}

void WriteImportRecord(Database& db, const SourceStamp& stamp) {
  db.ExecuteNative(std::string("CREATE TABLE IF NOT EXISTS \"") + kImportRecordTable +
                   "\" (\"Source_Path\" TEXT, \"Source_Size\" INTEGER, \"Source_Time\" INTEGER, "
                   "\"Source_SHA256\" TEXT, \"Imported_At\" TEXT)");
  db.ExecuteNative(std::string("DELETE FROM \"") + kImportRecordTable + "\"");
  db.Write(std::string("INSERT INTO \"") + kImportRecordTable +
               "\" (\"Source_Path\", \"Source_Size\", \"Source_Time\", \"Source_SHA256\", "
               "\"Imported_At\") VALUES (?, ?, ?, ?, ?)",
           {Value(stamp.path), Value(static_cast<long long>(stamp.size)),
            Value(static_cast<long long>(stamp.mtime_ns)), Value(stamp.sha256),
            Value(LocalTime(std::time(nullptr), "%Y/%m/%d %H:%M:%S"))});
}

std::optional<SourceStamp> ReadImportRecord(Database& db) {
  if (!db.HasTable(kImportRecordTable)) return std::nullopt;
  std::optional<SourceStamp> found;
  try {
    db.ReadRows(
        std::string("SELECT Source_Path, Source_Size, Source_Time, Source_SHA256 FROM ") +
            kImportRecordTable,
        [&found](const RowView& row) {
          if (found || !row.IsText(0) || !row.IsInteger(1) || !row.IsInteger(2) || !row.IsText(3))
            return;
          SourceStamp stamp;
          stamp.path = std::string(row.Text(0));
          stamp.size = row.Integer(1);
          stamp.mtime_ns = row.Integer(2);
          stamp.sha256 = std::string(row.Text(3));
          if (IsHexDigest(stamp.sha256)) found = stamp;
        });
  } catch (const AppError&) {
    // A record table of another shape is no record; a damaged database is found when it is
    // opened for its work.
    return std::nullopt;
  }
  return found;
}

bool SameSource(const SourceStamp& recorded, const SourceStamp& now) {
  return recorded.size == now.size && recorded.mtime_ns == now.mtime_ns &&
         recorded.sha256 == now.sha256;
}

std::string StampTimeText(const SourceStamp& stamp) {
  std::int64_t seconds = stamp.mtime_ns / 1000000000;
  if (stamp.mtime_ns < 0 && stamp.mtime_ns % 1000000000 != 0) --seconds;
  return LocalTime(seconds, "%Y/%m/%d %H:%M");
}

}  // namespace lanereport
