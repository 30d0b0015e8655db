// Publishing a sheet as a static web page.

#include <gtest/gtest.h>

#include <algorithm>

#include "TempDir.h"
#include "XlsxTemplate.h"
#include "util/AppError.h"
#include "util/PathControl.h"
#include "workbook/xlsx/SheetPublisher.h"
#include "workbook/xlsx/XlsxPublishObjects.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::XlsxTemplate;

constexpr const char* kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string kPng = std::string("\x89PNG\r\n\x1a\n", 8) + "picture bytes";

std::string Drawing() {
  return std::string(
             "<xdr:wsDr "
             "xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
             "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" xmlns:r=\"") +
         kRel +
         "\"><xdr:twoCellAnchor><xdr:from><xdr:col>1</xdr:col><xdr:colOff>95250</"
         "xdr:colOff><xdr:row>9</xdr:row>"
         "<xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:to><xdr:col>3</xdr:col><xdr:colOff>0</"
         "xdr:colOff>"
         "<xdr:row>12</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:to>"
         "<xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"2\" name=\"p\"/><xdr:cNvPicPr/></xdr:nvPicPr>"
         "<xdr:blipFill><a:blip r:embed=\"rIdImg\"/></xdr:blipFill>"
         "<xdr:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"952500\" "
         "cy=\"476250\"/></a:xfrm></xdr:spPr>"
         "</xdr:pic><xdr:clientData/></xdr:twoCellAnchor>"
         "<xdr:twoCellAnchor><xdr:from><xdr:col>0</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>0</"
         "xdr:row>"
         "<xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:to><xdr:col>1</xdr:col><xdr:colOff>0</"
         "xdr:colOff>"
         "<xdr:row>1</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:to><xdr:graphicFrame macro=\"\"/>"
         "<xdr:clientData/></xdr:twoCellAnchor></xdr:wsDr>";
}

std::string Rels(const std::string& id, const std::string& type, const std::string& target) {
  return "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"" +
         id + "\" Type=\"" + kRel + "/" + type + "\" Target=\"" + target + "\"/></Relationships>";
}

// Sheet "Stat": placeholders and texts in row 1, a merged and boxed heading in A2:C3,
// formatted numbers in row 4, a formula depending on A6 in row 6, a hidden row 8 and a hidden
// column G, a picture anchored at B10 and a chart.
XlsxTemplate PublishTemplate() {
  XlsxTemplate t;
  t.AddSheet(
       "Stat",
       "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
       "<c r=\"B1\" t=\"inlineStr\"><is><t>a &amp; b</t></is></c>"
       "<c r=\"G1\" t=\"inlineStr\"><is><t>hidden-column</t></is></c></row>"
       "<row r=\"2\"><c r=\"A2\" s=\"6\" t=\"inlineStr\"><is><t>見出し</t></is></c>"
       "<c r=\"B2\" s=\"6\"/><c r=\"C2\" s=\"6\"/></row>"
       "<row r=\"3\"><c r=\"A3\" s=\"6\"/><c r=\"B3\" s=\"6\"/><c r=\"C3\" s=\"6\"/></row>"
       "<row r=\"4\" ht=\"30\" customHeight=\"1\"><c r=\"A4\" s=\"2\"><v>12.5</v></c>"
       "<c r=\"B4\" s=\"3\"><v>0.1234</v></c><c r=\"C4\" s=\"4\"><v>37986</v></c>"
       "<c r=\"D4\" s=\"8\"><v>1234567</v></c>"
       "<c r=\"E4\" s=\"1\" t=\"inlineStr\"><is><t>ﾃﾞｰﾀ</t></is></c>"
       "<c r=\"F4\" s=\"7\" t=\"inlineStr\"><is><t>x</t></is></c></row>"
       "<row r=\"6\"><c r=\"A6\"><v>1</v></c><c r=\"B6\"><f>A6*2</f><v>2</v></c>"
       "<c r=\"C6\"><f>VLOOKUP(A6,A6:B6,2)</f><v>9</v></c>"
       "<c r=\"D6\"><f>LN(1)</f><v>0</v></c></row>"
       "<row r=\"8\" hidden=\"1\"><c r=\"A8\" t=\"inlineStr\"><is><t>hidden-row</t></is></c></row>",
       "<mergeCells count=\"1\"><mergeCell ref=\"A2:C3\"/></mergeCells><drawing r:id=\"rIdD\"/>",
       "<cols><col min=\"2\" max=\"2\" width=\"20\" customWidth=\"1\"/>"
       "<col min=\"7\" max=\"7\" width=\"9\" hidden=\"1\"/></cols>")
      .SetSharedStrings({"<ZEPA_Link_7_1>"})
      .AddPart("xl/worksheets/_rels/sheet1.xml.rels",
               Rels("rIdD", "drawing", "../drawings/drawing1.xml"))
      .AddPart("xl/drawings/drawing1.xml", Drawing(),
               "application/vnd.openxmlformats-officedocument.drawing+xml")
      .AddPart("xl/drawings/_rels/drawing1.xml.rels",
               Rels("rIdImg", "image", "../media/image1.png"))
      .AddPart("xl/media/image1.png", kPng)
      .AddSheet("Empty", "");
  return t;
}

