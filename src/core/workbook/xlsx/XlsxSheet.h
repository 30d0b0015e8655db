#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "workbook/xlsx/CellRef.h"

namespace lanereport {

class XlsxWorkbook;
class XlsxSheet;

// How a text typed into a cell is stored: a text that reads as a number (blanks around, a
// sign, decimals and an exponent allowed) becomes the number; a text starting with an
// apostrophe becomes the rest of the text, kept as text by the quote prefix; an empty text
// empties the cell; any other text is stored as text (so "TRUE", "=1+2", "12%" and
// "2003/12/31" stay texts).
struct TypedEntry {
  enum class Kind { kEmpty, kNumber, kText, kQuotedText };
  Kind kind = Kind::kEmpty;
  double number = 0;
  std::string text;
};
TypedEntry ClassifyTypedText(std::string_view text);

enum class CellType { kEmpty, kNumber, kText, kBool, kError };

// What one cell holds.
struct CellContent {
  CellType type = CellType::kEmpty;
  double number = 0;           // kNumber; kBool as 1 or 0
  std::string text;            // kText, and kError ("#DIV/0!")
  std::string formula;         // without "="; "" for a constant. Shared formulas are resolved.
  bool has_cached = false;     // a formula with a stored result, which type/number/text hold
  bool array_formula = false;  // the formula fills an area (entered as an array formula)
  int style = 0;               // the cell's format index (the row's or column's for a new cell)
};

// One cell as Cells(row, column) hands it out. Valid while its sheet lives.
class XlsxCell {
 public:
  XlsxCell(XlsxSheet& sheet, int row, int column) : sheet_(&sheet), row_(row), column_(column) {}
  // Stores text as typed into the cell (see TypedEntry).
  void SetValue(std::string_view text);
  // The stored value as text: numbers in their shortest exact form, "TRUE"/"FALSE", texts
  // and error values as they are, the cached result of a formula; "" for an empty cell.
  std::string Value() const;
  int Row() const { return row_; }
  int Column() const { return column_; }

 private:
  XlsxSheet* sheet_;
  int row_;
  int column_;
};

// One worksheet of an open workbook: its part held as an XML tree with an index of rows and
// cells. Writing a cell changes only that cell's element; everything else of the part is
// written back as it was read. Owned by its XlsxWorkbook.
class XlsxSheet {
 public:
  // Reads the worksheet part (xml) and its relationships part (rels_xml, may be empty).
  // Raises AppError (kErrFile) when either is malformed or the part is no worksheet.
  XlsxSheet(XlsxWorkbook& book, std::string name, std::string part_name, std::string_view xml,
            std::string_view rels_xml);
  XlsxSheet(const XlsxSheet&) = delete;
  XlsxSheet& operator=(const XlsxSheet&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& PartName() const { return part_name_; }

  // The cell at a 1-based row and column. Raises AppError (kErrInvalidValue,
  // "[XlsxSheet]Cells") for a position outside the sheet.
  XlsxCell Cells(int row, int column);
  // Cells(row, column).SetValue(text).
  void SetValue(int row, int column, std::string_view text);
  CellContent Content(int row, int column) const;

  // Calls visit for every cell element within the area, row by row, left to right.
  void ForEachCell(const CellArea& area,
                   const std::function<void(int row, int column)>& visit) const;
  // Row and column of every cell holding a formula, row by row.
  std::vector<std::pair<int, int>> FormulaCells() const;
  // The cells holding a value, a formula or a format, together with merged areas; nothing for
  // a sheet without any.
  std::optional<CellArea> UsedRange() const;
  const std::vector<CellArea>& MergedCells() const { return merges_; }

  // Stored column width: characters of the default font's digit width, padding included.
  double ColumnWidth(int column) const;
  bool ColumnHidden(int column) const;
  double RowHeight(int row) const;  // in points
  bool RowHidden(int row) const;
  // The format a cell without its own element shows: the row's, else the column's, else 0.
  int DefaultStyle(int row, int column) const;
  // The drawing part of the sheet (pictures, charts), or "".
  const std::string& DrawingPart() const { return drawing_part_; }

  // Stores result (its type, number and text; kEmpty for none) as the stored result of the
  // formula in the cell. It is no write: what depends on the cell stays as it was for
  // WrittenIn and for the evaluator. Returns true when the cell's element changed; a cell
  // without a formula, or one already holding that result, is left as it is.
  bool SetFormulaResult(int row, int column, const CellContent& result);

  // True when a cell of the area was written since the workbook was opened.
  bool WrittenIn(const CellArea& area) const;
  bool HasWrites() const { return !written_.empty(); }
  // True when the part must be written back.
  bool Changed() const { return changed_; }
  // The part's XML with the dimension brought up to date.
  std::string Serialize();

 private:
  // A row's cells by column, in column order: a sorted array, since cells mostly come and are
  // added in column order and a row holds few of them.
  class CellIndex {
   public:
    using Entry = std::pair<int, pugi::xml_node>;
    using const_iterator = std::vector<Entry>::const_iterator;
    const_iterator begin() const { return cells_.begin(); }
    const_iterator end() const { return cells_.end(); }
    // The first cell at or after the column.
    const_iterator lower_bound(int column) const {
      return std::lower_bound(cells_.begin(), cells_.end(), column,
                              [](const Entry& e, int c) { return e.first < c; });
    }
    const_iterator find(int column) const {
      auto it = lower_bound(column);
      return it != end() && it->first == column ? it : end();
    }
    // Puts the cell at its column, in place of one there.
    void Set(int column, pugi::xml_node cell) {
      auto it = cells_.begin() + (lower_bound(column) - begin());
      if (it != cells_.end() && it->first == column)
        it->second = cell;
      else
        cells_.insert(it, Entry(column, cell));
    }
    void erase(int column) {
      auto it = find(column);
      if (it != end()) cells_.erase(it);
    }

   private:
    std::vector<Entry> cells_;
  };
  struct RowEntry {
    pugi::xml_node node;
    CellIndex cells;
    // The row's first extLst element, which new cells go before when they follow every cell
    // (null when it has none; rows made here have none, and no edit adds or removes one).
    pugi::xml_node ext_lst;
  };
  struct ColumnInfo {
    int first = 0;
    int last = 0;
    double width = 0;
    bool has_width = false;
    bool hidden = false;
    int style = 0;
  };
  struct SharedFormula {
    int row = 0;
    int column = 0;
    std::string text;
    CellArea area;
  };

  void Index();
  const ColumnInfo* Column(int column) const;
  pugi::xml_node FindCell(int row, int column) const;
  pugi::xml_node FindOrCreateCell(int row, int column);
  void ClearContent(pugi::xml_node cell);
  void ReleaseSharedFormula(int index);
  std::string FormulaOf(const pugi::xml_node& cell, int row, int column) const;

  XlsxWorkbook& book_;
  std::string name_;
  std::string part_name_;
  pugi::xml_document doc_;
  pugi::xml_node sheet_data_;
  std::map<int, RowEntry> rows_;
  std::vector<CellArea> merges_;
  std::vector<ColumnInfo> columns_;
  double default_column_width_ = 64.0 / 7;
  double default_row_height_ = 15;
  std::map<int, SharedFormula> shared_;
  std::set<std::uint64_t> written_;
  std::string drawing_part_;
  bool changed_ = false;
};

}  // namespace lanereport
