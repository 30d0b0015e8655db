// Formula texts (tokens, moving references) and the values formulas show when published.

#include <gtest/gtest.h>

#include "TempDir.h"
#include "XlsxTemplate.h"
#include "workbook/xlsx/FormulaEvaluator.h"
#include "workbook/xlsx/FormulaText.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {
namespace {

using testing::TempDir;
using testing::XlsxTemplate;
using Kind = FormulaTokenKind;
using Type = FormulaValue::Type;

TEST(FormulaTextTest, TokensOfAFormulaWithReferencesOnOtherSheets) {
  std::vector<FormulaToken> tokens = TokenizeFormula("SUM(A1:B2)+Sheet2!$C$3*'My ''x'''!A:A");
  std::vector<Kind> kinds;
  for (const FormulaToken& t : tokens) kinds.push_back(t.kind);
  EXPECT_EQ(kinds, (std::vector<Kind>{Kind::kFunction, Kind::kOpenParen, Kind::kReference,
                                      Kind::kCloseParen, Kind::kOperator, Kind::kReference,
                                      Kind::kOperator, Kind::kReference}));
  EXPECT_EQ(tokens[0].text, "SUM");
  EXPECT_EQ(tokens[2].ref.Area(), (CellArea{1, 1, 2, 2}));
  EXPECT_EQ(tokens[5].ref.sheet, "Sheet2");
  EXPECT_TRUE(tokens[5].ref.absolute_row1);
  EXPECT_EQ(tokens[7].ref.sheet, "My 'x'");
  EXPECT_EQ(tokens[7].ref.shape, FormulaReference::Shape::kColumns);
  EXPECT_EQ(tokens[7].ref.Area(), (CellArea{1, 1, kMaxRows, 1}));
}

TEST(FormulaTextTest, NamesFunctionsStringsAndErrorsAreNoReferences) {
  std::vector<FormulaToken> tokens = TokenizeFormula("LOG10(A1)&\"B2\"&Total&#REF!&TRUE&1.5E+3");
  EXPECT_EQ(tokens[0].kind, Kind::kFunction);
  EXPECT_EQ(tokens[0].text, "LOG10");
  EXPECT_EQ(tokens[5].kind, Kind::kString);
  EXPECT_EQ(tokens[5].text, "B2");
  EXPECT_EQ(tokens[7].kind, Kind::kName);
  EXPECT_EQ(tokens[9].kind, Kind::kError);
  EXPECT_EQ(tokens[11].kind, Kind::kBool);
  EXPECT_EQ(tokens[13].kind, Kind::kNumber);
  EXPECT_EQ(tokens[13].text, "1.5E+3");
}

TEST(FormulaTextTest, ShiftingMovesOnlyRelativeParts) {
  EXPECT_EQ(ShiftFormula("A1+$B$1+B$2+$C3", 1, 1), "B2+$B$1+C$2+$C4");
  EXPECT_EQ(ShiftFormula("SUM(A1:A3)", 2, 0), "SUM(A3:A5)");
  EXPECT_EQ(ShiftFormula("SUM(B:B)*SUM(2:2)", 3, 1), "SUM(C:C)*SUM(5:5)");
  EXPECT_EQ(ShiftFormula("Sheet2!A1+'It''s'!B2", 1, 0), "Sheet2!A2+'It''s'!B3");
  EXPECT_EQ(ShiftFormula("\"A1\"&A1&LOG10(A1)", 1, 0), "\"A1\"&A2&LOG10(A2)");
  EXPECT_EQ(ShiftFormula("A1 + 1", 0, 0), "A1 + 1");
  EXPECT_EQ(ShiftFormula("A1+B2", -1, 0), "#REF!+B1");
  EXPECT_EQ(ShiftFormula("Table1[[#This Row],[A1]]+A1", 1, 0), "Table1[[#This Row],[A1]]+A2");
}

// A workbook whose first sheet holds numbers in A1:B3, texts and formulas, and a second sheet
// that refers to the first.
class FormulaEvaluatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    XlsxTemplate()
        .AddSheet("Data",
                  "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>2</v></c>"
                  "<c r=\"C1\"><f>SUM(A1:B1)</f><v>3</v></c>"
                  "<c r=\"D1\"><f>C1*2</f><v>6</v></c>"
                  "<c r=\"E1\"><f>F1*2</f><v>42</v></c>"
                  "<c r=\"G1\"><f>VLOOKUP(A1,A1:B3,2,FALSE)</f><v>2</v></c>"
                  "<c r=\"H1\"><f>VLOOKUP(A9,A9:B9,2,FALSE)</f><v>7</v></c>"
                  "<c r=\"I1\"><f>SUM(Total)</f><v>99</v></c></row>"
                  "<row r=\"2\"><c r=\"A2\"><v>3</v></c><c r=\"B2\"><v>4</v></c>"
                  "<c r=\"C2\" t=\"s\"><v>0</v></c><c r=\"D2\" t=\"b\"><v>1</v></c></row>"
                  "<row r=\"3\"><c r=\"A3\"><v>5</v></c><c r=\"B3\"><v>6</v></c></row>")
        .AddSheet("Summary",
                  "<row r=\"1\"><c r=\"A1\"><f>Data!A1+1</f><v>2</v></c>"
                  "<c r=\"B1\"><f>Data!Z9+1</f><v>1</v></c></row>")
        .SetSharedStrings({"text"})
        .AddDefinedName("Total", "Data!$A$1:$B$1")
        .Write(dir_.File("t.xlsx"));
    book_ = XlsxWorkbook::Open(dir_.File("t.xlsx"));
  }

  FormulaValue Eval(const std::string& formula) {
    FormulaEvaluator evaluator(*book_);
    return evaluator.Evaluate(formula, 0, 5, 5);
  }
  double Number(const std::string& formula) {
    FormulaValue value = Eval(formula);
    EXPECT_EQ(value.type, Type::kNumber) << formula << " gave " << value.text;
    return value.number;
  }
  XlsxSheet& Data() { return *book_->Worksheets()[0]; }

  TempDir dir_;
  std::unique_ptr<XlsxWorkbook> book_;
};

