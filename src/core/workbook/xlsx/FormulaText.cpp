#include "workbook/xlsx/FormulaText.h"

#include <algorithm>
#include <optional>

#include "util/StringUtil.h"

namespace lanereport {
namespace {

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsNameStart(char c) {
  return IsLetter(c) || c == '_' || c == '\\' || static_cast<unsigned char>(c) >= 0x80;
}
bool IsNameChar(char c) {
  return IsNameStart(c) || IsDigit(c) || c == '.' || c == '?' || c == '$';
}
bool IsAddressChar(char c) {
  return IsLetter(c) || IsDigit(c) || c == '$';
}

struct Corner {
  int row = 0;
  int column = 0;
  bool absolute_row = false;
  bool absolute_column = false;
};

// "$B$3" or "B3".
std::optional<Corner> ParseCorner(std::string_view text) {
  Corner corner;
  std::size_t i = 0;
  if (i < text.size() && text[i] == '$') corner.absolute_column = true, ++i;
  std::size_t letters = i;
  while (i < text.size() && IsLetter(text[i])) ++i;
  corner.column = ColumnNumber(text.substr(letters, i - letters));
  if (corner.column == 0) return std::nullopt;
  if (i < text.size() && text[i] == '$') corner.absolute_row = true, ++i;
  std::size_t digits = i;
  long row = 0;
  while (i < text.size() && IsDigit(text[i])) {
    row = row * 10 + (text[i] - '0');
    if (row > kMaxRows) return std::nullopt;
    ++i;
  }
  if (i == digits || i != text.size() || row < 1) return std::nullopt;
  corner.row = static_cast<int>(row);
  return corner;
}

// "$C" or "C".
std::optional<Corner> ParseColumnOnly(std::string_view text) {
  Corner corner;
  if (!text.empty() && text[0] == '$') corner.absolute_column = true, text.remove_prefix(1);
  for (char c : text) {
    if (!IsLetter(c)) return std::nullopt;
  }
  corner.column = ColumnNumber(text);
  if (corner.column == 0) return std::nullopt;
  return corner;
}

// "$5" or "5".
std::optional<Corner> ParseRowOnly(std::string_view text) {
  Corner corner;
  if (!text.empty() && text[0] == '$') corner.absolute_row = true, text.remove_prefix(1);
  if (text.empty() || text.size() > 7) return std::nullopt;
  long row = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    row = row * 10 + (c - '0');
  }
  if (row < 1 || row > kMaxRows) return std::nullopt;
  corner.row = static_cast<int>(row);
  return corner;
}

std::size_t ReadWhile(std::string_view text, std::size_t pos, bool (*pred)(char)) {
  while (pos < text.size() && pred(text[pos])) ++pos;
  return pos;
}

// Reads an address at pos: a cell, an area, whole columns or whole rows. On success sets ref
// (without the sheet) and returns the end position.
std::optional<std::size_t> ReadAddress(std::string_view f, std::size_t pos, FormulaReference& ref) {
  std::size_t end = ReadWhile(f, pos, IsAddressChar);
  if (end == pos) return std::nullopt;
  // A name or function that merely starts like an address ("A1B", "LOG10(") is not one.
  if (end < f.size() && (IsNameChar(f[end]) || f[end] == '(')) return std::nullopt;
  std::string_view first = f.substr(pos, end - pos);
  std::string_view second;
  std::size_t second_end = end;
  if (end < f.size() && f[end] == ':') {
    second_end = ReadWhile(f, end + 1, IsAddressChar);
    second = f.substr(end + 1, second_end - end - 1);
    if (second_end < f.size() && (IsNameChar(f[second_end]) || f[second_end] == '(')) second = {};
  }
  if (auto a = ParseCorner(first)) {
    ref.row1 = a->row, ref.column1 = a->column;
    ref.absolute_row1 = a->absolute_row, ref.absolute_column1 = a->absolute_column;
    if (auto b = second.empty() ? std::nullopt : ParseCorner(second)) {
      ref.shape = FormulaReference::Shape::kArea;
      ref.row2 = b->row, ref.column2 = b->column;
      ref.absolute_row2 = b->absolute_row, ref.absolute_column2 = b->absolute_column;
      return second_end;
    }
    ref.shape = FormulaReference::Shape::kCell;
    return end;
  }
  if (second.empty()) return std::nullopt;
  if (auto a = ParseColumnOnly(first)) {
    if (auto b = ParseColumnOnly(second)) {
      ref.shape = FormulaReference::Shape::kColumns;
      ref.column1 = a->column, ref.absolute_column1 = a->absolute_column;
      ref.column2 = b->column, ref.absolute_column2 = b->absolute_column;
      return second_end;
    }
  }
  if (auto a = ParseRowOnly(first)) {
    if (auto b = ParseRowOnly(second)) {
      ref.shape = FormulaReference::Shape::kRows;
      ref.row1 = a->row, ref.absolute_row1 = a->absolute_row;
      ref.row2 = b->row, ref.absolute_row2 = b->absolute_row;
      return second_end;
    }
  }
  return std::nullopt;
}

const char* const kErrors[] = {"#NULL!",    "#DIV/0!", "#VALUE!",   "#REF!",
                               "#NAME?",    "#NUM!",   "#N/A",      "#GETTING_DATA",
                               "#SPILL!",   "#CALC!",  "#FIELD!",   "#BLOCKED!",
                               "#UNKNOWN!", "#BUSY!",  "#CONNECT!", "#EXTERNAL!"};

std::size_t MatchError(std::string_view f, std::size_t pos) {
  for (const char* error : kErrors) {
    std::string_view e = error;
    if (EqualsIgnoreCase(f.substr(pos, e.size()), e)) return e.size();
  }
  return 0;
}

std::string CornerText(int row, int column, bool absolute_row, bool absolute_column) {
  std::string text;
  if (column > 0) text += (absolute_column ? "$" : "") + ColumnName(column);
  if (row > 0) text += (absolute_row ? "$" : "") + std::to_string(row);
  return text;
}

}  // namespace

