// Templates with one malformed XML part, whether the workbook reads the part or only copies it:
// refused on opening with the damaged-part message naming the part, and a run with such a
// template writes nothing.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "GameBuilder.h"
#include "ScoreDb.h"
#include "XlsxTemplate.h"
#include "batch/MakeFlow.h"
#include "database/clsS_OUTPUT_Data.h"
#include "util/AppError.h"
#include "util/StringUtil.h"
#include "workbook/BowlerWorkbook.h"
#include "workbook/SelectionBuilder.h"
#include "workbook/xlsx/XlsxContentTypes.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr const char* kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
constexpr const char* kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kMalformed = "ブックの部品のXMLが正しくありません：";
const std::string kPng = std::string("\x89PNG\r\n\x1a\n", 8) + "picture bytes";

std::string Rels(const std::string& id, const std::string& type, const std::string& target) {
  return std::string(kDecl) +
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"" +
         id + "\" Type=\"" + kRel + "/" + type + "\" Target=\"" + target + "\"/></Relationships>";
}

std::string Drawing() {
  return std::string(kDecl) +
         "<xdr:wsDr "
         "xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
         "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" xmlns:r=\"" +
         kRel +
         "\"><xdr:oneCellAnchor><xdr:from><xdr:col>1</xdr:col><xdr:colOff>0</xdr:colOff>"
         "<xdr:row>1</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from>"
         "<xdr:ext cx=\"952500\" cy=\"476250\"/><xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"2\" "
         "name=\"p\"/><xdr:cNvPicPr/></xdr:nvPicPr><xdr:blipFill><a:blip r:embed=\"rIdImg\"/>"
         "</xdr:blipFill><xdr:spPr/></xdr:pic><xdr:clientData/></xdr:oneCellAnchor></xdr:wsDr>";
}

