// Writing cells: how typed texts are stored and what the sheet part looks like afterwards.

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "TempDir.h"
#include "XlsxTemplate.h"
#include "util/AppError.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {
namespace {

using testing::FindSavedCell;
using testing::ReadZipPart;
using testing::SavedCell;
using testing::TempDir;
using testing::XlsxTemplate;
namespace xf = testing::xf;
using Kind = TypedEntry::Kind;

TEST(ClassifyTypedTextTest, TextsThatReadAsNumbersBecomeNumbers) {
  struct Case {
    const char* text;
    double number;
  } cases[] = {{"123", 123}, {" 12.5 ", 12.5}, {"-0.5", -0.5},    {"+7", 7},
               {".5", 0.5},  {"1e3", 1000},    {"1.5E-2", 0.015}, {"007", 7}};
  for (const Case& c : cases) {
    TypedEntry entry = ClassifyTypedText(c.text);
    EXPECT_EQ(entry.kind, Kind::kNumber) << c.text;
    EXPECT_DOUBLE_EQ(entry.number, c.number) << c.text;
  }
}

TEST(ClassifyTypedTextTest, OtherTextsStayTexts) {
  for (const char* text : {"12a", "1,234", "12%", "TRUE", "=1+2", "2003/12/31", "inf", "nan", "-",
                           "e5", "1e", "1e999", "２０", "2003年05月", "0x10"}) {
    TypedEntry entry = ClassifyTypedText(text);
    EXPECT_EQ(entry.kind, Kind::kText) << text;
    EXPECT_EQ(entry.text, text);
  }
}

TEST(ClassifyTypedTextTest, ApostropheAndEmptyTexts) {
  EXPECT_EQ(ClassifyTypedText("").kind, Kind::kEmpty);
  EXPECT_EQ(ClassifyTypedText("'").kind, Kind::kEmpty);
  TypedEntry date = ClassifyTypedText("'2003/12/31");
  EXPECT_EQ(date.kind, Kind::kQuotedText);
  EXPECT_EQ(date.text, "2003/12/31");
  TypedEntry number = ClassifyTypedText("'123");
  EXPECT_EQ(number.kind, Kind::kQuotedText);
  EXPECT_EQ(number.text, "123");
  EXPECT_EQ(ClassifyTypedText(" '1").kind, Kind::kText);  // only a leading apostrophe counts
}

// Opens a one-sheet template, lets write change the sheet, saves, and returns the sheet part
// and the styles part of the saved file.
struct Saved {
  std::string sheet;
  std::string styles;
  SavedCell Cell(const std::string& ref) const { return FindSavedCell(sheet, ref); }
};

Saved WriteAndSave(XlsxTemplate t, const std::function<void(XlsxSheet&)>& write) {
  TempDir dir;
  t.Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  write(*book->Worksheets()[0]);
  book->SaveAs(dir.File("out.xlsx"));
  return {*ReadZipPart(dir.File("out.xlsx"), "xl/worksheets/sheet1.xml"),
          *ReadZipPart(dir.File("out.xlsx"), "xl/styles.xml")};
}

TEST(XlsxCellTest, NumbersAreStoredAsNumbersInTheirShortestForm) {
  Saved saved = WriteAndSave(XlsxTemplate().AddSheet("S", ""), [](XlsxSheet& s) {
    s.SetValue(1, 1, "12.50");
    s.SetValue(1, 2, "-0");
    s.SetValue(1, 3, " 300 ");
  });
  EXPECT_EQ(saved.Cell("A1").v, "12.5");
  EXPECT_EQ(saved.Cell("A1").t, "");
  EXPECT_EQ(saved.Cell("B1").v, "0");
  EXPECT_EQ(saved.Cell("C1").v, "300");
}

TEST(XlsxCellTest, TextsAreStoredAsInlineStrings) {
  Saved saved = WriteAndSave(XlsxTemplate().AddSheet("S", ""), [](XlsxSheet& s) {
    s.SetValue(1, 1, "ボウラー名");
    s.SetValue(1, 2, " lead");
    s.SetValue(1, 3, "a\x01z_x0041_");
    s.SetValue(1, 4, "<ZEPA_R>");
  });
  EXPECT_EQ(saved.Cell("A1").t, "inlineStr");
  EXPECT_EQ(saved.Cell("A1").is, "ボウラー名");
  EXPECT_FALSE(saved.Cell("A1").preserve);
  EXPECT_EQ(saved.Cell("B1").is, " lead");
  EXPECT_TRUE(saved.Cell("B1").preserve);
  // A control character is escaped; a text that looks like an escape is protected.
  EXPECT_EQ(saved.Cell("C1").is, "a_x0001_z_x005F_x0041_");
  EXPECT_EQ(saved.Cell("D1").is, "<ZEPA_R>");
  EXPECT_NE(saved.sheet.find("&lt;ZEPA_R&gt;"), std::string::npos);
}

TEST(XlsxCellTest, AnApostropheMarksTheTextWithAQuotePrefixFormatOfTheSameLook) {
  Saved saved = WriteAndSave(
      XlsxTemplate().AddSheet("S", "<row r=\"1\"><c r=\"B1\" s=\"1\"/></row>"), [](XlsxSheet& s) {
        s.SetValue(1, 1, "'2003/12/31");
        s.SetValue(2, 1, "'007");
        s.SetValue(1, 2, "'bold");
      });
  SavedCell a1 = saved.Cell("A1");
  EXPECT_EQ(a1.t, "inlineStr");
  EXPECT_EQ(a1.is, "2003/12/31");
  EXPECT_EQ(saved.Cell("A2").s, a1.s);  // one added format serves every such cell

  pugi::xml_document styles;
  ASSERT_TRUE(styles.load_string(saved.styles.c_str()));
  pugi::xml_node xfs = styles.child("styleSheet").child("cellXfs");
  std::vector<pugi::xml_node> list(xfs.children("xf").begin(), xfs.children("xf").end());
  EXPECT_EQ(xfs.attribute("count").as_int(), static_cast<int>(list.size()));
  ASSERT_EQ(list.size(), 11u);  // nine of the template, a plain and a bold variant
  pugi::xml_node plain = list[static_cast<std::size_t>(std::stoi(a1.s))];
  EXPECT_STREQ(plain.attribute("quotePrefix").value(), "1");
  EXPECT_STREQ(plain.attribute("fontId").value(), "0");
  pugi::xml_node bold = list[static_cast<std::size_t>(std::stoi(saved.Cell("B1").s))];
  EXPECT_STREQ(bold.attribute("quotePrefix").value(), "1");
  EXPECT_STREQ(bold.attribute("fontId").value(), "1");
}

TEST(XlsxCellTest, WritingPlainValueIntoAQuotedCellDropsTheQuotePrefix) {
  TempDir dir;
  XlsxTemplate().AddSheet("S", "").Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  XlsxSheet& s = *book->Worksheets()[0];
  s.SetValue(1, 1, "'x");
  EXPECT_TRUE(book->Styles().Format(s.Content(1, 1).style).quote_prefix);
  s.SetValue(1, 1, "5");
  EXPECT_EQ(s.Content(1, 1).style, xf::kDefault);
  EXPECT_EQ(s.Content(1, 1).type, CellType::kNumber);
}

TEST(XlsxCellTest, ACellFormattedAsTextKeepsTypedNumbersAsText) {
  Saved saved =
      WriteAndSave(XlsxTemplate().AddSheet("S", "<row r=\"1\"><c r=\"A1\" s=\"5\"/></row>"),
                   [](XlsxSheet& s) { s.SetValue(1, 1, "007"); });
  EXPECT_EQ(saved.Cell("A1").t, "inlineStr");
  EXPECT_EQ(saved.Cell("A1").is, "007");
  EXPECT_EQ(saved.Cell("A1").s, "5");
}

TEST(XlsxCellTest, AnEmptyTextEmptiesTheCellButKeepsItsFormat) {
  Saved saved =
      WriteAndSave(XlsxTemplate().AddSheet(
                       "S",
                       "<row r=\"1\"><c r=\"A1\" s=\"2\"><v>5</v></c><c r=\"B1\"><v>6</v></c>"
                       "<c r=\"C1\"><f>A1+B1</f><v>11</v></c></row>"),
                   [](XlsxSheet& s) {
                     s.SetValue(1, 1, "");
                     s.SetValue(1, 2, "");
                     s.SetValue(1, 3, "");
                     s.SetValue(4, 4, "");  // nothing there, nothing made
                   });
  EXPECT_TRUE(saved.Cell("A1").found);
  EXPECT_EQ(saved.Cell("A1").s, "2");
  EXPECT_EQ(saved.Cell("A1").v, "");
  EXPECT_FALSE(saved.Cell("B1").found);
  EXPECT_FALSE(saved.Cell("C1").found);
  EXPECT_FALSE(saved.Cell("D4").found);
  EXPECT_EQ(saved.sheet.find("<row r=\"4\""), std::string::npos);
}

TEST(XlsxCellTest, NewRowsAndCellsGoInSheetOrderWithTheRowOrColumnFormat) {
  Saved saved = WriteAndSave(
      XlsxTemplate().AddSheet(
          "S",
          "<row r=\"3\" spans=\"2:2\" s=\"7\" customFormat=\"1\"><c r=\"B3\"><v>1</v></c></row>",
          "", "<cols><col min=\"5\" max=\"6\" width=\"9\" style=\"2\"/></cols>"),
      [](XlsxSheet& s) {
        s.SetValue(5, 1, "x");
        s.SetValue(2, 1, "y");
        s.SetValue(3, 3, "z");
        s.SetValue(3, 1, "w");
        s.SetValue(2, 5, "1.5");
      });
  std::vector<std::string> order;
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(saved.sheet.c_str()));
  for (pugi::xml_node row : doc.child("worksheet").child("sheetData").children("row")) {
    for (pugi::xml_node c : row.children("c")) order.push_back(c.attribute("r").value());
  }
  EXPECT_EQ(order, (std::vector<std::string>{"A2", "E2", "A3", "B3", "C3", "A5"}));
  EXPECT_EQ(saved.Cell("C3").s, "7");  // the row's format
  EXPECT_EQ(saved.Cell("E2").s, "2");  // the column's format
  EXPECT_EQ(saved.Cell("A2").s, "");
  EXPECT_FALSE(doc.child("worksheet")
                   .child("sheetData")
                   .find_child_by_attribute("row", "r", "3")
                   .attribute("spans"));
  EXPECT_NE(saved.sheet.find("<dimension ref=\"A2:E5\"/>"), std::string::npos);
}

