#include "workbook/xlsx/FormulaEvaluator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "util/StringUtil.h"
#include "workbook/xlsx/FormulaText.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {
namespace {

using Type = FormulaValue::Type;

// Thrown inside a computation that meets something this evaluator does not compute.
struct Unsupported {};

constexpr int kMaxNameDepth = 16;

std::uint64_t Key(int sheet, int row, int column) {
  return (static_cast<std::uint64_t>(sheet) << 40) | CellKey(row, column);
}

FormulaValue FromContent(const CellContent& content) {
  switch (content.type) {
    case CellType::kNumber:
      return FormulaValue::Number(content.number);
    case CellType::kText:
      return FormulaValue::Text(content.text);
    case CellType::kBool:
      return FormulaValue::Bool(content.number != 0);
    case CellType::kError:
      return FormulaValue::Error(content.text);
    case CellType::kEmpty:
      break;
  }
  return FormulaValue();
}

// The value cut to 15 significant digits, as the spreadsheet keeps numbers.
double Significant15(double value) {
  char buf[40];
  std::snprintf(buf, sizeof(buf), "%.15g", value);
  return std::strtod(buf, nullptr);
}

std::string NumberToText(double value) {
  if (value == 0) return "0";
  char buf[40];
  std::snprintf(buf, sizeof(buf), "%.15g", value);
  std::string text = buf;
  if (auto e = text.find('e'); e != std::string::npos) text[e] = 'E';
  return text;
}

std::string ValueToText(const FormulaValue& value) {
  switch (value.type) {
    case Type::kNumber:
      return NumberToText(value.number);
    case Type::kBool:
      return value.number != 0 ? "TRUE" : "FALSE";
    case Type::kText:
    case Type::kError:
      return value.text;
    default:
      return "";
  }
}

// A number for arithmetic: empty is 0, TRUE 1, a text that reads as a number that number.
// Anything else gives the error to return.
bool ToNumber(const FormulaValue& value, double& number, FormulaValue& error) {
  switch (value.type) {
    case Type::kEmpty:
      number = 0;
      return true;
    case Type::kNumber:
    case Type::kBool:
      number = value.number;
      return true;
    case Type::kText:
      if (auto parsed = ParseNumber(value.text)) {
        number = *parsed;
        return true;
      }
      error = FormulaValue::Error("#VALUE!");
      return false;
    case Type::kError:
      error = value;
      return false;
    case Type::kUnknown:
      throw Unsupported();
  }
  return false;
}

FormulaValue Checked(double value) {
  if (!std::isfinite(value)) return FormulaValue::Error("#NUM!");
  return FormulaValue::Number(value);
}

// Orders values as the spreadsheet compares them: numbers before texts before TRUE/FALSE;
// texts ignoring letter case; an empty value as 0, "" or FALSE after the other side.
int Compare(FormulaValue a, FormulaValue b) {
  auto blank_as = [](FormulaValue& blank, const FormulaValue& other) {
    if (blank.type != Type::kEmpty) return;
    if (other.type == Type::kText)
      blank = FormulaValue::Text("");
    else if (other.type == Type::kBool)
      blank = FormulaValue::Bool(false);
    else
      blank = FormulaValue::Number(0);
  };
  blank_as(a, b);
  blank_as(b, a);
  auto rank = [](const FormulaValue& v) {
    return v.type == Type::kNumber ? 0 : v.type == Type::kText ? 1 : 2;
  };
  if (rank(a) != rank(b)) return rank(a) < rank(b) ? -1 : 1;
  if (a.type == Type::kText) {
    std::string x = ToLowerAscii(a.text);
    std::string y = ToLowerAscii(b.text);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
}

double RoundDigits(double value, double digits, int mode) {
  double factor = std::pow(10.0, std::trunc(digits));
  double scaled = Significant15(value * factor);
  double magnitude = std::fabs(scaled);
  double rounded = mode == 0  ? std::floor(magnitude + 0.5)
                   : mode > 0 ? std::ceil(magnitude)
                              : std::floor(magnitude);
  return std::copysign(rounded, scaled) / factor;
}

}  // namespace

// One computation of a formula text: a recursive descent over its tokens that computes as it
// reads.
class FormulaParser {
 public:
  struct Operand {
    bool is_ref = false;
    int sheet = 0;
    CellArea area;
    FormulaValue value;
  };