TEST_F(FormulaEvaluatorTest, ArithmeticFollowsTheSpreadsheetsPrecedence) {
  EXPECT_DOUBLE_EQ(Number("2+3*4"), 14);
  EXPECT_DOUBLE_EQ(Number("(2+3)*4"), 20);
  EXPECT_DOUBLE_EQ(Number("10/4"), 2.5);
  EXPECT_DOUBLE_EQ(Number("-2^2"), 4);    // negation binds tighter than ^
  EXPECT_DOUBLE_EQ(Number("2^3^2"), 64);  // ^ runs left to right
  EXPECT_DOUBLE_EQ(Number("50%*4"), 2);
  EXPECT_DOUBLE_EQ(Number("A1+B2*A3"), 21);
  EXPECT_DOUBLE_EQ(Number("Z99+1"), 1);  // an empty cell counts as 0
  EXPECT_DOUBLE_EQ(Number("\"3\"*2"), 6);
  EXPECT_EQ(Eval("1/0").text, "#DIV/0!");
  EXPECT_EQ(Eval("C2+1").text, "#VALUE!");  // a text cell
  EXPECT_EQ(Eval("\"a\"&1.5&TRUE").text, "a1.5TRUE");
  EXPECT_EQ(Eval("A1<B1").type, Type::kBool);
  EXPECT_EQ(Eval("A1<B1").number, 1);
  EXPECT_EQ(Eval("\"abc\"=\"ABC\"").number, 1);
  EXPECT_EQ(Eval("1<\"a\"").number, 1);  // numbers sort before texts
}

TEST_F(FormulaEvaluatorTest, FunctionsOverRangesOfTheSameAndOtherSheets) {
  EXPECT_DOUBLE_EQ(Number("SUM(A1:B3)"), 21);
  EXPECT_DOUBLE_EQ(Number("SUM(A:A)"), 9);
  EXPECT_DOUBLE_EQ(Number("AVERAGE(A1:A3)"), 3);
  EXPECT_DOUBLE_EQ(Number("AVERAGE(A1:D2)"), 19.0 / 6);  // the text and TRUE are left out
  EXPECT_DOUBLE_EQ(Number("MIN(A1:B3,-1)"), -1);
  EXPECT_DOUBLE_EQ(Number("MAX(Data!A1:B3)"), 6);
  EXPECT_DOUBLE_EQ(Number("COUNT(A1:D3)"), 8);
  EXPECT_DOUBLE_EQ(Number("COUNTA(A1:D3)"), 10);  // every non-empty cell
  EXPECT_DOUBLE_EQ(Number("ROUND(2.675,2)"), 2.68);
  EXPECT_DOUBLE_EQ(Number("ROUND(-2.5,0)"), -3);
  EXPECT_DOUBLE_EQ(Number("ROUNDUP(1.21,1)"), 1.3);
  EXPECT_DOUBLE_EQ(Number("ROUNDDOWN(-1.29,1)"), -1.2);
  EXPECT_DOUBLE_EQ(Number("INT(-1.5)+ABS(-2)+MOD(-7,3)"), -2 + 2 + 2);
  EXPECT_DOUBLE_EQ(Number("IF(A1>B1,10,20)"), 20);
  EXPECT_DOUBLE_EQ(Number("IFERROR(1/0,7)"), 7);
  EXPECT_EQ(Eval("AND(A1,D2)").number, 1);
  EXPECT_EQ(Eval("NOT(OR(FALSE,0))").number, 1);
  EXPECT_EQ(Eval("CONCATENATE(C2,\"-\",A2)").text, "text-3");
  EXPECT_DOUBLE_EQ(Number("LEN(\"ボウラー\")"), 4);
  EXPECT_DOUBLE_EQ(Number("SUM(Total)"), 3);
  EXPECT_DOUBLE_EQ(Number("Data!B2"), 4);
}