TEST(XlsxCellTest, AValueReplacesAFormula) {
  Saved saved = WriteAndSave(
      XlsxTemplate().AddSheet(
          "S", "<row r=\"1\"><c r=\"A1\" t=\"str\"><f>\"a\"&amp;\"b\"</f><v>ab</v></c></row>"),
      [](XlsxSheet& s) { s.SetValue(1, 1, "3"); });
  EXPECT_EQ(saved.Cell("A1").f, "");
  EXPECT_EQ(saved.Cell("A1").t, "");
  EXPECT_EQ(saved.Cell("A1").v, "3");
}

TEST(XlsxCellTest, OverwritingASharedFormulaMasterWritesItOutInTheOtherCells) {
  std::string rows =
      "<row r=\"1\"><c r=\"C1\"><f t=\"shared\" ref=\"C1:C3\" "
      "si=\"0\">A1+$B$1</f><v>0</v></c></row>"
      "<row r=\"2\"><c r=\"C2\"><f t=\"shared\" si=\"0\"/><v>0</v></c></row>"
      "<row r=\"3\"><c r=\"C3\"><f t=\"shared\" si=\"0\"/><v>0</v></c></row>";
  Saved saved = WriteAndSave(XlsxTemplate().AddSheet("S", rows), [](XlsxSheet& s) {
    EXPECT_EQ(s.Content(3, 3).formula, "A3+$B$1");
    s.SetValue(1, 3, "x");
  });
  EXPECT_EQ(saved.Cell("C1").f, "");
  EXPECT_EQ(saved.Cell("C2").f, "A2+$B$1");
  EXPECT_EQ(saved.Cell("C2").f_type, "");
  EXPECT_EQ(saved.Cell("C3").f, "A3+$B$1");
}