  FormulaParser(FormulaEvaluator& evaluator, std::string_view formula, int sheet, int row,
                int column, int depth)
      : ev_(evaluator), sheet_(sheet), row_(row), column_(column), depth_(depth) {
    for (FormulaToken& token : TokenizeFormula(formula)) {
      if (token.kind != FormulaTokenKind::kSpace) tokens_.push_back(std::move(token));
    }
  }

  Operand Parse() {
    if (tokens_.empty()) throw Unsupported();
    Operand result = Comparison();
    if (pos_ != tokens_.size()) throw Unsupported();
    return result;
  }

  // The single value of an operand: a one-cell reference reads the cell; a larger area the
  // cell in the formula's row or column (implicit intersection).
  FormulaValue Scalar(const Operand& op) {
    if (!op.is_ref) return op.value;
    const CellArea& a = op.area;
    if (a.first_row == a.last_row && a.first_column == a.last_column) {
      return Value(op.sheet, a.first_row, a.first_column);
    }
    if (a.first_column == a.last_column && row_ >= a.first_row && row_ <= a.last_row) {
      return Value(op.sheet, row_, a.first_column);
    }
    if (a.first_row == a.last_row && column_ >= a.first_column && column_ <= a.last_column) {
      return Value(op.sheet, a.first_row, column_);
    }
    return FormulaValue::Error("#VALUE!");
  }

 private:
  const FormulaToken* Peek() const { return pos_ < tokens_.size() ? &tokens_[pos_] : nullptr; }
  bool PeekOperator(std::string_view op) const {
    const FormulaToken* t = Peek();
    return t && t->kind == FormulaTokenKind::kOperator && t->text == op;
  }
  bool PeekKind(FormulaTokenKind kind) const {
    const FormulaToken* t = Peek();
    return t && t->kind == kind;
  }
  void Expect(FormulaTokenKind kind) {
    if (!PeekKind(kind)) throw Unsupported();
    ++pos_;
  }

  FormulaValue Value(int sheet, int row, int column) {
    FormulaValue value = ev_.CellValue(sheet, row, column);
    if (value.type == Type::kUnknown) throw Unsupported();
    return value;
  }

  static Operand Constant(FormulaValue value) {
    Operand op;
    op.value = std::move(value);
    return op;
  }

  Operand Comparison() {
    Operand left = Concatenation();
    static const char* const kOps[] = {"=", "<>", "<", ">", "<=", ">="};
    while (true) {
      const char* op = nullptr;
      for (const char* candidate : kOps) {
        if (PeekOperator(candidate)) op = candidate;
      }
      if (!op) return left;
      ++pos_;
      FormulaValue a = Scalar(left);
      FormulaValue b = Scalar(Concatenation());
      if (a.type == Type::kError) {
        left = Constant(a);
        continue;
      }
      if (b.type == Type::kError) {
        left = Constant(b);
        continue;
      }
      int c = Compare(a, b);
      std::string_view o = op;
      bool result = o == "="    ? c == 0
                    : o == "<>" ? c != 0
                    : o == "<"  ? c < 0
                    : o == ">"  ? c > 0
                    : o == "<=" ? c <= 0
                                : c >= 0;
      left = Constant(FormulaValue::Bool(result));
    }
  }

  Operand Concatenation() {
    Operand left = Additive();
    while (PeekOperator("&")) {
      ++pos_;
      FormulaValue a = Scalar(left);
      FormulaValue b = Scalar(Additive());
      if (a.type == Type::kError)
        left = Constant(a);
      else if (b.type == Type::kError)
        left = Constant(b);
      else
        left = Constant(FormulaValue::Text(ValueToText(a) + ValueToText(b)));
    }
    return left;
  }

