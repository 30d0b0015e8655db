// The results a saved workbook stores with its formulas: what the evaluator gives each formula
// once the sheets are filled, so that a reader that does not recalculate shows them too.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "GameBuilder.h"
#include "ScoreDb.h"
#include "TempDir.h"
#include "XlsxTemplate.h"
#include "database/clsS_OUTPUT_Data.h"
#include "util/StringUtil.h"
#include "workbook/BowlerWorkbook.h"
#include "workbook/SelectionBuilder.h"
#include "workbook/xlsx/FormulaEvaluator.h"
#include "workbook/xlsx/XlsxSheet.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {
namespace {

using namespace testing;
using Type = FormulaValue::Type;

// What a saved sheet part holds for one formula cell.
struct SavedResult {
  std::string t;
  bool has_v = false;
  std::string v;
};
// Sheet part -> cell name -> saved result, for every cell with a formula.
using SavedResults = std::map<std::string, std::map<std::string, SavedResult>>;

// Every formula cell of every worksheet part of the saved workbook, read from the archive with
// pugixml.
SavedResults ReadSavedResults(const std::string& path) {
  SavedResults results;
  for (const std::string& part : ZipPartNames(path)) {
    if (!part.starts_with("xl/worksheets/") || !part.ends_with(".xml")) continue;
    std::string xml = *ReadZipPart(path, part);
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_buffer(xml.data(), xml.size())) << part;
    auto& cells = results[part];
    for (pugi::xml_node row : doc.child("worksheet").child("sheetData").children("row")) {
      for (pugi::xml_node c : row.children("c")) {
        if (!c.child("f")) continue;
        SavedResult& saved = cells[c.attribute("r").value()];
        saved.t = c.attribute("t").value();
        saved.has_v = static_cast<bool>(c.child("v"));
        saved.v = c.child("v").text().get();
      }
    }
  }
  return results;
}

// Checks that a saved result is the value, with the cell type that carries it.
void ExpectSavedAs(const SavedResult& saved, const FormulaValue& value, const std::string& where) {
  switch (value.type) {
    case Type::kNumber: {
      EXPECT_TRUE(saved.t.empty() || saved.t == "n") << where << " t=" << saved.t;
      ASSERT_TRUE(saved.has_v) << where;
      auto number = ParseNumber(saved.v);
      ASSERT_TRUE(number) << where << " v=" << saved.v;
      EXPECT_EQ(*number, value.number) << where;
      break;
    }
    case Type::kText:
      EXPECT_EQ(saved.t, "str") << where;
      EXPECT_TRUE(saved.has_v) << where;
      EXPECT_EQ(saved.v, value.text) << where;
      break;
    case Type::kBool:
      EXPECT_EQ(saved.t, "b") << where;
      EXPECT_EQ(saved.v, value.number != 0 ? "1" : "0") << where;
      break;
    case Type::kError:
      EXPECT_EQ(saved.t, "e") << where;
      EXPECT_EQ(saved.v, value.text) << where;
      break;
    case Type::kEmpty:
    case Type::kUnknown:
      EXPECT_FALSE(saved.has_v) << where << " v=" << saved.v;
      EXPECT_EQ(saved.t, "") << where;
      break;
  }
}

// What the evaluator gives every formula cell of the workbook as it is now, by sheet part.
std::map<std::string, std::map<std::string, FormulaValue>> EvaluatorResults(
    const XlsxWorkbook& book) {
  std::map<std::string, std::map<std::string, FormulaValue>> results;
  FormulaEvaluator evaluator(book);
  std::vector<XlsxSheet*> sheets = book.Worksheets();
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    for (const auto& [row, column] : sheets[i]->FormulaCells()) {
      results[sheets[i]->PartName()][CellName(row, column)] =
          evaluator.CellValue(static_cast<int>(i), row, column);
    }
  }
  return results;
}

// Saves the workbook and checks that every formula cell of the saved file carries what the
// evaluator gave it just before saving. Returns the saved results.
SavedResults SaveAndCompare(XlsxWorkbook& book, const std::string& path) {
  auto expected = EvaluatorResults(book);
  book.SaveAs(path);
  SavedResults saved = ReadSavedResults(path);
  std::size_t compared = 0;
  for (const auto& [part, cells] : expected) {
    for (const auto& [ref, value] : cells) {
      auto found = saved[part].find(ref);
      if (found == saved[part].end()) {
        ADD_FAILURE() << part << " " << ref << " has no formula any more";
        continue;
      }
      ExpectSavedAs(found->second, value, part + " " + ref);
      ++compared;
    }
  }
  std::size_t formulas = 0;
  for (const auto& [part, cells] : saved) formulas += cells.size();
  EXPECT_EQ(compared, formulas);
  return saved;
}