// A template with a part of every kind: content types, package and workbook relationships,
// document properties, workbook, styles, shared strings, calculation chain, two worksheets (the
// statistics sheet "Month" with a picture), the sheet's relationships, a drawing with its
// relationships and picture, a part of an XML content type whose name does not say so, and
// parts that are no XML (a legacy drawing that is not well-formed, printer settings).
XlsxTemplate GoodTemplate() {
  XlsxTemplate t;
  t.AddSheet("Month", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>",
             "<drawing r:id=\"rIdD\"/>")
      .AddSheet("Notes", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>")
      .SetSharedStrings({"見出し", "メモ"})
      .WithCalcChain()
      .AddPart("docProps/app.xml",
               std::string(kDecl) +
                   "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                   "extended-properties\"><Application>Lanereport</Application></Properties>",
               "application/vnd.openxmlformats-officedocument.extended-properties+xml")
      .AddPart("docProps/core.xml",
               std::string(kDecl) +
                   "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/"
                   "metadata/core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
                   "<dc:creator>Lanereport</dc:creator></cp:coreProperties>",
               "application/vnd.openxmlformats-package.core-properties+xml")
      .AddPart("xl/worksheets/_rels/sheet1.xml.rels",
               Rels("rIdD", "drawing", "../drawings/drawing1.xml"))
      .AddPart("xl/drawings/drawing1.xml", Drawing(),
               "application/vnd.openxmlformats-officedocument.drawing+xml")
      .AddPart("xl/drawings/_rels/drawing1.xml.rels",
               Rels("rIdImg", "image", "../media/image1.png"))
      .AddPart("xl/media/image1.png", kPng)
      .AddPart("customXml/itemProps1.dat",
               std::string(kDecl) +
                   "<ds:datastoreItem ds:itemID=\"{6E1C0A43-2F1B-4A34-9E0B-1D1A5E6C7B01}\" "
                   "xmlns:ds=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                   "customXml\"><ds:schemaRefs/></ds:datastoreItem>",
               "application/vnd.openxmlformats-officedocument.customXmlProperties+xml")
      .AddPart("xl/drawings/vmlDrawing1.vml", "<xml><o:shapelayout v:ext=\"edit\"><br></xml>",
               "application/vnd.openxmlformats-officedocument.vmlDrawing")
      .AddPart("xl/printerSettings/printerSettings1.bin", std::string("\0<\x01?>", 5),
               "application/vnd.openxmlformats-officedocument.spreadsheetml.printerSettings");
  return t;
}

// ---- ways to damage a part's text -------------------------------------------------------

// The declaration cut short: "...standalone="yes"?" without its ">".
std::string CutDeclaration(std::string xml) {
  EXPECT_TRUE(xml.starts_with("<?xml")) << xml;
  xml.erase(xml.find("?>") + 1, 1);
  return xml;
}

// The closing tag of the document element and whatever follows it gone, so the element is
// never closed.
std::string UncloseDocumentElement(std::string xml) {
  std::size_t close = xml.rfind("</");
  EXPECT_NE(close, std::string::npos) << xml;
  return xml.substr(0, close);
}

// The closing quote of the document element's first attribute gone:
// <Types xmlns="...><Default Extension=...
std::string DropAttributeQuote(std::string xml) {
  std::size_t element = xml.find('<', xml.find("?>"));
  std::size_t value = xml.find("=\"", element);
  std::size_t quote = xml.find('"', value + 2);
  EXPECT_LT(quote, xml.find('>', element)) << xml;
  xml.erase(quote, 1);
  return xml;
}

std::string AppendText(std::string xml) {
  return xml + "garbage";
}

std::string AppendSecondElement(std::string xml) {
  return xml + "<extra/>";
}

std::string IndentDeclaration(std::string xml) {
  return "\r\n" + xml;
}

struct Damage {
  const char* label;
  std::string (*apply)(std::string);
};

const Damage kDamages[] = {
    {"CutDeclaration", CutDeclaration},        {"UnclosedElement", UncloseDocumentElement},
    {"UnquotedAttribute", DropAttributeQuote}, {"TextAfterTheElement", AppendText},
    {"SecondElement", AppendSecondElement},    {"DeclarationNotFirst", IndentDeclaration},
};

const char* const kXmlParts[] = {
    "[Content_Types].xml",
    "_rels/.rels",
    "docProps/app.xml",
    "docProps/core.xml",
    "xl/workbook.xml",
    "xl/_rels/workbook.xml.rels",
    "xl/styles.xml",
    "xl/sharedStrings.xml",
    "xl/calcChain.xml",
    "xl/worksheets/sheet1.xml",
    "xl/worksheets/sheet2.xml",
    "xl/worksheets/_rels/sheet1.xml.rels",
    "xl/drawings/drawing1.xml",
    "xl/drawings/_rels/drawing1.xml.rels",
    "customXml/itemProps1.dat",
};

// The good template with one part's text damaged.
ZipParts DamagedParts(const std::string& part, const Damage& damage) {
  ZipParts parts = GoodTemplate().Parts();
  bool found = false;
  for (auto& [name, bytes] : parts) {
    if (name != part) continue;
    std::string damaged = damage.apply(bytes);
    EXPECT_NE(damaged, bytes);
    bytes = std::move(damaged);
    found = true;
  }
  EXPECT_TRUE(found) << part;
  return parts;
}

// Every file under folder, relative to it; nothing when the folder is not there.
std::set<std::string> FilesUnder(const std::string& folder) {
  std::set<std::string> files;
  if (!fs::exists(folder)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (!entry.is_directory()) files.insert(fs::relative(entry.path(), folder).string());
  return files;
}

// Expects error to be the refusal of part as damaged.
void ExpectRefusal(const AppError& error, const std::string& part) {
  EXPECT_EQ(error.Number(), kErrFile);
  EXPECT_EQ(error.Source(), "[XlsxWorkbook]Open");
  EXPECT_TRUE(StartsWith(error.Description(), kMalformed + part + "（")) << error.Description();
}

// Expects error to be the wrapper's copy failure with the refusal of part nested in it.
void ExpectNestedRefusal(const AppError& error, const std::string& part) {
  EXPECT_EQ(error.Number(), kErrInvalidValue);
  EXPECT_EQ(error.Source(), "clsExcelControl");
  try {
    std::rethrow_if_nested(error);
    ADD_FAILURE() << "no nested reason under " << error.Description();
  } catch (const AppError& reason) {
    ExpectRefusal(reason, part);
  }
}

TEST(XlsxDamagedPartTest, TheGoodTemplateOpensAndSavesEveryPartItDoesNotChange) {
  TempDir dir;
  GoodTemplate().Write(dir.File("t.xlsx"));
  auto book = XlsxWorkbook::Open(dir.File("t.xlsx"));
  ASSERT_EQ(book->Worksheets().size(), 2u);
  book->SaveAs(dir.File("out.xlsx"));
  for (const auto& [name, bytes] : GoodTemplate().Parts()) {
    if (name == "xl/workbook.xml" || name == "xl/calcChain.xml" ||
        name == "xl/_rels/workbook.xml.rels" || name == "[Content_Types].xml") {
      continue;  // edited by every save
    }
    EXPECT_EQ(ReadZipPart(dir.File("out.xlsx"), name), bytes) << name;
  }
}

class DamagedPartTest : public ::testing::TestWithParam<std::tuple<const char*, std::size_t>> {
 protected:
  std::string Part() const { return std::get<0>(GetParam()); }
  const Damage& GetDamage() const { return kDamages[std::get<1>(GetParam())]; }
};

TEST_P(DamagedPartTest, IsRefusedOnOpeningNamingThePart) {
  TempDir dir;
  WriteZip(dir.File("t.xlsx"), DamagedParts(Part(), GetDamage()));
  std::string before = ReadFileBytes(dir.File("t.xlsx"));
  try {
    XlsxWorkbook::Open(dir.File("t.xlsx"));
    ADD_FAILURE() << "opened a template with a damaged " << Part();
  } catch (const AppError& error) {
    ExpectRefusal(error, Part());
  }
  EXPECT_EQ(ReadFileBytes(dir.File("t.xlsx")), before);
  EXPECT_EQ(FilesUnder(dir.Path()), std::set<std::string>{"t.xlsx"});
}

INSTANTIATE_TEST_SUITE_P(
    EveryXmlPart, DamagedPartTest,
    ::testing::Combine(::testing::ValuesIn(kXmlParts),
                       ::testing::Range<std::size_t>(0, std::size(kDamages))),
    [](const ::testing::TestParamInfo<std::tuple<const char*, std::size_t>>& info) {
      std::string name;
      for (char c : std::string(std::get<0>(info.param)))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name + "_" + kDamages[std::get<1>(info.param)].label;
    });

TEST(XlsxDamagedPartTest, PartsThatAreNoXmlAreNotLookedInto) {
  // The legacy drawing and the printer settings of the good template are no XML at all.
  TempDir dir;
  ZipParts parts = GoodTemplate().Parts();
  parts.push_back({"xl/media/image2.jpeg", "\xFF\xD8\xFF<not xml"});
  parts.push_back({"xl/embeddings/oleObject1.bin", "<?xml"});
  WriteZip(dir.File("t.xlsx"), parts);
  EXPECT_NO_THROW(XlsxWorkbook::Open(dir.File("t.xlsx")));
}

TEST(XlsxDamagedPartTest, APartOfAnXmlDefaultTypeIsParsedToo) {
  TempDir dir;
  ZipParts parts = GoodTemplate().Parts();
  for (auto& [name, bytes] : parts) {
    if (name == "[Content_Types].xml") {
      bytes.insert(bytes.find("<Default "),
                   "<Default Extension=\"props\" ContentType=\"application/custom+XML\"/>");
    }
  }
  parts.push_back({"customXml/item1.props", "<props><p>1</props>"});
  WriteZip(dir.File("t.xlsx"), parts);
  try {
    XlsxWorkbook::Open(dir.File("t.xlsx"));
    ADD_FAILURE() << "opened a template with a damaged customXml/item1.props";
  } catch (const AppError& error) {
    ExpectRefusal(error, "customXml/item1.props");
  }
}

TEST(XlsxDamagedPartTest, AnEmptyXmlPartIsDamaged) {
  // An empty relationships part of a sheet used to be taken for none; it is no XML either.
  for (const char* part : {"xl/worksheets/_rels/sheet1.xml.rels", "docProps/app.xml"}) {
    TempDir dir;
    GoodTemplate().Replace(part, "").Write(dir.File("t.xlsx"));
    try {
      XlsxWorkbook::Open(dir.File("t.xlsx"));
      ADD_FAILURE() << "opened a template with an empty " << part;
    } catch (const AppError& error) {
      ExpectRefusal(error, part);
    }
  }
}

TEST(XlsxContentTypesTest, XmlTypesAreTheXmlOnesAndThoseWithTheXmlSuffix) {
  EXPECT_TRUE(IsXmlContentType("application/xml"));
  EXPECT_TRUE(IsXmlContentType("text/xml; charset=utf-8"));
  EXPECT_TRUE(IsXmlContentType(" application/vnd.openxmlformats-package.relationships+XML "));
  EXPECT_FALSE(IsXmlContentType("image/png"));
  EXPECT_FALSE(IsXmlContentType("application/vnd.openxmlformats-officedocument.vmlDrawing"));
  EXPECT_FALSE(IsXmlContentType("application/xml-dtd"));
  EXPECT_FALSE(IsXmlContentType(""));

  XlsxContentTypes types;
  types.Load(
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"PNG\" ContentType=\"image/png\"/>"
      "<Default Extension=\"dat\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/xl/data/%E8%A1%A8.bin\" ContentType=\"text/xml\"/>"
      "<Override PartName=\"/xl/data/raw.dat\" ContentType=\"application/octet-stream\"/></Types>",
      "test");
  EXPECT_EQ(types.TypeOf("xl/media/image1.png"), "image/png");
  EXPECT_EQ(types.TypeOf("XL/DATA/RAW.DAT"), "application/octet-stream");
  EXPECT_EQ(types.TypeOf("xl/media/image1"), "");
  EXPECT_TRUE(types.IsXmlPart("xl/data/表.bin"));
  EXPECT_TRUE(types.IsXmlPart("xl/other.dat"));
  EXPECT_FALSE(types.IsXmlPart("xl/data/raw.dat"));
  EXPECT_TRUE(types.IsXmlPart("docProps/custom.XML"));
  EXPECT_TRUE(types.IsXmlPart("xl/_rels/workbook.xml.rels"));
  EXPECT_FALSE(types.IsXmlPart("xl/media/image1.png"));
  EXPECT_FALSE(types.IsXmlPart("xl/vbaProject.bin"));
}

// ---- a run with a damaged template ------------------------------------------------------

class DamagedTemplateRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Database& db = fx_.Db();
    AddAlley(db, "ホーム", 1, true);
    AddLevel(db, "League", 1, true);
    AddBowler(db, "山田", "yamada", 1);
    AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 1, "8", "1");
    clsS_OUTPUT_Data month(db);
    month.Sheetname("Month");
    month.AlleyName(kBlankChoice);
    month.LevelName(kBlankChoice);
    month.Condition(true);
    month.StartDate("2003/01/01");
    month.EndDate("2003/12/31");
    month.Gamecount(true);
    month.MonthAvg(true);
    month.Add();
    fs::create_directories(fx_.Dir().File("templates"));
    fs::create_directories(Out());
  }

  std::string Template() const { return fx_.Dir().File("templates/template.xlsx"); }
  std::string Out() const { return fx_.Dir().File("out"); }

  WorkbookRunResult RunWorkbook() {
    WorkbookState state;
    state.bulk_year = "2003";
    BowlerWorkbook workbook(fx_.Db(), "score", state, progress_, messages_);
    WorkbookRunOptions options;
    options.template_path = Template();
    options.out_folder = Out();
    options.html = true;
    return workbook.Run(options);
  }

  MakeResult RunBulk() {
    WindowSettings settings;
    settings.OutFolder = Out();
    settings.OutSheet = Template();
    FixedChooser chooser(std::nullopt);
    MakeFlow flow(fx_.Db(), "score", settings, progress_, messages_, chooser);
    MakeRequest request;
    request.mode = MakeMode::kBulk;
    request.year = "2003";
    return flow.Make(request);
  }

  ScoreDbFixture fx_;
  CountingProgress progress_;
  RecordingMessages messages_;
};