CellArea FormulaReference::Area() const {
  CellArea area;
  switch (shape) {
    case Shape::kCell:
      area = {row1, column1, row1, column1};
      break;
    case Shape::kArea:
      area = {std::min(row1, row2), std::min(column1, column2), std::max(row1, row2),
              std::max(column1, column2)};
      break;
    case Shape::kColumns:
      area = {1, std::min(column1, column2), kMaxRows, std::max(column1, column2)};
      break;
    case Shape::kRows:
      area = {std::min(row1, row2), 1, std::max(row1, row2), kMaxColumns};
      break;
  }
  return area;
}

std::vector<FormulaToken> TokenizeFormula(std::string_view f) {
  std::vector<FormulaToken> tokens;
  std::size_t i = 0;
  auto push = [&](FormulaTokenKind kind, std::size_t begin, std::size_t end, std::string text) {
    FormulaToken token;
    token.kind = kind;
    token.begin = begin;
    token.end = end;
    token.address_begin = begin;
    token.text = std::move(text);
    tokens.push_back(std::move(token));
  };
  // After a sheet prefix ending at pos: an address, or an error such as "#REF!".
  auto after_prefix = [&](std::size_t begin, std::size_t pos, std::string sheet) {
    FormulaToken token;
    token.begin = begin;
    token.address_begin = pos;
    if (auto end = ReadAddress(f, pos, token.ref)) {
      token.kind = FormulaTokenKind::kReference;
      token.ref.sheet = std::move(sheet);
      token.end = *end;
    } else if (std::size_t len = pos < f.size() && f[pos] == '#' ? MatchError(f, pos) : 0) {
      token.kind = FormulaTokenKind::kError;
      token.text = ToUpperAscii(f.substr(pos, len));
      token.end = pos + len;
    } else {
      std::size_t end = ReadWhile(f, pos, IsNameChar);
      token.kind = FormulaTokenKind::kOther;
      token.end = std::max(end, pos);
    }
    std::size_t end = token.end;
    tokens.push_back(std::move(token));
    return end;
  };

  while (i < f.size()) {
    char c = f[i];
    std::size_t begin = i;
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
      while (i < f.size() && (f[i] == ' ' || f[i] == '\n' || f[i] == '\r' || f[i] == '\t')) ++i;
      push(FormulaTokenKind::kSpace, begin, i, std::string(f.substr(begin, i - begin)));
    } else if (c == '"') {
      std::string value;
      ++i;
      while (i < f.size()) {
        if (f[i] == '"') {
          if (i + 1 < f.size() && f[i + 1] == '"') {
            value += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += f[i++];
      }
      push(FormulaTokenKind::kString, begin, i, std::move(value));
    } else if (c == '\'') {
      std::string sheet;
      ++i;
      while (i < f.size()) {
        if (f[i] == '\'') {
          if (i + 1 < f.size() && f[i + 1] == '\'') {
            sheet += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        sheet += f[i++];
      }
      if (i < f.size() && f[i] == '!') {
        i = after_prefix(begin, i + 1, std::move(sheet));
      } else {
        push(FormulaTokenKind::kOther, begin, i, std::string(f.substr(begin, i - begin)));
      }
    } else if (c == '#') {
      std::size_t len = MatchError(f, i);
      if (len == 0) len = 1;
      i += len;
      push(len > 1 ? FormulaTokenKind::kError : FormulaTokenKind::kOther, begin, i,
           ToUpperAscii(f.substr(begin, len)));
    } else if (IsDigit(c) || (c == '.' && i + 1 < f.size() && IsDigit(f[i + 1]))) {
      FormulaToken rows;
      std::optional<std::size_t> end;
      if (IsDigit(c)) end = ReadAddress(f, i, rows.ref);
      if (end && rows.ref.shape == FormulaReference::Shape::kRows) {
        rows.kind = FormulaTokenKind::kReference;
        rows.begin = rows.address_begin = begin;
        rows.end = i = *end;
        tokens.push_back(std::move(rows));
        continue;
      }
      i = ReadWhile(f, i, IsDigit);
      if (i < f.size() && f[i] == '.') i = ReadWhile(f, i + 1, IsDigit);
      if (i < f.size() && (f[i] == 'e' || f[i] == 'E')) {
        std::size_t k = i + 1;
        if (k < f.size() && (f[k] == '+' || f[k] == '-')) ++k;
        if (k < f.size() && IsDigit(f[k])) i = ReadWhile(f, k, IsDigit);
      }
      push(FormulaTokenKind::kNumber, begin, i, std::string(f.substr(begin, i - begin)));
    } else if (IsNameStart(c) || c == '$') {
      std::size_t end = ReadWhile(f, i, IsNameChar);
      std::string_view word = f.substr(i, end - i);
      if (end < f.size() && f[end] == '!') {
        i = after_prefix(begin, end + 1, std::string(word));
      } else if (end < f.size() && f[end] == '(') {
        i = end;
        push(FormulaTokenKind::kFunction, begin, end, ToUpperAscii(word));
      } else {
        FormulaToken token;
        if (auto address_end = ReadAddress(f, i, token.ref)) {
          token.kind = FormulaTokenKind::kReference;
          token.begin = token.address_begin = begin;
          token.end = i = *address_end;
          tokens.push_back(std::move(token));
        } else if (EqualsIgnoreCase(word, "TRUE") || EqualsIgnoreCase(word, "FALSE")) {
          i = end;
          push(FormulaTokenKind::kBool, begin, end, ToUpperAscii(word));
        } else {
          i = end;
          push(FormulaTokenKind::kName, begin, end, std::string(word));
        }
      }
    } else if (c == '[') {
      int depth = 0;
      while (i < f.size()) {
        if (f[i] == '[') ++depth;
        if (f[i] == ']' && --depth == 0) {
          ++i;
          break;
        }
        ++i;
      }
      push(FormulaTokenKind::kOther, begin, i, std::string(f.substr(begin, i - begin)));
    } else if (c == '(') {
      push(FormulaTokenKind::kOpenParen, begin, ++i, "(");
    } else if (c == ')') {
      push(FormulaTokenKind::kCloseParen, begin, ++i, ")");
    } else if (c == ',') {
      push(FormulaTokenKind::kComma, begin, ++i, ",");
    } else if (c == ';') {
      push(FormulaTokenKind::kSemicolon, begin, ++i, ";");
    } else if (c == '{') {
      push(FormulaTokenKind::kOpenBrace, begin, ++i, "{");
    } else if (c == '}') {
      push(FormulaTokenKind::kCloseBrace, begin, ++i, "}");
    } else if ((c == '<' || c == '>') && i + 1 < f.size() &&
               (f[i + 1] == '=' || (c == '<' && f[i + 1] == '>'))) {
      i += 2;
      push(FormulaTokenKind::kOperator, begin, i, std::string(f.substr(begin, 2)));
    } else if (std::string_view("+-*/^&=<>%:").find(c) != std::string_view::npos) {
      push(FormulaTokenKind::kOperator, begin, ++i, std::string(1, c));
    } else {
      std::size_t len = 1;
      unsigned char lead = static_cast<unsigned char>(c);
      if (lead >= 0xC0) len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
      i = std::min(f.size(), i + len);
      push(FormulaTokenKind::kOther, begin, i, std::string(f.substr(begin, i - begin)));
    }
  }
  return tokens;
}

std::string ReferenceAddress(const FormulaReference& ref) {
  using Shape = FormulaReference::Shape;
  switch (ref.shape) {
    case Shape::kCell:
      return CornerText(ref.row1, ref.column1, ref.absolute_row1, ref.absolute_column1);
    case Shape::kArea:
      return CornerText(ref.row1, ref.column1, ref.absolute_row1, ref.absolute_column1) + ":" +
             CornerText(ref.row2, ref.column2, ref.absolute_row2, ref.absolute_column2);
    case Shape::kColumns:
      return CornerText(0, ref.column1, false, ref.absolute_column1) + ":" +
             CornerText(0, ref.column2, false, ref.absolute_column2);
    case Shape::kRows:
      return CornerText(ref.row1, 0, ref.absolute_row1, false) + ":" +
             CornerText(ref.row2, 0, ref.absolute_row2, false);
  }
  return "";
}

std::string ShiftFormula(std::string_view formula, int rows, int columns) {
  std::string out;
  std::size_t pos = 0;
  for (const FormulaToken& token : TokenizeFormula(formula)) {
    if (token.kind != FormulaTokenKind::kReference) continue;
    FormulaReference ref = token.ref;
    bool valid = true;
    auto move = [&](int& value, bool absolute, int delta, int limit) {
      if (value == 0 || absolute) return;
      value += delta;
      if (value < 1 || value > limit) valid = false;
    };
    move(ref.row1, ref.absolute_row1, rows, kMaxRows);
    move(ref.row2, ref.absolute_row2, rows, kMaxRows);
    move(ref.column1, ref.absolute_column1, columns, kMaxColumns);
    move(ref.column2, ref.absolute_column2, columns, kMaxColumns);
    out.append(formula.substr(pos, token.address_begin - pos));
    out += valid ? ReferenceAddress(ref) : "#REF!";
    pos = token.end;
  }
  out.append(formula.substr(pos));
  return out;
}

}  // namespace lanereport