std::string WriteTemplate(const XlsxTemplate& t, const TempDir& dir) {
  t.Write(dir.File("t.xlsx"));
  return dir.File("t.xlsx");
}

TEST(XlsxFormulaResultsTest, AResultStoredWithTheTemplateFollowsTheDataFilledAfterIt) {
  TempDir dir;
  auto book = XlsxWorkbook::Open(WriteTemplate(
      XlsxTemplate().AddSheet("Stat",
                              "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><f>A1*2</f>"
                              "<v>2</v></c><c r=\"C1\"><f>SUM(A1:A3)+B1</f><v>3</v></c></row>"),
      dir));
  book->Worksheets()[0]->SetValue(1, 1, "21");
  book->Worksheets()[0]->SetValue(3, 1, "0.5");
  SavedResults saved = SaveAndCompare(*book, dir.File("out.xlsx"));
  EXPECT_EQ(saved["xl/worksheets/sheet1.xml"]["B1"].v, "42");
  EXPECT_EQ(saved["xl/worksheets/sheet1.xml"]["C1"].v, "63.5");
}

TEST(XlsxFormulaResultsTest, AnErrorResultIsSavedAsAnErrorValue) {
  TempDir dir;
  auto book = XlsxWorkbook::Open(WriteTemplate(
      XlsxTemplate().AddSheet("Stat",
                              "<row r=\"1\"><c r=\"A1\"><v>6</v></c><c r=\"B1\"><v>3</v></c>"
                              "<c r=\"C1\"><f>A1/B1</f><v>2</v></c>"
                              "<c r=\"D1\"><f>C1+1</f><v>3</v></c></row>"),
      dir));
  book->Worksheets()[0]->SetValue(1, 2, "0");
  SavedResults saved = SaveAndCompare(*book, dir.File("out.xlsx"));
  SavedResult c1 = saved["xl/worksheets/sheet1.xml"]["C1"];
  EXPECT_EQ(c1.t, "e");
  EXPECT_EQ(c1.v, "#DIV/0!");
  // What refers to the error gives it on.
  EXPECT_EQ(saved["xl/worksheets/sheet1.xml"]["D1"].t, "e");
  EXPECT_EQ(saved["xl/worksheets/sheet1.xml"]["D1"].v, "#DIV/0!");
}

TEST(XlsxFormulaResultsTest, TextsAndTruthValuesKeepTheirTypes) {
  TempDir dir;
  auto book = XlsxWorkbook::Open(
      WriteTemplate(XlsxTemplate().AddSheet(
                        "Stat",
                        "<row r=\"1\"><c r=\"B1\" t=\"str\"><f>IF(A1=\"\",\"\",\"名前 \"&amp;A1)"
                        "</f><v></v></c><c r=\"C1\"><f>A1&gt;1</f><v>0</v></c>"
                        "<c r=\"D1\" t=\"str\"><f>IF(A1=\"\",\"\",A1*0)</f><v></v></c>"
                        "</row>"),
                    dir));
  book->Worksheets()[0]->SetValue(1, 1, "5");
  SavedResults saved = SaveAndCompare(*book, dir.File("out.xlsx"));
  auto& cells = saved["xl/worksheets/sheet1.xml"];
  EXPECT_EQ(cells["B1"].t, "str");
  EXPECT_EQ(cells["B1"].v, "名前 5");
  EXPECT_EQ(cells["C1"].t, "b");
  EXPECT_EQ(cells["C1"].v, "1");
  // A text result before, a number now.
  EXPECT_EQ(cells["D1"].t, "");
  EXPECT_EQ(cells["D1"].v, "0");
}