  Operand Arithmetic(const Operand& left, const Operand& right, char op) {
    double x = 0;
    double y = 0;
    FormulaValue error;
    if (!ToNumber(Scalar(left), x, error)) return Constant(error);
    if (!ToNumber(Scalar(right), y, error)) return Constant(error);
    switch (op) {
      case '+':
        return Constant(Checked(x + y));
      case '-':
        return Constant(Checked(x - y));
      case '*':
        return Constant(Checked(x * y));
      case '/':
        if (y == 0) return Constant(FormulaValue::Error("#DIV/0!"));
        return Constant(Checked(x / y));
      default:
        if (x == 0 && y == 0) return Constant(FormulaValue::Error("#NUM!"));
        if (x == 0 && y < 0) return Constant(FormulaValue::Error("#DIV/0!"));
        return Constant(Checked(std::pow(x, y)));
    }
  }

  Operand Additive() {
    Operand left = Term();
    while (PeekOperator("+") || PeekOperator("-")) {
      char op = tokens_[pos_++].text[0];
      left = Arithmetic(left, Term(), op);
    }
    return left;
  }

  Operand Term() {
    Operand left = Power();
    while (PeekOperator("*") || PeekOperator("/")) {
      char op = tokens_[pos_++].text[0];
      left = Arithmetic(left, Power(), op);
    }
    return left;
  }

  Operand Power() {
    Operand left = Percent();
    while (PeekOperator("^")) {
      ++pos_;
      left = Arithmetic(left, Percent(), '^');
    }
    return left;
  }

  Operand Percent() {
    Operand value = Unary();
    while (PeekOperator("%")) {
      ++pos_;
      value = Arithmetic(value, Constant(FormulaValue::Number(100)), '/');
    }
    return value;
  }

  Operand Unary() {
    if (PeekOperator("-")) {
      ++pos_;
      return Arithmetic(Constant(FormulaValue::Number(0)), Unary(), '-');
    }
    if (PeekOperator("+")) {
      ++pos_;
      return Unary();
    }
    return Primary();
  }

  Operand Primary() {
    const FormulaToken* t = Peek();
    if (!t) throw Unsupported();
    ++pos_;
    switch (t->kind) {
      case FormulaTokenKind::kNumber: {
        auto number = ParseNumber(t->text);
        if (!number) throw Unsupported();
        return Constant(FormulaValue::Number(*number));
      }
      case FormulaTokenKind::kString:
        return Constant(FormulaValue::Text(t->text));
      case FormulaTokenKind::kBool:
        return Constant(FormulaValue::Bool(t->text == "TRUE"));
      case FormulaTokenKind::kError:
        return Constant(FormulaValue::Error(t->text));
      case FormulaTokenKind::kReference: {
        Operand op;
        op.is_ref = true;
        op.sheet = t->ref.sheet.empty() ? sheet_ : ev_.book_.WorksheetIndex(t->ref.sheet);
        if (op.sheet < 0) throw Unsupported();
        op.area = t->ref.Area();
        return op;
      }
      case FormulaTokenKind::kName:
        return Name(t->text);
      case FormulaTokenKind::kFunction:
        return Function(t->text);
      case FormulaTokenKind::kOpenParen: {
        Operand inner = Comparison();
        Expect(FormulaTokenKind::kCloseParen);
        return inner;
      }
      default:
        throw Unsupported();
    }
  }

  Operand Name(const std::string& name) {
    if (depth_ >= kMaxNameDepth) throw Unsupported();
    const XlsxDefinedName* found = nullptr;
    for (const XlsxDefinedName& candidate : ev_.book_.Names()) {
      if (!EqualsIgnoreCase(candidate.name, name)) continue;
      if (candidate.local_sheet == sheet_)
        found = &candidate;
      else if (candidate.local_sheet < 0 && !found)
        found = &candidate;
    }
    if (!found) throw Unsupported();
    FormulaParser inner(ev_, found->formula, sheet_, row_, column_, depth_ + 1);
    return inner.Parse();
  }

  std::vector<Operand> Arguments() {
    Expect(FormulaTokenKind::kOpenParen);
    std::vector<Operand> args;
    if (PeekKind(FormulaTokenKind::kCloseParen)) {
      ++pos_;
      return args;
    }
    while (true) {
      if (PeekKind(FormulaTokenKind::kComma) || PeekKind(FormulaTokenKind::kCloseParen)) {
        args.push_back(Constant(FormulaValue()));  // an omitted argument
      } else {
        args.push_back(Comparison());
      }
      if (PeekKind(FormulaTokenKind::kComma)) {
        ++pos_;
        continue;
      }
      Expect(FormulaTokenKind::kCloseParen);
      return args;
    }
  }

