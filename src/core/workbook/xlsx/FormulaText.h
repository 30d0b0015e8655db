#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "workbook/xlsx/CellRef.h"

namespace lanereport {

// The text of cell formulas as workbook files store them (A1 references, English function
// names, no leading "="): tokens, references and the moving of relative references that
// shared formulas need.

// A reference as written: one cell, an area, whole columns ("A:C") or whole rows ("2:5").
struct FormulaReference {
  enum class Shape { kCell, kArea, kColumns, kRows };
  Shape shape = Shape::kCell;
  std::string sheet;  // the sheet named before "!", unquoted; "" for the formula's own sheet
  int row1 = 0, column1 = 0, row2 = 0, column2 = 0;  // corners as written (0 where unused)
  bool absolute_row1 = false, absolute_column1 = false;
  bool absolute_row2 = false, absolute_column2 = false;

  // The cells covered, corners ordered; whole columns and rows run to the sheet's edge.
  CellArea Area() const;
};

enum class FormulaTokenKind {
  kNumber,     // text: the number as written
  kString,     // text: the value, quotes removed and doubled quotes undone
  kBool,       // text: "TRUE" or "FALSE"
  kError,      // text: "#DIV/0!" and the like
  kReference,  // ref
  kName,       // text: a defined name as written
  kFunction,   // text: the function name in upper case, without the "("
  kOperator,   // text: + - * / ^ & = <> < > <= >= % :
  kOpenParen,
  kCloseParen,
  kComma,
  kSemicolon,
  kOpenBrace,
  kCloseBrace,
  kSpace,
  kOther,  // anything this reader does not understand (structured references, ...)
};

struct FormulaToken {
  FormulaTokenKind kind = FormulaTokenKind::kOther;
  std::size_t begin = 0;  // span in the formula, a sheet prefix included
  std::size_t end = 0;
  std::size_t address_begin = 0;  // kReference: where the address starts after "Sheet!"
  std::string text;
  FormulaReference ref;
};

// Splits a formula into tokens. Never fails: what cannot be read becomes kOther tokens.
std::vector<FormulaToken> TokenizeFormula(std::string_view formula);

// The address of a reference without any sheet prefix ("$A1:B$2").
std::string ReferenceAddress(const FormulaReference& ref);

// The formula as it reads in a cell rows below and columns to the right of the cell it was
// written for (negative values move up and left): relative parts of references move, absolute
// ones stay; a reference moved off the sheet becomes "#REF!".
std::string ShiftFormula(std::string_view formula, int rows, int columns);

}  // namespace lanereport