// The text of one table row: from the n-th "<tr" to its "</tr>".
std::string TableRow(const std::string& html, int n) {
  std::size_t pos = 0;
  for (int i = 0; i < n; ++i) pos = html.find("<tr", pos + 1);
  return html.substr(pos, html.find("</tr>", pos) - pos);
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
    ++n;
  return n;
}

// The line of a CSS rule in the page's style sheet.
std::string CssRule(const std::string& html, const std::string& selector) {
  std::size_t pos = html.find("\r\n" + selector + " {");
  if (pos == std::string::npos) return "";
  return html.substr(pos + 2, html.find("\r\n", pos + 2) - pos - 2);
}

class SheetPublisherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PublishTemplate().Write(dir_.File("t.xlsx"));
    book_ = XlsxWorkbook::Open(dir_.File("t.xlsx"));
  }
  std::string Render(const std::string& title = "") {
    return RenderSheetPage(*book_, *book_->Worksheets()[0], "Stat-.html", title).html;
  }
  TempDir dir_;
  std::unique_ptr<XlsxWorkbook> book_;
};

TEST_F(SheetPublisherTest, HeadHoldsTheMetaLineAndThePageEndsWithBodyAndHtml) {
  std::string html = Render();
  EXPECT_EQ(html.rfind("<html>\r\n<head>\r\n<meta http-equiv=Content-Type content=\"text/html; "
                       "charset=shift_jis\">\r\n",
                       0),
            0u);
  EXPECT_NE(html.find("\r\n</head>\r\n<body>\r\n<table "), std::string::npos);
  const std::string end = "\r\n</table>\r\n</body>\r\n</html>\r\n";
  EXPECT_EQ(html.substr(html.size() - std::min(html.size(), end.size())), end);
  EXPECT_EQ(html.find("<title>"), std::string::npos);
  EXPECT_EQ(Count(html, "\n"), Count(html, "\r\n"));  // every line ends in CR LF
  EXPECT_NE(Render("T&").find("<title>T&amp;</title>\r\n"), std::string::npos);
}

TEST_F(SheetPublisherTest, CellTextsAreEscaped) {
  std::string html = Render();
  EXPECT_NE(html.find(">&lt;ZEPA_Link_7_1&gt;</td>"), std::string::npos);
  EXPECT_NE(html.find(">a &amp; b</td>"), std::string::npos);
}

TEST_F(SheetPublisherTest, PageIsInCodePage932) {
  std::string html = Render();
  EXPECT_NE(html.find("\x8C\xA9\x8F\x6F\x82\xB5"), std::string::npos);  // 見出し
  EXPECT_NE(html.find("\xC3\xDE\xB0\xC0"), std::string::npos);          // ﾃﾞｰﾀ, half-width
  EXPECT_EQ(html.find("見出し"), std::string::npos);
}

TEST_F(SheetPublisherTest, MergedCellsSpanRowsAndColumns) {
  std::string html = Render();
  std::string row2 = TableRow(html, 2);
  EXPECT_EQ(Count(row2, "<td"), 1 + 3);  // A2:C3 as one cell, then D2, E2, F2
  EXPECT_NE(row2.find("<td class=x6 colspan=3 rowspan=2>"), std::string::npos);
  EXPECT_EQ(Count(TableRow(html, 3), "<td"), 3);
}

TEST_F(SheetPublisherTest, NumbersAreShownInTheirFormatsAndAlignedRight) {
  std::string html = Render();
  std::string row4 = TableRow(html, 4);
  EXPECT_NE(row4.find("<td class=x2 align=right>12.50</td>"), std::string::npos);
  EXPECT_NE(row4.find(">12.3%</td>"), std::string::npos);
  EXPECT_NE(row4.find(">2003/12/31</td>"), std::string::npos);
  EXPECT_NE(row4.find(">1,234,567</td>"), std::string::npos);
  EXPECT_NE(row4.find("<tr height=40 style='height:30.0pt'>"), std::string::npos);
}

TEST_F(SheetPublisherTest, FormatsBecomeStyleRules) {
  std::string html = Render();
  EXPECT_EQ(CssRule(html, ".x1"), ".x1 {font-weight:700;}");
  EXPECT_EQ(CssRule(html, ".x7"), ".x7 {font-style:italic;color:#FF0000;}");
  EXPECT_EQ(
      CssRule(html, ".x6"),
      ".x6 {background:#FFFF00;text-align:center;border-top:0.5pt solid #000000;border-right:0.5pt "
      "solid #000000;border-bottom:0.5pt solid #000000;border-left:0.5pt solid #000000;}");
  EXPECT_NE(html.find("td {padding:0px 2px;font-size:11.0pt;font-family:\"\x82\x6C\x82\x72 "
                      "\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E\";"),
            std::string::npos);  // ＭＳ Ｐゴシック
}