  // Calls visit with every value of an argument: the cells of a reference (as stored, so
  // texts and TRUE/FALSE in cells stay what they are) or the one value of a constant.
  void EachValue(const Operand& op, const std::function<void(const FormulaValue&, bool)>& visit) {
    if (!op.is_ref) {
      visit(op.value, false);
      return;
    }
    XlsxSheet* sheet = ev_.sheets_[static_cast<std::size_t>(op.sheet)];
    sheet->ForEachCell(op.area,
                       [&](int row, int column) { visit(Value(op.sheet, row, column), true); });
  }

  // The numbers of the arguments as SUM and its kin take them: numbers in cells, and direct
  // arguments that convert. Returns false with the error to give.
  bool Numbers(const std::vector<Operand>& args, std::vector<double>& numbers,
               FormulaValue& error) {
    bool ok = true;
    for (const Operand& arg : args) {
      EachValue(arg, [&](const FormulaValue& v, bool in_cell) {
        if (!ok) return;
        if (v.type == Type::kError) {
          error = v;
          ok = false;
        } else if (v.type == Type::kNumber) {
          numbers.push_back(v.number);
        } else if (!in_cell && v.type != Type::kEmpty) {
          double n = 0;
          if (ToNumber(v, n, error))
            numbers.push_back(n);
          else
            ok = false;
        }
      });
    }
    return ok;
  }

  double NumberArg(const std::vector<Operand>& args, std::size_t index, FormulaValue& error,
                   bool& ok) {
    double n = 0;
    if (!ok) return 0;
    if (index >= args.size()) {
      ok = false;
      error = FormulaValue::Error("#VALUE!");
      return 0;
    }
    if (!ToNumber(Scalar(args[index]), n, error)) ok = false;
    return n;
  }

  bool Truth(const FormulaValue& v, bool& result, FormulaValue& error) {
    switch (v.type) {
      case Type::kEmpty:
        result = false;
        return true;
      case Type::kNumber:
      case Type::kBool:
        result = v.number != 0;
        return true;
      case Type::kText:
        if (EqualsIgnoreCase(v.text, "TRUE") || EqualsIgnoreCase(v.text, "FALSE")) {
          result = EqualsIgnoreCase(v.text, "TRUE");
          return true;
        }
        error = FormulaValue::Error("#VALUE!");
        return false;
      case Type::kError:
        error = v;
        return false;
      case Type::kUnknown:
        throw Unsupported();
    }
    return false;
  }

