#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace lanereport {

class XlsxSheet;
class XlsxWorkbook;

// A value a formula or a cell gives. kUnknown: a formula this evaluator cannot compute.
struct FormulaValue {
  enum class Type { kEmpty, kNumber, kText, kBool, kError, kUnknown };
  Type type = Type::kEmpty;
  double number = 0;  // kNumber; kBool as 1 or 0
  std::string text;   // kText; kError ("#DIV/0!")

  static FormulaValue Number(double value) { return {Type::kNumber, value, {}}; }
  static FormulaValue Text(std::string value) { return {Type::kText, 0, std::move(value)}; }
  static FormulaValue Bool(bool value) { return {Type::kBool, value ? 1.0 : 0.0, {}}; }
  static FormulaValue Error(std::string code) { return {Type::kError, 0, std::move(code)}; }
  static FormulaValue Unknown() { return {Type::kUnknown, 0, {}}; }
};

// The values the cells of a workbook show, for publishing. A constant shows what is stored.
// A formula shows its stored result as long as no cell it depends on (directly, through other
// formulas or through defined names, on any sheet) was written since the workbook was opened;
// otherwise, or when it has no stored result, it is computed afresh. A formula that cannot be
// computed here gives kUnknown, so a stale result is never shown.
//
// Computed: numbers, texts, TRUE/FALSE and error values; references to cells, areas, whole
// columns and rows of any worksheet of the workbook; defined names; the operators + - * / ^ &
// % = <> < > <= >= and unary minus; the functions SUM, AVERAGE, MIN, MAX, COUNT, COUNTA,
// ROUND, ROUNDUP, ROUNDDOWN, INT, ABS, MOD, SQRT, IF, IFERROR, AND, OR, NOT, CONCATENATE and
// LEN. Anything else (other functions, array constants, external references, array formulas
// whose inputs changed) gives kUnknown.
//
// Results are remembered: the evaluator serves one publishing of an unchanging workbook and
// must not outlive a write to it.
class FormulaEvaluator {
 public:
  explicit FormulaEvaluator(const XlsxWorkbook& book);

  // The value the cell of worksheet sheet (index into Worksheets()) shows; an empty formula
  // result reads kEmpty only for an empty cell.
  FormulaValue CellValue(int sheet, int row, int column);
  // True when the cell holds a formula that depends on a cell written since opening.
  bool IsStale(int sheet, int row, int column);
  // Computes a formula as if it stood in the given cell.
  FormulaValue Evaluate(std::string_view formula, int sheet, int row, int column);

 private:
  friend class FormulaParser;
  bool DependsOnWrites(std::string_view formula, int sheet, int depth);
  const std::vector<std::pair<int, int>>& FormulaCellsOf(int sheet);

  const XlsxWorkbook& book_;
  std::vector<XlsxSheet*> sheets_;  // book_.Worksheets(), which stay as they are
  bool has_writes_;
  std::unordered_map<std::uint64_t, FormulaValue> values_;
  std::unordered_map<std::uint64_t, bool> stale_;
  std::unordered_set<std::uint64_t> in_progress_;
  std::unordered_map<int, std::vector<std::pair<int, int>>> formula_cells_;
};

}  // namespace lanereport