TEST(XlsxFormulaResultsTest, AFormulaOnAnUnwrittenSheetFollowsTheWrittenOne) {
  TempDir dir;
  auto book = XlsxWorkbook::Open(WriteTemplate(
      XlsxTemplate()
          .AddSheet("Stat", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")
          .AddSheet("Sum", "<row r=\"1\"><c r=\"A1\"><f>Stat!A1+1</f><v>2</v></c></row>"),
      dir));
  book->Worksheets()[0]->SetValue(1, 1, "9");
  SavedResults saved = SaveAndCompare(*book, dir.File("out.xlsx"));
  EXPECT_EQ(saved["xl/worksheets/sheet2.xml"]["A1"].v, "10");
}

TEST(XlsxFormulaResultsTest, AResultThatCannotBeComputedIsLeftOutRatherThanLeftStale) {
  TempDir dir;
  auto book = XlsxWorkbook::Open(WriteTemplate(
      XlsxTemplate().AddSheet("Stat",
                              "<row r=\"1\"><c r=\"A1\"><v>1</v></c>"
                              "<c r=\"B1\" t=\"str\"><f>TEXT(A1,\"0\")</f><v>1</v></c>"
                              "<c r=\"C1\"><f>TODAY()</f><v>45000</v></c></row>"),
      dir));
  book->Worksheets()[0]->SetValue(1, 1, "2");
  SavedResults saved = SaveAndCompare(*book, dir.File("out.xlsx"));
  auto& cells = saved["xl/worksheets/sheet1.xml"];
  EXPECT_FALSE(cells["B1"].has_v);
  EXPECT_EQ(cells["B1"].t, "");
  // Nothing it depends on was written: the stored result stands.
  EXPECT_EQ(cells["C1"].v, "45000");
}

TEST(XlsxFormulaResultsTest, FormulasWithoutAStoredResultAndSharedFormulasGetTheirResults) {
  TempDir dir;
  auto book = XlsxWorkbook::Open(
      WriteTemplate(XlsxTemplate().AddSheet(
                        "Stat",
                        "<row r=\"1\"><c r=\"A1\"><v>1</v></c>"
                        "<c r=\"B1\"><f t=\"shared\" ref=\"B1:B3\" si=\"0\">A1*10</f></c></row>"
                        "<row r=\"2\"><c r=\"A2\"><v>2</v></c>"
                        "<c r=\"B2\"><f t=\"shared\" si=\"0\"/></c></row>"
                        "<row r=\"3\"><c r=\"B3\"><f t=\"shared\" si=\"0\"/><v>7</v></c>"
                        "<c r=\"C3\"><f>1+1</f><extLst/></c></row>"),
                    dir));
  book->Worksheets()[0]->SetValue(3, 1, "3");
  SavedResults saved = SaveAndCompare(*book, dir.File("out.xlsx"));
  auto& cells = saved["xl/worksheets/sheet1.xml"];
  EXPECT_EQ(cells["B1"].v, "10");
  EXPECT_EQ(cells["B2"].v, "20");
  EXPECT_EQ(cells["B3"].v, "30");
  EXPECT_EQ(cells["C3"].v, "2");
  // The result stands between the formula and the rest of the cell.
  std::string xml = *ReadZipPart(dir.File("out.xlsx"), "xl/worksheets/sheet1.xml");
  EXPECT_NE(xml.find("<c r=\"C3\"><f>1+1</f><v>2</v><extLst/></c>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<f t=\"shared\" si=\"0\"/><v>20</v>"), std::string::npos) << xml;
}

TEST(XlsxFormulaResultsTest, ASheetWhoseResultsStandIsSavedByteForByte) {
  TempDir dir;
  XlsxTemplate t;
  t.AddSheet("Stat", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")
      .AddSheet("Fixed",
                "<row r=\"1\"><c r=\"A1\"><v>4</v></c><c r=\"B1\"><f>A1*2</f><v>8</v></c>"
                "<c r=\"C1\" t=\"str\"><f>IF(A1=\"\",\"\",\"x\")</f><v>x</v></c></row>");
  t.Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  book->Worksheets()[0]->SetValue(1, 1, "2");
  SaveAndCompare(*book, dir.File("out.xlsx"));
  bool checked = false;
  for (const auto& [name, bytes] : t.Parts()) {
    if (name != "xl/worksheets/sheet2.xml") continue;
    EXPECT_EQ(*ReadZipPart(dir.File("out.xlsx"), name), bytes);
    checked = true;
  }
  EXPECT_TRUE(checked);
}

// The demo-like run: the statistics sheet filled by the workbook run, with the month-link
// formulas of the default template on every bowler row and on rows left empty.
class FilledWorkbookResultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Database& db = fx_.Db();
    AddTwoBowlerMonthSheet(db);

    // Rows 4 to 7: the month links (R, S), the games count doubled (T), a share of the May
    // average that divides by the June one (U: no June games, an error) and whether the
    // bowler has games (V), each with the result it gives on an empty row, as the template was
    // saved.
    std::string rows;
    for (int r = 4; r <= 7; ++r) {
      std::string n = std::to_string(r);
      std::string bowler = std::to_string(r - 3);
      rows += "<row r=\"" + n + "\">";
      for (int j = 0; j < 2; ++j) {
        rows += "<c r=\"" + std::string(j == 0 ? "R" : "S") + n + "\" s=\"0\" t=\"str\"><f>IF($B" +
                n + "=\"\",\"\",\"&lt;ZEPA_Link_" + bowler + "_" + std::to_string(j) +
                "&gt;\")</f><v></v></c>";
      }
      rows += "<c r=\"T" + n + "\"><f>C" + n + "*2</f><v>0</v></c>";
      rows += "<c r=\"U" + n + "\" t=\"str\"><f>IF($B" + n + "=\"\",\"\",D" + n + "/E" + n +
              ")</f><v></v></c>";
      rows += "<c r=\"V" + n + "\" t=\"b\"><f>C" + n + "&gt;0</f><v>0</v></c>";
      rows += "</row>";
    }
    rows += "<row r=\"110\"><c r=\"A110\" t=\"inlineStr\"><is><t>&lt;ZEPA_R&gt;</t></is></c></row>";
    XlsxTemplate().AddSheet("Month", rows).Write(fx_.Dir().File("template.xlsx"));
    options_.template_path = fx_.Dir().File("template.xlsx");
    options_.out_folder = fx_.Dir().File("out");
  }

  ScoreDbFixture fx_;
  WorkbookState state_;
  CountingProgress progress_;
  RecordingMessages messages_;
  WorkbookRunOptions options_;
};