  Operand Function(const std::string& name) {
    std::vector<Operand> args = Arguments();
    FormulaValue error;
    auto count = [&](std::size_t low, std::size_t high) {
      if (args.size() < low || args.size() > high) throw Unsupported();
    };
    if (name == "SUM" || name == "AVERAGE" || name == "MIN" || name == "MAX") {
      count(1, 255);
      std::vector<double> numbers;
      if (!Numbers(args, numbers, error)) return Constant(error);
      if (name == "SUM") {
        double sum = 0;
        for (double n : numbers) sum += n;
        return Constant(Checked(sum));
      }
      if (name == "AVERAGE") {
        if (numbers.empty()) return Constant(FormulaValue::Error("#DIV/0!"));
        double sum = 0;
        for (double n : numbers) sum += n;
        return Constant(Checked(sum / static_cast<double>(numbers.size())));
      }
      if (numbers.empty()) return Constant(FormulaValue::Number(0));
      return Constant(
          FormulaValue::Number(name == "MIN" ? *std::min_element(numbers.begin(), numbers.end())
                                             : *std::max_element(numbers.begin(), numbers.end())));
    }
    if (name == "COUNT" || name == "COUNTA") {
      count(1, 255);
      double n = 0;
      for (const Operand& arg : args) {
        EachValue(arg, [&](const FormulaValue& v, bool in_cell) {
          if (name == "COUNTA") {
            n += v.type != Type::kEmpty || !in_cell;
          } else if (v.type == Type::kNumber) {
            n += 1;
          } else if (!in_cell &&
                     (v.type == Type::kBool || (v.type == Type::kText && ParseNumber(v.text)))) {
            n += 1;
          }
        });
      }
      return Constant(FormulaValue::Number(n));
    }
    if (name == "ROUND" || name == "ROUNDUP" || name == "ROUNDDOWN") {
      count(2, 2);
      bool ok = true;
      double x = NumberArg(args, 0, error, ok);
      double digits = NumberArg(args, 1, error, ok);
      if (!ok) return Constant(error);
      int mode = name == "ROUND" ? 0 : name == "ROUNDUP" ? 1 : -1;
      return Constant(Checked(RoundDigits(x, digits, mode)));
    }
    if (name == "INT" || name == "ABS" || name == "SQRT") {
      count(1, 1);
      bool ok = true;
      double x = NumberArg(args, 0, error, ok);
      if (!ok) return Constant(error);
      if (name == "INT") return Constant(FormulaValue::Number(std::floor(x)));
      if (name == "ABS") return Constant(FormulaValue::Number(std::fabs(x)));
      if (x < 0) return Constant(FormulaValue::Error("#NUM!"));
      return Constant(FormulaValue::Number(std::sqrt(x)));
    }
    if (name == "MOD") {
      count(2, 2);
      bool ok = true;
      double x = NumberArg(args, 0, error, ok);
      double y = NumberArg(args, 1, error, ok);
      if (!ok) return Constant(error);
      if (y == 0) return Constant(FormulaValue::Error("#DIV/0!"));
      return Constant(Checked(x - y * std::floor(x / y)));
    }
    if (name == "IF") {
      count(2, 3);
      bool condition = false;
      if (!Truth(Scalar(args[0]), condition, error)) return Constant(error);
      if (condition) return args[1];
      return args.size() > 2 ? args[2] : Constant(FormulaValue::Bool(false));
    }
    if (name == "IFERROR") {
      count(2, 2);
      FormulaValue v = Scalar(args[0]);
      return v.type == Type::kError ? args[1] : Constant(v);
    }
    if (name == "AND" || name == "OR") {
      count(1, 255);
      bool any = false;
      bool result = name == "AND";
      bool ok = true;
      for (const Operand& arg : args) {
        EachValue(arg, [&](const FormulaValue& v, bool in_cell) {
          if (!ok) return;
          if (v.type == Type::kError) {
            error = v;
            ok = false;
            return;
          }
          if (in_cell && (v.type == Type::kText || v.type == Type::kEmpty)) return;
          bool truth = false;
          if (!Truth(v, truth, error)) {
            ok = false;
            return;
          }
          any = true;
          result = name == "AND" ? (result && truth) : (result || truth);
        });
      }
      if (!ok) return Constant(error);
      if (!any) return Constant(FormulaValue::Error("#VALUE!"));
      return Constant(FormulaValue::Bool(result));
    }
    if (name == "NOT") {
      count(1, 1);
      bool truth = false;
      if (!Truth(Scalar(args[0]), truth, error)) return Constant(error);
      return Constant(FormulaValue::Bool(!truth));
    }
    if (name == "CONCATENATE") {
      count(1, 255);
      std::string text;
      for (const Operand& arg : args) {
        FormulaValue v = Scalar(arg);
        if (v.type == Type::kError) return Constant(v);
        text += ValueToText(v);
      }
      return Constant(FormulaValue::Text(text));
    }
    if (name == "LEN") {
      count(1, 1);
      FormulaValue v = Scalar(args[0]);
      if (v.type == Type::kError) return Constant(v);
      std::string text = ValueToText(v);
      double length = 0;
      for (unsigned char c : text) length += (c & 0xC0) != 0x80;
      return Constant(FormulaValue::Number(length));
    }
    throw Unsupported();
  }

