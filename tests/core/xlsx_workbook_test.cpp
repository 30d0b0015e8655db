// Opening templates, saving workbooks and refusing damaged files.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include <pugixml.hpp>

#include "TempDir.h"
#include "XlsxTemplate.h"
#include "util/AppError.h"
#include "util/Make.h"
#include "util/PathControl.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {
namespace {

using testing::FindSavedCell;
using testing::ReadFileBytes;
using testing::ReadZipPart;
using testing::TempDir;
using testing::XlsxTemplate;
using testing::ZipPartNames;

// A template with a formula, a merged cell, column widths, a defined name, a calculation
// chain, shared strings and a second sheet nobody touches.
XlsxTemplate RichTemplate() {
  XlsxTemplate t;
  t.AddSheet("Stat",
             "<row r=\"1\" spans=\"1:3\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>2</v></c>"
             "<c r=\"C1\"><f>SUM(A1:B1)</f><v>3</v></c></row>"
             "<row r=\"3\"><c r=\"A3\" s=\"1\" t=\"s\"><v>0</v></c><c r=\"B3\" s=\"1\"/></row>",
             "<mergeCells count=\"1\"><mergeCell ref=\"A3:B3\"/></mergeCells>",
             "<cols><col min=\"1\" max=\"2\" width=\"20.5\" customWidth=\"1\"/></cols>")
      .AddSheet("Other", "<row r=\"2\"><c r=\"B2\" t=\"s\"><v>1</v></c></row>")
      .SetSharedStrings({"見出し", "別シート"})
      .AddDefinedName("Total", "Stat!$C$1")
      .WithCalcChain()
      .AddPart("docProps/app.xml", "<Properties>app</Properties>");
  return t;
}

pugi::xml_document ParseXml(const std::string& text) {
  pugi::xml_document doc;
  EXPECT_TRUE(doc.load_string(text.c_str()));
  return doc;
}

TEST(XlsxWorkbookTest, ListsWorksheetsInWorkbookOrderWithTheirNames) {
  TempDir dir;
  XlsxTemplate()
      .AddSheet("Stat", "")
      .AddSheet("@work", "")
      .AddSheet("月間", "")
      .Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  auto sheets = book->Worksheets();
  ASSERT_EQ(sheets.size(), 3u);
  EXPECT_EQ(sheets[0]->Name(), "Stat");
  EXPECT_EQ(sheets[1]->Name(), "@work");
  EXPECT_EQ(sheets[2]->Name(), "月間");
  EXPECT_EQ(book->FindWorksheet("stat"), sheets[0]);
  EXPECT_EQ(book->WorksheetIndex("月間"), 2);
  EXPECT_EQ(book->FindWorksheet("none"), nullptr);
}

TEST(XlsxWorkbookTest, OpeningAndSavingNeverChangesTheTemplate) {
  TempDir dir;
  RichTemplate().Write(dir.File("t.xlsx"));
  std::string before = ReadFileBytes(dir.File("t.xlsx"));
  struct stat st_before {};
  ::stat(dir.File("t.xlsx").c_str(), &st_before);

  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  book->Worksheets()[0]->SetValue(1, 1, "'text");
  book->SaveAs(dir.File("out.xlsx"));

  struct stat st_after {};
  ::stat(dir.File("t.xlsx").c_str(), &st_after);
  EXPECT_EQ(ReadFileBytes(dir.File("t.xlsx")), before);
  EXPECT_EQ(st_after.st_mtime, st_before.st_mtime);
  EXPECT_EQ(book->FullName(), dir.File("out.xlsx"));
}

TEST(XlsxWorkbookTest, SaveKeepsUntouchedPartsByteForByte) {
  TempDir dir;
  XlsxTemplate t = RichTemplate();
  t.Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  book->Worksheets()[0]->SetValue(5, 1, "12");
  book->SaveAs(dir.File("out.xlsx"));

  for (const auto& [name, bytes] : t.Parts()) {
    if (name == "xl/worksheets/sheet1.xml" || name == "xl/workbook.xml" ||
        name == "xl/calcChain.xml" || name == "xl/_rels/workbook.xml.rels" ||
        name == "[Content_Types].xml") {
      continue;
    }
    auto saved = ReadZipPart(dir.File("out.xlsx"), name);
    ASSERT_TRUE(saved) << name;
    EXPECT_EQ(*saved, bytes) << name;
  }
}

TEST(XlsxWorkbookTest, SaveKeepsFormulasMergesWidthsAndNamesOfTheWrittenSheet) {
  TempDir dir;
  RichTemplate().Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  book->Worksheets()[0]->SetValue(1, 1, "10");
  book->SaveAs(dir.File("out.xlsx"));

  std::string sheet = *ReadZipPart(dir.File("out.xlsx"), "xl/worksheets/sheet1.xml");
  EXPECT_EQ(FindSavedCell(sheet, "C1").f, "SUM(A1:B1)");
  EXPECT_EQ(FindSavedCell(sheet, "A1").v, "10");
  EXPECT_EQ(FindSavedCell(sheet, "A3").t, "s");
  EXPECT_EQ(FindSavedCell(sheet, "B3").s, "1");
  EXPECT_NE(sheet.find("<mergeCell ref=\"A3:B3\"/>"), std::string::npos);
  EXPECT_NE(sheet.find("<col min=\"1\" max=\"2\" width=\"20.5\" customWidth=\"1\"/>"),
            std::string::npos);

  pugi::xml_document workbook = ParseXml(*ReadZipPart(dir.File("out.xlsx"), "xl/workbook.xml"));
  pugi::xml_node name = workbook.child("workbook").child("definedNames").child("definedName");
  EXPECT_STREQ(name.attribute("name").value(), "Total");
  EXPECT_STREQ(name.text().get(), "Stat!$C$1");
}

TEST(XlsxWorkbookTest, SaveDropsTheCalculationChainAndAsksForFullRecalculation) {
  TempDir dir;
  RichTemplate().Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  book->SaveAs(dir.File("out.xlsx"));

  std::vector<std::string> names = ZipPartNames(dir.File("out.xlsx"));
  EXPECT_EQ(std::count(names.begin(), names.end(), "xl/calcChain.xml"), 0);
  std::string rels = *ReadZipPart(dir.File("out.xlsx"), "xl/_rels/workbook.xml.rels");
  EXPECT_EQ(rels.find("calcChain"), std::string::npos);
  EXPECT_NE(rels.find("worksheets/sheet2.xml"), std::string::npos);
  std::string types = *ReadZipPart(dir.File("out.xlsx"), "[Content_Types].xml");
  EXPECT_EQ(types.find("calcChain"), std::string::npos);
  EXPECT_NE(types.find("/xl/worksheets/sheet1.xml"), std::string::npos);

  pugi::xml_document workbook = ParseXml(*ReadZipPart(dir.File("out.xlsx"), "xl/workbook.xml"));
  pugi::xml_node calc = workbook.child("workbook").child("calcPr");
  EXPECT_STREQ(calc.attribute("fullCalcOnLoad").value(), "1");
  EXPECT_STREQ(calc.attribute("calcId").value(), "191029");
}

TEST(XlsxWorkbookTest, MissingCalcPrIsAddedBeforeTheElementsThatFollowIt) {
  TempDir dir;
  XlsxTemplate t;
  t.AddSheet("S", "")
      .Replace("xl/workbook.xml",
               "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
               "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
               "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets>"
               "<definedNames><definedName name=\"N\">S!$A$1</definedName></definedNames>"
               "<fileRecoveryPr/><extLst/></workbook>")
      .Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  book->SaveAs(dir.File("out.xlsx"));
  pugi::xml_document workbook = ParseXml(*ReadZipPart(dir.File("out.xlsx"), "xl/workbook.xml"));
  std::vector<std::string> order;
  for (pugi::xml_node n : workbook.child("workbook").children()) order.push_back(n.name());
  EXPECT_EQ(order, (std::vector<std::string>{"sheets", "definedNames", "calcPr", "fileRecoveryPr",
                                             "extLst"}));
}

TEST(XlsxWorkbookTest, SavedWorkbookOpensAgainWithTheWrittenValues) {
  TempDir dir;
  RichTemplate().Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  XlsxSheet& sheet = *book->Worksheets()[0];
  sheet.SetValue(2, 1, "12.5");
  sheet.SetValue(2, 2, "'007");
  sheet.SetValue(2, 3, "山田");
  book->SaveAs(dir.File("out.xlsx"));

  auto again = XlsxWorkbook::Open(dir.File("out.xlsx"));
  XlsxSheet& read = *again->Worksheets()[0];
  EXPECT_EQ(read.Cells(2, 1).Value(), "12.5");
  EXPECT_EQ(read.Cells(2, 2).Value(), "007");
  EXPECT_TRUE(again->Styles().Format(read.Content(2, 2).style).quote_prefix);
  EXPECT_EQ(read.Cells(2, 3).Value(), "山田");
  EXPECT_EQ(read.Cells(3, 1).Value(), "見出し");
  EXPECT_EQ(again->Worksheets()[1]->Cells(2, 2).Value(), "別シート");
}

TEST(XlsxWorkbookTest, OverwritingASharedStringDropsOnlyTheUseCount) {
  TempDir dir;
  RichTemplate().Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  book->Worksheets()[0]->SetValue(3, 1, "new");
  book->SaveAs(dir.File("out.xlsx"));
  pugi::xml_document sst = ParseXml(*ReadZipPart(dir.File("out.xlsx"), "xl/sharedStrings.xml"));
  EXPECT_FALSE(sst.child("sst").attribute("count"));
  EXPECT_STREQ(sst.child("sst").attribute("uniqueCount").value(), "2");
  EXPECT_STREQ(sst.child("sst").child("si").child("t").text().get(), "見出し");
}

TEST(XlsxWorkbookTest, TemplateWithoutStylesGetsAStylesPartWhenAQuotePrefixIsNeeded) {
  TempDir dir;
  XlsxTemplate().AddSheet("S", "").WithoutStyles().Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  book->Worksheets()[0]->SetValue(1, 1, "'2003/12/31");
  book->SaveAs(dir.File("out.xlsx"));

  std::string styles = *ReadZipPart(dir.File("out.xlsx"), "xl/styles.xml");
  pugi::xml_document doc = ParseXml(styles);
  pugi::xml_node xfs = doc.child("styleSheet").child("cellXfs");
  EXPECT_STREQ(xfs.attribute("count").value(), "2");
  EXPECT_STREQ(xfs.last_child().attribute("quotePrefix").value(), "1");
  EXPECT_NE(ReadZipPart(dir.File("out.xlsx"), "xl/_rels/workbook.xml.rels")
                ->find("Target=\"styles.xml\""),
            std::string::npos);
  EXPECT_NE(ReadZipPart(dir.File("out.xlsx"), "[Content_Types].xml")->find("/xl/styles.xml"),
            std::string::npos);
  std::string sheet = *ReadZipPart(dir.File("out.xlsx"), "xl/worksheets/sheet1.xml");
  EXPECT_EQ(FindSavedCell(sheet, "A1").s, "1");
}

TEST(XlsxWorkbookTest, AFailedSaveLeavesNoFileAndTheOldFileWhole) {
  TempDir dir;
  RichTemplate().Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  MakeFile(dir.File("old.xlsx"), "old contents");
  SetMakeFileFaultForTesting(
      [](const std::string&) { throw AppError(kErrFile, "test", "disk full"); });
  EXPECT_THROW(book->SaveAs(dir.File("old.xlsx")), AppError);
  EXPECT_THROW(book->SaveAs(dir.File("new.xlsx")), AppError);
  SetMakeFileFaultForTesting(nullptr);
  EXPECT_EQ(ReadFileBytes(dir.File("old.xlsx")), "old contents");
  EXPECT_FALSE(IsExistFile(dir.File("new.xlsx")));
}

// ---- damaged and foreign files ----------------------------------------------------------

struct Damage {
  const char* label;
  std::function<void(const std::string& path)> write;
};

class DamagedTemplateTest : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedTemplateTest, IsRefusedWithAFileErrorAndLeftAsItWas) {
  TempDir dir;
  std::string path = dir.File("t.xlsx");
  GetParam().write(path);
  std::string before = ReadFileBytes(path);
  try {
    XlsxWorkbook::Open(path);
    FAIL() << "opened a damaged template";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), kErrFile);
    EXPECT_EQ(error.Source(), "[XlsxWorkbook]Open");
    EXPECT_FALSE(error.Description().empty());
  }
  EXPECT_EQ(ReadFileBytes(path), before);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedTemplateTest,
    ::testing::Values(
        Damage{"NotAZip",
               [](const std::string& p) { MakeFile(p, "this is plain text, not a workbook"); }},
        Damage{"TruncatedZip",
               [](const std::string& p) {
                 XlsxTemplate().AddSheet("S", "").Write(p);
                 std::string bytes = ReadFileBytes(p);
                 MakeFile(p, bytes.substr(0, bytes.size() / 2));
               }},
        Damage{"NoWorkbookPart",
               [](const std::string& p) {
                 XlsxTemplate().AddSheet("S", "").Omit("xl/workbook.xml").Write(p);
               }},
        Damage{"NoContentTypes",
               [](const std::string& p) {
                 XlsxTemplate().AddSheet("S", "").Omit("[Content_Types].xml").Write(p);
               }},
        Damage{"MalformedContentTypes",  // saving could not edit them: found by fuzzing
               [](const std::string& p) {
                 XlsxTemplate().AddSheet("S", "").Replace("[Content_Types].xml", ">").Write(p);
               }},
        Damage{"MalformedWorkbookXml",
               [](const std::string& p) {
                 XlsxTemplate()
                     .AddSheet("S", "")
                     .Replace("xl/workbook.xml", "<workbook><sheets>")
                     .Write(p);
               }},
        Damage{
            "MalformedSheetXml",
            [](const std::string& p) {
              XlsxTemplate().AddSheetXml("S", "<worksheet><sheetData><row></sheetData>").Write(p);
            }},
        Damage{"MalformedStyles",
               [](const std::string& p) {
                 XlsxTemplate().AddSheet("S", "").SetStyles("<styleSheet").Write(p);
               }},
        Damage{"MissingSheetPart",
               [](const std::string& p) {
                 XlsxTemplate()
                     .AddSheet("S", "")
                     .AddSheet("T", "")
                     .Omit("xl/worksheets/sheet2.xml")
                     .Write(p);
               }},
        Damage{"SheetPartIsNoWorksheet",
               [](const std::string& p) {
                 XlsxTemplate().AddSheetXml("S", "<chartsheet/>").Write(p);
               }}),
    [](const ::testing::TestParamInfo<Damage>& info) { return info.param.label; });

TEST(XlsxWorkbookTest, AMissingFileIsAFileError) {
  TempDir dir;
  try {
    XlsxWorkbook::Open(dir.File("none.xlsx"));
    FAIL();
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), kErrFile);
  }
}

}  // namespace
}  // namespace lanereport