const char* const kRunParts[] = {"docProps/app.xml", "[Content_Types].xml",
                                 "xl/drawings/drawing1.xml", "xl/worksheets/sheet2.xml"};

TEST_F(DamagedTemplateRunTest, TheGoodTemplateMakesTheWorkbookAndItsPages) {
  // What the runs below would have written.
  GoodTemplate().Write(Template());
  WorkbookRunResult result = RunWorkbook();
  EXPECT_EQ(result.workbook_path, Out() + "/score2003/score2003.xlsx");
  std::set<std::string> files = FilesUnder(Out());
  EXPECT_TRUE(files.count("score2003/score2003.xlsx"));
  EXPECT_TRUE(files.count("score2003/Month-2003.html"));
  EXPECT_TRUE(files.count("score2003/Notes-2003.html"));

  fs::remove_all(Out());
  fs::create_directories(Out());
  MakeResult bulk = RunBulk();
  EXPECT_EQ(bulk.workbook_path, Out() + "/score2003/score2003.xlsx");
  EXPECT_TRUE(FilesUnder(Out()).count("score2003/yamada/200305.html"));
}

TEST_F(DamagedTemplateRunTest, TheWorkbookRunFailsWithTheRefusalAndWritesNothing) {
  for (const char* part : kRunParts) {
    SCOPED_TRACE(part);
    WriteZip(Template(), DamagedParts(part, kDamages[0]));
    std::string before = ReadFileBytes(Template());
    try {
      RunWorkbook();
      ADD_FAILURE() << "the run went through";
    } catch (const AppError& error) {
      ExpectNestedRefusal(error, part);
    }
    EXPECT_TRUE(FilesUnder(Out()).empty());
    EXPECT_EQ(FilesUnder(fx_.Dir().File("templates")), std::set<std::string>{"template.xlsx"});
    EXPECT_EQ(ReadFileBytes(Template()), before);
  }
}

TEST_F(DamagedTemplateRunTest, TheBulkRunFailsWithTheRefusalAndWritesNoPageEither) {
  for (const char* part : kRunParts) {
    SCOPED_TRACE(part);
    WriteZip(Template(), DamagedParts(part, kDamages[1]));
    try {
      RunBulk();
      ADD_FAILURE() << "the bulk run went through";
    } catch (const AppError& error) {
      ExpectNestedRefusal(error, part);
    }
    EXPECT_TRUE(FilesUnder(Out()).empty());
    EXPECT_EQ(FilesUnder(fx_.Dir().File("templates")), std::set<std::string>{"template.xlsx"});
  }
}

}  // namespace
}  // namespace lanereport
