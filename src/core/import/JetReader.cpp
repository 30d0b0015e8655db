#include "import/JetReader.h"

#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <deque>

// The library's header uses glib's types without including glib first in C++.
#include <glib.h>
// clang-format off
#include <mdbtools.h>
// clang-format on

#include "import/JetText.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr const char* kSource = "JetReader";
constexpr int kOffsetMask = 0x1FFF;
constexpr std::size_t kMemoHeader = 12;

[[noreturn]] void Damaged(const std::string& path, const std::string& what) {
  throw AppError(kErrInvalidValue, kSource,
                 path + " は壊れているため読み込めません（" + what + "）");
}

std::uint32_t Get32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::string GuidText(const unsigned char* k) {
  char text[40];
  std::snprintf(text, sizeof text,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", k[3],
                k[2], k[1], k[0], k[5], k[4], k[7], k[6], k[8], k[9], k[10], k[11], k[12], k[13],
                k[14], k[15]);
  return text;
}

}  // namespace

struct JetReader::Library {
  MdbHandle* mdb = nullptr;
  // The catalog entries: MSysObjects, then the user tables, made here from MSysObjects (the
  // library's own catalog reading also parses every object's properties, which loops on
  // damaged ones).
  std::deque<MdbCatalogEntry> entries;
  ~Library() {
    if (mdb) mdb_close(mdb);
  }

  std::size_t PageSize() const { return static_cast<std::size_t>(mdb->fmt->pg_size); }

  // The bytes of row `row` of the page in buf, or false when the page's row table does not
  // hold such a row.
  bool RowOf(const unsigned char* buf, unsigned row, std::size_t& start, std::size_t& end) const {
    std::size_t rco = mdb->fmt->row_count_offset;
    std::size_t page = PageSize();
    if (rco + 2 + 2 * (row + 1) > page) return false;
    unsigned rows = buf[rco] | buf[rco + 1] << 8;
    if (row >= rows) return false;
    start = (buf[rco + 2 + 2 * row] | buf[rco + 3 + 2 * row] << 8) & kOffsetMask;
    end = row == 0 ? page : (buf[rco + 2 * row] | buf[rco + 1 + 2 * row] << 8) & kOffsetMask;
    return start <= end && end <= page;
  }

  // One row of a long-value page named by its page-and-row pointer, copied out.
  bool LongValueRow(std::uint32_t pg_row, std::string& bytes) {
    std::uint32_t page = pg_row >> 8;
    if (page == 0) return false;
    if (mdb_read_alt_pg(mdb, page) != static_cast<ssize_t>(PageSize())) return false;
    const unsigned char* buf = mdb->alt_pg_buf;
    std::size_t start = 0, end = 0;
    if (buf[0] != MDB_PAGE_DATA || !RowOf(buf, pg_row & 0xFF, start, end)) return false;
    bytes.assign(reinterpret_cast<const char*>(buf) + start, end - start);
    return true;
  }
};

JetReader::JetReader(const std::string& path, const std::string& jet3_code_page)
    : path_(path), header_(ReadJetHeader(path)), library_(std::make_unique<Library>()) {
  if (header_.version == 3) code_page_ = std::make_unique<CodePageText>(jet3_code_page);
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) file_size_ = static_cast<std::uint64_t>(st.st_size);
  library_->mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (!library_->mdb) Damaged(path_, "開けません");
  if (static_cast<std::size_t>(library_->mdb->fmt->pg_size) != header_.page_size)
    Damaged(path_, "ページの大きさ");
  // MSysObjects, the catalog, is the table whose definition is on page 2.
  MdbCatalogEntry catalog{};
  catalog.mdb = library_->mdb;
  catalog.object_type = MDB_TABLE;
  catalog.table_pg = 2;
  std::snprintf(catalog.object_name, sizeof catalog.object_name, "MSysObjects");
  library_->entries.push_back(catalog);
  JetTable objects = ReadEntry(0, "MSysObjects");
  auto column = [&](const char* name) -> std::size_t {
    for (std::size_t c = 0; c < objects.columns.size(); ++c)
      if (EqualsIgnoreCase(objects.columns[c].name, name)) return c;
    Damaged(path_, "カタログ");
  };
  std::size_t id = column("Id"), name = column("Name"), type = column("Type"),
              flags = column("Flags");
  for (const std::vector<Value>& row : objects.rows) {
    // Type 1 is a local table; the flags 0x80000000 and 0x2 mark the system's own tables.
    if (row[type].ToInt() != 1 || (row[flags].ToInt() & 0x80000002) != 0) continue;
    const std::string* text = row[name].TextIf();
    if (!text || text->empty() || text->size() > MDB_MAX_OBJ_NAME) continue;
    MdbCatalogEntry entry{};
    entry.mdb = library_->mdb;
    entry.object_type = MDB_TABLE;
    entry.table_pg = static_cast<unsigned long>(row[id].ToInt() & 0x00FFFFFF);
    std::snprintf(entry.object_name, sizeof entry.object_name, "%s", text->c_str());
    library_->entries.push_back(entry);
    tables_.push_back(*text);
  }
}