TEST_F(SheetPublisherTest, ColumnWidthsHiddenRowsAndHiddenColumns) {
  std::string html = Render();
  EXPECT_EQ(Count(html, "<col "), 6);  // A to F; G is hidden
  EXPECT_NE(
      html.find("<col width=64 style='width:48.0pt'>\r\n<col width=140 style='width:105.0pt'>"),
      std::string::npos);
  EXPECT_EQ(html.find("hidden-row"), std::string::npos);
  EXPECT_EQ(html.find("hidden-column"), std::string::npos);
  EXPECT_EQ(Count(html, "<tr "), 9);  // rows 1 to 10 without row 8
}

TEST_F(SheetPublisherTest, FormulasShowStoredResultsUntilTheirInputsChange) {
  std::string before = TableRow(Render(), 6);
  EXPECT_NE(before.find(">2</td>"), std::string::npos);
  EXPECT_NE(before.find(">9</td>"), std::string::npos);

  book_->Worksheets()[0]->SetValue(6, 1, "5");
  std::string after = TableRow(Render(), 6);
  EXPECT_NE(after.find(">10</td>"), std::string::npos);  // computed afresh
  EXPECT_EQ(after.find(">9</td>"), std::string::npos);   // VLOOKUP is not computed: left empty
  EXPECT_NE(after.find("<td class=x0></td>"), std::string::npos);
  EXPECT_NE(after.find(">0</td>"), std::string::npos);  // LN(1) does not depend on A6
}

TEST_F(SheetPublisherTest, PicturesAreWrittenBesideThePageAndChartsLeftOut) {
  PublishedPage page = RenderSheetPage(*book_, *book_->Worksheets()[0], "Stat-.html", "");
  ASSERT_EQ(page.images.size(), 1u);
  EXPECT_EQ(page.images[0].relative_path, "Stat-_files/image001.png");
  EXPECT_EQ(page.images[0].bytes, kPng);
  std::string row10 = TableRow(page.html, 9);
  EXPECT_NE(
      row10.find(
          "<span style='position:absolute;z-index:1;margin-left:10px;margin-top:0px;"
          "width:100px;height:50px'><img width=100 height=50 src=\"Stat-_files/image001.png\">"
          "</span></td>"),
      std::string::npos);
  EXPECT_EQ(Count(page.html, "<img"), 1);

  PublishSheet(*book_, *book_->Worksheets()[0], dir_.File("web/統計-.html"), "");
  EXPECT_EQ(ReadFileBytes(dir_.File("web/統計-_files/image001.png")), kPng);
  EXPECT_NE(ReadFileBytes(dir_.File("web/統計-.html"))
                .find("src=\"%E7%B5%B1%E8%A8%88-_files/image001.png\""),
            std::string::npos);
}

TEST_F(SheetPublisherTest, AnEmptySheetIsAPageWithAnEmptyCell) {
  std::string html = RenderSheetPage(*book_, *book_->Worksheets()[1], "Empty-.html", "").html;
  EXPECT_NE(html.find("<tr height=20 style='height:15.0pt'>\r\n <td class=x0></td>\r\n</tr>"),
            std::string::npos);
}

TEST_F(SheetPublisherTest, PublishObjectsMakeOneStaticPagePerSheet) {
  XlsxPublishObjects& objects = book_->PublishObjects();
  objects.Add(kSourceSheet, dir_.File("out/Stat-2003.html"), "Stat", "", kHtmlStatic, "", "")
      .Publish(true);
  EXPECT_EQ(objects.Count(), 1);
  EXPECT_EQ(objects.Item(1).Sheet(), "Stat");
  std::string page = ReadFileBytes(dir_.File("out/Stat-2003.html"));
  EXPECT_NE(page.find(std::string(kPublishedMetaLine) + "\r\n"), std::string::npos);
  EXPECT_NE(page.find("&lt;ZEPA_Link_7_1&gt;"), std::string::npos);
  EXPECT_TRUE(IsExistFile(dir_.File("out/Stat-2003_files/image001.png")));
}

TEST_F(SheetPublisherTest, PublishObjectsRefuseWhatTheyCannotMake) {
  XlsxPublishObjects& objects = book_->PublishObjects();
  auto refused = [&](int source_type, const std::string& sheet, const std::string& source,
                     int html_type) {
    try {
      objects.Add(source_type, dir_.File("p.html"), sheet, source, html_type, "", "");
      return false;
    } catch (const AppError& error) {
      return error.Number() == kErrInvalidValue && error.Source() == "[XlsxPublishObjects]Add";
    }
  };
  EXPECT_TRUE(refused(2, "Stat", "", kHtmlStatic));
  EXPECT_TRUE(refused(kSourceSheet, "Stat", "", 1));
  EXPECT_TRUE(refused(kSourceSheet, "Stat", "A1:B2", kHtmlStatic));
  EXPECT_TRUE(refused(kSourceSheet, "Nothing", "", kHtmlStatic));
  XlsxPublishObject& page =
      objects.Add(kSourceSheet, dir_.File("p.html"), "Stat", "", kHtmlStatic, "", "");
  EXPECT_THROW(page.Publish(false), AppError);
  EXPECT_FALSE(IsExistFile(dir_.File("p.html")));
}

}  // namespace
}  // namespace lanereport
