#include "workbook/xlsx/CellRef.h"

#include <algorithm>

namespace lanereport {

std::string ColumnName(int column) {
  std::string name;
  while (column > 0) {
    int rest = (column - 1) % 26;
    name.insert(name.begin(), static_cast<char>('A' + rest));
    column = (column - 1) / 26;
  }
  return name;
}

std::string CellName(int row, int column) {
  return ColumnName(column) + std::to_string(row);
}

int ColumnNumber(std::string_view letters) {
  if (letters.empty() || letters.size() > 3) return 0;
  int number = 0;
  for (char c : letters) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') return 0;
    number = number * 26 + (c - 'A' + 1);
  }
  return number <= kMaxColumns ? number : 0;
}

std::optional<std::pair<int, int>> ParseCellName(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '$') ++i;
  std::size_t letters_begin = i;
  while (i < text.size() &&
         ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z'))) {
    ++i;
  }
  int column = ColumnNumber(text.substr(letters_begin, i - letters_begin));
  if (column == 0) return std::nullopt;
  if (i < text.size() && text[i] == '$') ++i;
  std::size_t digits_begin = i;
  long row = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    row = row * 10 + (text[i] - '0');
    if (row > kMaxRows) return std::nullopt;
    ++i;
  }
  if (i == digits_begin || i != text.size() || row < 1) return std::nullopt;
  return std::make_pair(static_cast<int>(row), column);
}

std::optional<CellArea> ParseArea(std::string_view text) {
  auto colon = text.find(':');
  auto first = ParseCellName(text.substr(0, colon));
  if (!first) return std::nullopt;
  auto last = first;
  if (colon != std::string_view::npos) {
    last = ParseCellName(text.substr(colon + 1));
    if (!last) return std::nullopt;
  }
  CellArea area;
  area.first_row = std::min(first->first, last->first);
  area.last_row = std::max(first->first, last->first);
  area.first_column = std::min(first->second, last->second);
  area.last_column = std::max(first->second, last->second);
  return area;
}

std::string AreaName(const CellArea& area) {
  std::string first = CellName(area.first_row, area.first_column);
  if (area.first_row == area.last_row && area.first_column == area.last_column) return first;
  return first + ":" + CellName(area.last_row, area.last_column);
}

}  // namespace lanereport