  FormulaEvaluator& ev_;
  std::vector<FormulaToken> tokens_;
  std::size_t pos_ = 0;
  int sheet_;
  int row_;
  int column_;
  int depth_;
};

FormulaEvaluator::FormulaEvaluator(const XlsxWorkbook& book)
    : book_(book), sheets_(book.Worksheets()), has_writes_(book.HasWrites()) {}

FormulaValue FormulaEvaluator::Evaluate(std::string_view formula, int sheet, int row, int column) {
  try {
    FormulaParser parser(*this, formula, sheet, row, column, 0);
    FormulaValue value = parser.Scalar(parser.Parse());
    if (value.type == Type::kEmpty) return FormulaValue::Number(0);
    if (value.type == Type::kNumber && !std::isfinite(value.number))
      return FormulaValue::Error("#NUM!");
    return value;
  } catch (const Unsupported&) {
    return FormulaValue::Unknown();
  }
}

FormulaValue FormulaEvaluator::CellValue(int sheet, int row, int column) {
  const std::vector<XlsxSheet*>& sheets = sheets_;
  if (sheet < 0 || sheet >= static_cast<int>(sheets.size())) return FormulaValue::Unknown();
  CellContent content = sheets[static_cast<std::size_t>(sheet)]->Content(row, column);
  if (content.formula.empty()) return FromContent(content);

  std::uint64_t key = Key(sheet, row, column);
  if (auto found = values_.find(key); found != values_.end()) return found->second;
  if (in_progress_.count(key)) return FormulaValue::Unknown();  // a circular reference
  in_progress_.insert(key);
  FormulaValue value;
  bool stale = IsStale(sheet, row, column);
  if (!stale && content.has_cached) {
    value = FromContent(content);
  } else if (content.array_formula) {
    value = FormulaValue::Unknown();
  } else {
    value = Evaluate(content.formula, sheet, row, column);
  }
  in_progress_.erase(key);
  values_[key] = value;
  return value;
}

bool FormulaEvaluator::IsStale(int sheet, int row, int column) {
  if (!has_writes_) return false;
  std::uint64_t key = Key(sheet, row, column);
  if (auto found = stale_.find(key); found != stale_.end()) return found->second;
  const std::vector<XlsxSheet*>& sheets = sheets_;
  if (sheet < 0 || sheet >= static_cast<int>(sheets.size())) return false;
  CellContent content = sheets[static_cast<std::size_t>(sheet)]->Content(row, column);
  if (content.formula.empty()) return false;
  stale_[key] = false;  // a circular reference ends here
  bool stale = DependsOnWrites(content.formula, sheet, 0);
  stale_[key] = stale;
  return stale;
}

const std::vector<std::pair<int, int>>& FormulaEvaluator::FormulaCellsOf(int sheet) {
  auto found = formula_cells_.find(sheet);
  if (found != formula_cells_.end()) return found->second;
  return formula_cells_[sheet] = sheets_[static_cast<std::size_t>(sheet)]->FormulaCells();
}

bool FormulaEvaluator::DependsOnWrites(std::string_view formula, int sheet, int depth) {
  if (depth > kMaxNameDepth) return true;
  std::vector<FormulaToken> tokens = TokenizeFormula(formula);
  const std::vector<XlsxSheet*>& sheets = sheets_;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const FormulaToken& token = tokens[i];
    if (token.kind == FormulaTokenKind::kFunction &&
        (token.text == "INDIRECT" || token.text == "OFFSET")) {
      return true;  // what these read is known only when computed
    }
    if (token.kind == FormulaTokenKind::kReference) {
      // A reference into another workbook ("[1]Sheet1!A1") does not see this run's writes.
      if (i > 0 && tokens[i - 1].kind == FormulaTokenKind::kOther &&
          tokens[i - 1].end == token.begin) {
        continue;
      }
      int target = token.ref.sheet.empty() ? sheet : book_.WorksheetIndex(token.ref.sheet);
      if (target < 0) continue;
      CellArea area = token.ref.Area();
      if (sheets[static_cast<std::size_t>(target)]->WrittenIn(area)) return true;
      const auto& formulas = FormulaCellsOf(target);
      auto it =
          std::lower_bound(formulas.begin(), formulas.end(), std::make_pair(area.first_row, 0));
      for (; it != formulas.end() && it->first <= area.last_row; ++it) {
        if (area.Contains(it->first, it->second) && IsStale(target, it->first, it->second))
          return true;
      }
    }
    if (token.kind == FormulaTokenKind::kName) {
      for (const XlsxDefinedName& name : book_.Names()) {
        if (EqualsIgnoreCase(name.name, token.text) &&
            (name.local_sheet < 0 || name.local_sheet == sheet) &&
            DependsOnWrites(name.formula, sheet, depth + 1)) {
          return true;
        }
      }
    }
  }
  return false;
}

}  // namespace lanereport