TEST_F(FilledWorkbookResultsTest, EveryFormulaCarriesWhatTheEvaluatorGivesIt) {
  state_.bulk_year = "2003";
  options_.html = true;
  BowlerWorkbook run(fx_.Db(), "score", state_, progress_, messages_);
  WorkbookRunResult result = run.Run(options_);
  ASSERT_FALSE(result.workbook_path.empty());

  // Each saved result against the formula computed afresh from the saved cells.
  SavedResults saved = ReadSavedResults(result.workbook_path);
  auto book = XlsxWorkbook::Open(result.workbook_path);
  FormulaEvaluator evaluator(*book);
  std::vector<XlsxSheet*> sheets = book->Worksheets();
  std::size_t compared = 0;
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    for (const auto& [row, column] : sheets[i]->FormulaCells()) {
      std::string ref = CellName(row, column);
      FormulaValue value = evaluator.Evaluate(sheets[i]->Content(row, column).formula,
                                              static_cast<int>(i), row, column);
      ASSERT_NE(value.type, Type::kUnknown) << ref;
      ExpectSavedAs(saved[sheets[i]->PartName()][ref], value, sheets[i]->Name() + " " + ref);
      ++compared;
    }
  }
  EXPECT_EQ(compared, 20u);

  auto& cells = saved["xl/worksheets/sheet1.xml"];
  EXPECT_EQ(cells["R4"].v, "<ZEPA_Link_1_0>");
  EXPECT_EQ(cells["S5"].v, "<ZEPA_Link_2_1>");
  EXPECT_EQ(cells["R5"].t, "str");
  EXPECT_EQ(cells["R6"].t, "str");  // no bowler on the row
  EXPECT_EQ(cells["R6"].v, "");
  EXPECT_EQ(cells["T4"].v, "4");
  EXPECT_EQ(cells["U4"].t, "e");
  EXPECT_EQ(cells["U4"].v, "#DIV/0!");
  EXPECT_EQ(cells["V5"].t, "b");
  EXPECT_EQ(cells["V5"].v, "1");
  EXPECT_EQ(cells["V6"].v, "0");

  // Spreadsheet applications still compute everything afresh on opening.
  std::string workbook = *ReadZipPart(result.workbook_path, "xl/workbook.xml");
  EXPECT_NE(workbook.find("fullCalcOnLoad=\"1\""), std::string::npos);
}

}  // namespace
}  // namespace lanereport