TEST(XlsxCellTest, CellsReadBackWhatWasWrittenAndWhatTheTemplateHeld) {
  TempDir dir;
  XlsxTemplate()
      .AddSheet("S",
                "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"b\"><v>1</v></c>"
                "<c r=\"C1\" t=\"e\"><v>#N/A</v></c><c "
                "r=\"D1\"><f>1/3</f><v>0.33333333333333331</v></c></row>")
      .SetSharedStrings({"共有"})
      .Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  XlsxSheet& s = *book->Worksheets()[0];
  EXPECT_EQ(s.Cells(1, 1).Value(), "共有");
  EXPECT_EQ(s.Cells(1, 2).Value(), "TRUE");
  EXPECT_EQ(s.Cells(1, 3).Value(), "#N/A");
  EXPECT_EQ(s.Cells(1, 4).Value(), "0.3333333333333333");
  EXPECT_EQ(s.Content(1, 4).formula, "1/3");
  EXPECT_TRUE(s.Content(1, 4).has_cached);
  s.Cells(2, 2).SetValue("'a");
  EXPECT_EQ(s.Cells(2, 2).Value(), "a");
  EXPECT_EQ(s.Cells(9, 9).Value(), "");
}

TEST(XlsxCellTest, PositionsOutsideTheSheetAreRefused) {
  TempDir dir;
  XlsxTemplate().AddSheet("S", "").Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  XlsxSheet& s = *book->Worksheets()[0];
  for (auto [row, column] : {std::pair{0, 1}, {1, 0}, {1048577, 1}, {1, 16385}, {-5, -5}}) {
    try {
      s.SetValue(row, column, "x");
      ADD_FAILURE() << row << "," << column;
    } catch (const AppError& error) {
      EXPECT_EQ(error.Number(), kErrInvalidValue);
      EXPECT_EQ(error.Source(), "[XlsxSheet]Cells");
    }
  }
  s.SetValue(1048576, 16384, "corner");
  EXPECT_EQ(s.Cells(1048576, 16384).Value(), "corner");
}

TEST(XlsxCellTest, PrefixedSpreadsheetNamespaceIsReadAndWrittenWithItsPrefix) {
  std::string xml =
      "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<x:sheetData><x:row r=\"1\"><x:c "
      "r=\"A1\"><x:v>4</x:v></x:c></x:row></x:sheetData></x:worksheet>";
  Saved saved = WriteAndSave(XlsxTemplate().AddSheetXml("S", xml), [](XlsxSheet& s) {
    EXPECT_EQ(s.Cells(1, 1).Value(), "4");
    s.SetValue(1, 2, "t");
  });
  EXPECT_NE(saved.sheet.find("<x:c r=\"B1\" t=\"inlineStr\"><x:is><x:t>t</x:t></x:is></x:c>"),
            std::string::npos);
}

}  // namespace
}  // namespace lanereport
