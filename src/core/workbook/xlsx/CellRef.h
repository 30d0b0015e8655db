#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lanereport {

// Cell addresses in the A1 notation of workbook files. Rows and columns are 1-based.

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;

// A rectangle of cells, corners included.
struct CellArea {
  int first_row = 1;
  int first_column = 1;
  int last_row = 1;
  int last_column = 1;

  bool Contains(int row, int column) const {
    return row >= first_row && row <= last_row && column >= first_column && column <= last_column;
  }
  bool operator==(const CellArea&) const = default;
};

// "A" for 1, "Z" for 26, "AA" for 27, up to "XFD".
std::string ColumnName(int column);
// "B3" for row 3, column 2.
std::string CellName(int row, int column);
// The column number of letters ("a" and "A" alike), or 0 when they name no column.
int ColumnNumber(std::string_view letters);
// Row and column of "B3" or "$B$3"; nothing when the text is not a cell address in the sheet.
std::optional<std::pair<int, int>> ParseCellName(std::string_view text);
// "A1:C3" or a single cell "B2"; nothing for anything else.
std::optional<CellArea> ParseArea(std::string_view text);
// "A1:C3", or "B2" when the area is one cell.
std::string AreaName(const CellArea& area);

// A sortable key of a cell: row-major order.
inline std::uint64_t CellKey(int row, int column) {
  return (static_cast<std::uint64_t>(row) << 16) | static_cast<std::uint64_t>(column);
}

}  // namespace lanereport