JetReader::~JetReader() = default;

std::string JetReader::TextEncoding() const {
  return code_page_ ? code_page_->Name() : "UCS-2";
}

JetTable JetReader::ReadTable(const std::string& name) {
  for (std::size_t t = 0; t < tables_.size(); ++t)
    if (EqualsIgnoreCase(tables_[t], name)) return ReadEntry(t + 1, tables_[t]);
  throw AppError(kErrInvalidValue, kSource, "テーブルがありません：" + name);
}

JetTable JetReader::ReadEntry(std::size_t entry, const std::string& name) {
  MdbHandle* mdb = library_->mdb;
  std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> table(
      mdb_read_table(&library_->entries[entry]), mdb_free_tabledef);
  if (!table) Damaged(path_, "テーブル " + name + " の定義");
  if (!mdb_read_columns(table.get()) || !table->columns || table->columns->len != table->num_cols)
    Damaged(path_, "テーブル " + name + " の列");

  JetTable result;
  result.name = name;
  for (unsigned c = 0; c < table->num_cols; ++c) {
    auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
    JetColumn column;
    column.name = col->name;
    column.type = col->col_type;
    result.columns.push_back(column);
  }

  auto text = [&](std::string_view bytes, JetColumn& column) {
    DecodedText decoded = code_page_ ? code_page_->Decode(bytes) : DecodeJet4Text(bytes);
    if (decoded.replaced) ++column.replaced_text;
    return Value(std::move(decoded.utf8));
  };
  // A memo: inline after its 12-byte header, in one long-value row, or in a chain of them.
  auto memo = [&](const unsigned char* p, std::size_t size, JetColumn& column) {
    if (size < kMemoHeader) Damaged(path_, name + "." + column.name + " のメモ");
    std::uint32_t length = Get32(p) & 0x00FFFFFF;
    std::uint8_t flags = p[3];
    std::string bytes;
    if (flags & 0x80) {
      bytes.assign(reinterpret_cast<const char*>(p) + kMemoHeader, size - kMemoHeader);
    } else if (flags & 0x40) {
      if (!library_->LongValueRow(Get32(p + 4), bytes))
        Damaged(path_, name + "." + column.name + " のメモ");
    } else if (flags == 0) {
      std::uint32_t next = Get32(p + 4);
      std::uint64_t pages_left = file_size_ / header_.page_size + 1;
      while (next != 0 && bytes.size() < length) {
        std::string piece;
        if (pages_left-- == 0 || !library_->LongValueRow(next, piece) || piece.size() < 4)
          Damaged(path_, name + "." + column.name + " のメモ");
        next = Get32(reinterpret_cast<const unsigned char*>(piece.data()));
        bytes.append(piece, 4, std::string::npos);
      }
    } else {
      Damaged(path_, name + "." + column.name + " のメモ");
    }
    if (bytes.size() > length) bytes.resize(length);
    return text(bytes, column);
  };

  std::vector<MdbField> fields(table->num_cols);
  std::size_t page = library_->PageSize();
  // The library walks the table's pages by its usage map without looking at it first: a map
  // that could not be read, or one too short for its first page number, is damage.
  if (!table->usage_map || table->map_sz < 5) Damaged(path_, "テーブル " + name + " の行");
  mdb_rewind_table(table.get());
  while (mdb_fetch_row(table.get())) {
    if (result.rows.size() > file_size_ / 4) Damaged(path_, "テーブル " + name + " の行");
    // The library has found the row on the current page; split it again to see its nulls.
    int row_start = 0;
    std::size_t row_size = 0;
    if (table->cur_row == 0 ||
        mdb_find_row(mdb, static_cast<int>(table->cur_row - 1), &row_start, &row_size) != 0)
      Damaged(path_, "テーブル " + name + " の行");
    row_start &= kOffsetMask;
    if (static_cast<std::size_t>(row_start) + row_size > page)
      Damaged(path_, "テーブル " + name + " の行");
    std::memset(fields.data(), 0, fields.size() * sizeof(MdbField));
    int count = mdb_crack_row(table.get(), row_start, row_size, fields.data());
    if (count < 0) Damaged(path_, "テーブル " + name + " の行");

    std::vector<Value> values(table->num_cols);
    for (int i = 0; i < count && i < static_cast<int>(table->num_cols); ++i) {
      const MdbField& f = fields[i];
      if (f.colnum < 0 || f.colnum >= static_cast<int>(table->num_cols)) continue;
      auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, f.colnum));
      JetColumn& column = result.columns[f.colnum];
      if (col->col_type == MDB_BOOL) {
        values[f.colnum] = Value(f.is_null ? 0 : 1);
        continue;
      }
      if (f.is_null) continue;
      if (f.start < 0 || f.siz < 0 || static_cast<std::size_t>(f.start) + f.siz > page)
        Damaged(path_, name + "." + column.name);
      const unsigned char* p = mdb->pg_buf + f.start;
      auto size = static_cast<std::size_t>(f.siz);
      auto need = [&](std::size_t bytes) {
        if (size < bytes) Damaged(path_, name + "." + column.name);
      };
      Value& v = values[f.colnum];
      switch (col->col_type) {
        case MDB_BYTE:
          need(1);
          v = Value(static_cast<int>(p[0]));
          break;
        case MDB_INT:
          need(2);
          v = Value(static_cast<int>(static_cast<std::int16_t>(p[0] | p[1] << 8)));
          break;
        case MDB_LONGINT:
          need(4);
          v = Value(static_cast<long long>(static_cast<std::int32_t>(Get32(p))));
          break;
        case MDB_MONEY: {
          need(8);
          std::uint64_t raw = Get32(p) | static_cast<std::uint64_t>(Get32(p + 4)) << 32;
          v = Value(CurrencyText(static_cast<std::int64_t>(raw)));
          break;
        }
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_DATETIME: {
          double d = 0;
          if (col->col_type == MDB_FLOAT) {
            need(4);
            float f32 = 0;
            std::memcpy(&f32, p, 4);
            d = f32;
          } else {
            need(8);
            std::memcpy(&d, p, 8);
          }
          if (std::isnan(d)) {
            ++column.dropped;
          } else if (col->col_type != MDB_DATETIME) {
            v = Value(d);
          } else if (auto date = JetDateText(d)) {
            v = Value(*date);
          } else {
            ++column.dates_as_number;
            v = Value(d);
          }
          break;
        }
        case MDB_NUMERIC:
          need(17);
          v = Value(NumericText(p, col->col_scale));
          break;
        case MDB_REPID:
          need(16);
          v = Value(GuidText(p));
          break;
        case MDB_TEXT:
          v = text(std::string_view(reinterpret_cast<const char*>(p), size), column);
          break;
        case MDB_MEMO:
          v = memo(p, size, column);
          break;
        default:  // binary and OLE data, and kinds this program has no use for
          ++column.dropped;
          break;
      }
    }
    result.rows.push_back(std::move(values));
  }
  // The library ends a table silently at a page it cannot read; the definition's row count
  // tells when rows were lost that way.
  if (result.rows.size() < table->num_rows)
    Damaged(path_, "テーブル " + name + " の行が足りません");
  return result;
}

}  // namespace lanereport