TEST_F(FormulaEvaluatorTest, AnAreaAsOneValueIsTheCellInTheFormulasRowOrColumn) {
  FormulaEvaluator evaluator(*book_);
  EXPECT_EQ(evaluator.Evaluate("A1:A3", 0, 2, 9).number, 3);
  EXPECT_EQ(evaluator.Evaluate("A2:C2", 0, 9, 2).number, 4);
  EXPECT_EQ(evaluator.Evaluate("A1:A3", 0, 5, 5).text, "#VALUE!");
}

TEST_F(FormulaEvaluatorTest, UnsupportedFormulasAreUnknown) {
  EXPECT_EQ(Eval("VLOOKUP(1,A1:B3,2)").type, Type::kUnknown);
  EXPECT_EQ(Eval("{1,2}").type, Type::kUnknown);
  EXPECT_EQ(Eval("Nowhere!A1").type, Type::kUnknown);
  EXPECT_EQ(Eval("NoSuchName+1").type, Type::kUnknown);
  EXPECT_EQ(Eval("A1 B1").type, Type::kUnknown);
  EXPECT_EQ(Eval("SUM(").type, Type::kUnknown);
}

TEST_F(FormulaEvaluatorTest, WithoutWritesStoredResultsAreShownAsTheyAre) {
  FormulaEvaluator evaluator(*book_);
  EXPECT_EQ(evaluator.CellValue(0, 1, 5).number, 42);  // stored 42 though F1 is empty
  EXPECT_EQ(evaluator.CellValue(0, 1, 7).number, 2);   // VLOOKUP: stored result
  EXPECT_EQ(evaluator.CellValue(0, 1, 9).number, 99);
  EXPECT_FALSE(evaluator.IsStale(0, 1, 3));
}

TEST_F(FormulaEvaluatorTest, FormulasThatDependOnWrittenCellsAreComputedAfresh) {
  Data().SetValue(1, 1, "10");
  FormulaEvaluator evaluator(*book_);
  EXPECT_TRUE(evaluator.IsStale(0, 1, 3));
  EXPECT_EQ(evaluator.CellValue(0, 1, 3).number, 12);  // C1 = SUM(A1:B1)
  EXPECT_EQ(evaluator.CellValue(0, 1, 4).number, 24);  // D1 = C1*2, through C1
  EXPECT_EQ(evaluator.CellValue(0, 1, 9).number, 12);  // I1 = SUM(Total), through the name
  EXPECT_EQ(evaluator.CellValue(1, 1, 1).number, 11);  // Summary!A1 = Data!A1+1
  // Formulas that do not depend on the written cell keep their stored results.
  EXPECT_FALSE(evaluator.IsStale(0, 1, 5));
  EXPECT_EQ(evaluator.CellValue(0, 1, 5).number, 42);
  EXPECT_EQ(evaluator.CellValue(0, 1, 8).number, 7);
  EXPECT_EQ(evaluator.CellValue(1, 1, 2).number, 1);
  // A stale formula this evaluator cannot compute gives no value rather than a stale one.
  EXPECT_EQ(evaluator.CellValue(0, 1, 7).type, Type::kUnknown);
}

TEST_F(FormulaEvaluatorTest, CircularReferencesEndAsUnknown) {
  TempDir dir;
  XlsxTemplate()
      .AddSheet("S", "<row r=\"1\"><c r=\"A1\"><f>B1+1</f></c><c r=\"B1\"><f>A1+1</f></c></row>")
      .Write(dir.File("c.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("c.xlsx"));
  FormulaEvaluator evaluator(*book);
  EXPECT_EQ(evaluator.CellValue(0, 1, 1).type, Type::kUnknown);
}

}  // namespace
}  // namespace lanereport
