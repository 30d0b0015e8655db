// The spreadsheet wrapper: properties, template runs, events and writing data rows.

#include <gtest/gtest.h>

#include <exception>
#include <functional>

#include "TempDir.h"
#include "XlsxTemplate.h"
#include "util/AppError.h"
#include "util/Make.h"
#include "util/PathControl.h"
#include "workbook/clsExcelControl.h"
#include "workbook/xlsx/XlsxPublishObjects.h"

namespace lanereport {
namespace {

using testing::FindSavedCell;
using testing::ReadFileBytes;
using testing::ReadZipPart;
using testing::TempDir;
using testing::XlsxTemplate;

constexpr long kNumber = -2147220503;

// Records the events and does what the test asks in them.
class Owner : public ExcelControlEvents {
 public:
  void GetWorksheet(XlsxSheet& sheet, bool& cancel) override {
    log.push_back("get:" + sheet.Name());
    if (cancel_get) cancel = true;
  }
  void SetWorksheet(XlsxSheet& sheet, bool& cancel) override {
    log.push_back("set:" + sheet.Name());
    if (on_set) on_set(sheet);
    if (cancel_set) cancel = true;
  }
  void PrintWorkbook(XlsxWorkbook& book, bool& cancel, const std::string& folder_path) override {
    log.push_back("print:" + folder_path);
    if (on_print) on_print(book);
    if (cancel_print) cancel = true;
  }
  void ShowWorkbook(const std::string& path) override { log.push_back("show:" + path); }

  std::vector<std::string> log;
  bool cancel_get = false;
  bool cancel_set = false;
  bool cancel_print = false;
  std::function<void(XlsxSheet&)> on_set;
  std::function<void(XlsxWorkbook&)> on_print;
};

// Runs f and returns the description of the AppError it raised with the wrapper's number and
// source, or a note that it raised none.
std::string Message(const std::function<void()>& f) {
  try {
    f();
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), kNumber);
    EXPECT_EQ(error.Source(), "clsExcelControl");
    return error.Description();
  }
  return "(no error)";
}

class ExcelControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    XlsxTemplate()
        .AddSheet("Stat", "<row r=\"1\"><c r=\"C1\"><f>SUM(A1:B1)</f><v>0</v></c></row>")
        .AddSheet("@work", "")
        .AddSheet(
            "Month",
            "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&lt;ZEPA_R&gt;</t></is></c></row>")
        .Write(dir_.File("BowlerData.xlsx"));
    control_.SetBasePath(dir_.File("BowlerData.xlsx"));
  }

  TempDir dir_;
  Owner owner_;
  clsExcelControl control_{&owner_};
};

TEST(ExcelControlPropertiesTest, StartValues) {
  clsExcelControl control;
  EXPECT_EQ(control.Magnification(), 1.0);
  EXPECT_EQ(control.SheetCount(), "0");
  EXPECT_EQ(control.BasePath(), "");
  EXPECT_EQ(control.SepChar(), std::string(1, '\x1f'));
  EXPECT_EQ(control.Workbook(), nullptr);
  EXPECT_FALSE(control.Visible());
}

TEST(ExcelControlPropertiesTest, SheetCountIsWrittenAsTextAndRoundedHalfToEven) {
  clsExcelControl control;
  const std::pair<const char*, const char*> cases[] = {{"7", "7"},
                                                       {" 12 ", "12"},
                                                       {"2.5", "2"},
                                                       {"3.5", "4"},
                                                       {"-2.5", "-2"},
                                                       {"0.49", "0"},
                                                       {"2147483647", "2147483647"}};
  for (const auto& [written, read] : cases) {
    control.SetSheetCount(written);
    EXPECT_EQ(control.SheetCount(), read) << written;
  }
  EXPECT_EQ(Message([&] { control.SetSheetCount("abc"); }), "数値を入力して下さい");
  EXPECT_EQ(Message([&] { control.SetSheetCount(""); }), "数値を入力して下さい");
  EXPECT_EQ(Message([&] { control.SetSheetCount("2147483648"); }), "入力が不正です");
  EXPECT_EQ(control.SheetCount(), "2147483647");
}

TEST(ExcelControlPropertiesTest, BasePathMustNameAnExistingFile) {
  TempDir dir;
  MakeFile(dir.File("Template.xlsx"), "x");
  clsExcelControl control;
  control.SetBasePath(dir.File("Template.xlsx"));
  EXPECT_EQ(Message([&] { control.SetBasePath(dir.File("missing.xlsx")); }),
            "ファイルが存在しません");
  EXPECT_EQ(Message([&] { control.SetBasePath(dir.Path()); }), "ファイルが存在しません");
  EXPECT_EQ(control.BasePath(), dir.File("Template.xlsx"));
  control.SetBasePath(dir.File("TEMPLATE.XLSX"));  // letter case does not matter
  EXPECT_EQ(control.BasePath(), dir.File("TEMPLATE.XLSX"));
}

TEST_F(ExcelControlTest, GetDocumentCountsSheetsWithoutEverResettingTheCounter) {
  control_.GetDocument();
  EXPECT_EQ(control_.SheetCount(), "3");
  control_.GetDocument();
  EXPECT_EQ(control_.SheetCount(), "6");
  EXPECT_EQ(owner_.log, (std::vector<std::string>{"get:Stat", "get:@work", "get:Month", "get:Stat",
                                                  "get:@work", "get:Month"}));
  EXPECT_EQ(control_.Workbook(), nullptr);  // closed after counting
}

TEST_F(ExcelControlTest, ExecuteDocumentAddsSheetsThenAppliesTheMagnification) {
  control_.GetDocument();
  control_.ExecuteDocument(dir_.Path(), "sample", 2);
  EXPECT_EQ(control_.SheetCount(), "6");  // 3 + 3, times 1.0

  const struct {
    const char* start;
    double magnification;
    const char* result;
  } cases[] = {{"0", 0.5, "2"},   // 3 x 0.5 = 1.5 -> 2
               {"-2", 0.5, "0"},  // 1 x 0.5 = 0.5 -> 0
               {"2", 0.5, "2"},   // 5 x 0.5 = 2.5 -> 2
               {"0", 2.5, "8"},   // 3 x 2.5 = 7.5 -> 8
               {"0", 0, "0"}};
  for (const auto& c : cases) {
    control_.SetSheetCount(c.start);
    control_.SetMagnification(c.magnification);
    control_.ExecuteDocument(dir_.Path(), "sample", 2);
    EXPECT_EQ(control_.SheetCount(), c.result) << c.start << " x " << c.magnification;
  }
  control_.SetSheetCount("2000000000");
  control_.SetMagnification(2);
  EXPECT_EQ(Message([&] { control_.ExecuteDocument(dir_.Path(), "sample", 2); }), "入力が不正です");
}

TEST_F(ExcelControlTest, ModeOneSavesAndShowsTheWorkbookWithoutPublishing) {
  control_.ExecuteDocument(dir_.File("sample2003"), "sample2003", 1);
  std::string path = dir_.File("sample2003/sample2003.xlsx");
  EXPECT_EQ(owner_.log,
            (std::vector<std::string>{"set:Stat", "set:@work", "set:Month", "show:" + path}));
  EXPECT_TRUE(IsExistFile(path));
  EXPECT_EQ(control_.SavedPath(), path);
  EXPECT_TRUE(control_.Visible());
  ASSERT_NE(control_.Workbook(), nullptr);  // stays open for the user
  EXPECT_EQ(control_.Workbook()->FullName(), path);

  control_.GetDocument();  // the next run closes it
  EXPECT_FALSE(control_.Visible());
  EXPECT_EQ(control_.Workbook(), nullptr);
}

TEST_F(ExcelControlTest, OtherModesHandTheSavedWorkbookToThePublisherAndClose) {
  std::vector<std::string> published;
  owner_.on_print = [&](XlsxWorkbook& book) {
    EXPECT_TRUE(IsExistFile(dir_.File("out/sample.xlsx")));  // saved before publishing
    for (XlsxSheet* sheet : book.Worksheets()) {
      if (sheet->Name()[0] == '@') continue;
      std::string page = AddPathSeparator(dir_.File("out")) + sheet->Name() + "-.html";
      book.PublishObjects()
          .Add(kSourceSheet, page, sheet->Name(), "", kHtmlStatic, "", "")
          .Publish(true);
      published.push_back(page);
    }
  };
  control_.ExecuteDocument(dir_.File("out"), "sample", 2);
  EXPECT_EQ(owner_.log.back(), "print:" + dir_.File("out"));
  EXPECT_EQ(published,
            (std::vector<std::string>{dir_.File("out/Stat-.html"), dir_.File("out/Month-.html")}));
  EXPECT_NE(ReadFileBytes(dir_.File("out/Month-.html")).find("&lt;ZEPA_R&gt;"), std::string::npos);
  EXPECT_FALSE(IsExistFile(dir_.File("out/@work-.html")));
  EXPECT_EQ(control_.Workbook(), nullptr);
  EXPECT_FALSE(control_.Visible());
}

TEST_F(ExcelControlTest, SetupDataWritesFieldsEachFollowedBySepChar) {
  owner_.on_set = [&](XlsxSheet& sheet) {
    if (sheet.Name() != "Stat") return;
    const std::string s = "\x1f";
    std::vector<std::string> rows = {
        "a" + s + "b",                          // no separator after b
        "1" + s + "2" + s + "'2003/12/31" + s,  // numbers and a quoted date
        "",                                     // an empty row
        "x" + s + s + "z" + s,                  // an empty field
        "no separator"};
    control_.SetupData(&sheet, &rows, 1, 2);
  };
  control_.ExecuteDocument(dir_.Path(), "W", 1);
  std::string xml = *ReadZipPart(dir_.File("W.xlsx"), "xl/worksheets/sheet1.xml");
  EXPECT_EQ(FindSavedCell(xml, "C2").is, "a");
  EXPECT_FALSE(FindSavedCell(xml, "D2").found);
  EXPECT_EQ(FindSavedCell(xml, "C3").v, "1");
  EXPECT_EQ(FindSavedCell(xml, "D3").v, "2");
  EXPECT_EQ(FindSavedCell(xml, "E3").is, "2003/12/31");
  EXPECT_FALSE(FindSavedCell(xml, "C4").found);
  EXPECT_EQ(FindSavedCell(xml, "C5").is, "x");
  EXPECT_FALSE(FindSavedCell(xml, "D5").found);
  EXPECT_EQ(FindSavedCell(xml, "E5").is, "z");
  EXPECT_FALSE(FindSavedCell(xml, "C6").found);
  EXPECT_EQ(FindSavedCell(xml, "C1").f, "SUM(A1:B1)");
}

TEST_F(ExcelControlTest, SetupDataUsesTheSepCharProperty) {
  control_.SetSepChar(",");
  owner_.on_set = [&](XlsxSheet& sheet) {
    std::vector<std::string> rows = {"a,b,c"};
    if (sheet.Name() == "Stat") control_.SetupData(&sheet, &rows, 1, 0);
  };
  control_.ExecuteDocument(dir_.Path(), "W", 1);
  XlsxSheet& stat = *control_.Workbook()->Worksheets()[0];
  EXPECT_EQ(stat.Cells(2, 1).Value(), "a");
  EXPECT_EQ(stat.Cells(2, 2).Value(), "b");
  EXPECT_EQ(stat.Cells(2, 3).Value(), "");  // "c" has no separator after it
}

TEST_F(ExcelControlTest, SetupRowsWritesEachCellWholeUnderItsColumn) {
  owner_.on_set = [&](XlsxSheet& sheet) {
    if (sheet.Name() != "Stat") return;
    const std::string s(kSepChar);
    std::vector<DataRow> rows = {
        {"a" + s + "b", "2", "'2003/12/31"},  // a text holding the separator, a number, a date
        {},                                   // an empty row
        {"x", "", "z"},                       // an empty cell
        {s, s + s}};                          // nothing but separators
    control_.SetupRows(&sheet, &rows, 1, 2);
  };
  control_.ExecuteDocument(dir_.Path(), "W", 1);
  XlsxSheet& stat = *control_.Workbook()->Worksheets()[0];
  EXPECT_EQ(stat.Cells(2, 3).Value(),
            "a\x1f"
            "b");
  EXPECT_EQ(stat.Cells(2, 4).Value(), "2");
  EXPECT_EQ(stat.Cells(2, 5).Value(), "2003/12/31");
  EXPECT_EQ(stat.Cells(2, 6).Value(), "");
  EXPECT_EQ(stat.Cells(3, 3).Value(), "");
  EXPECT_EQ(stat.Cells(4, 3).Value(), "x");
  EXPECT_EQ(stat.Cells(4, 4).Value(), "");
  EXPECT_EQ(stat.Cells(4, 5).Value(), "z");
  EXPECT_EQ(stat.Cells(5, 3).Value(), "\x1f");
  EXPECT_EQ(stat.Cells(5, 4).Value(), "\x1f\x1f");

  std::string xml = *ReadZipPart(dir_.File("W.xlsx"), "xl/worksheets/sheet1.xml");
  EXPECT_EQ(FindSavedCell(xml, "C2").is, "a_x001F_b");  // as the file format writes the character
  EXPECT_EQ(FindSavedCell(xml, "D2").v, "2");
  EXPECT_FALSE(FindSavedCell(xml, "C3").found);
  EXPECT_EQ(FindSavedCell(xml, "C1").f, "SUM(A1:B1)");
}

TEST_F(ExcelControlTest, SetupRowsWithoutSheetOrRows) {
  std::vector<DataRow> rows = {{"a"}};
  EXPECT_EQ(Message([&] { control_.SetupRows(nullptr, &rows, 0, 0); }),
            "対象となるｼｰﾄのｲﾝｽﾀﾝｽがｾｯﾄされていません");
  control_.ExecuteDocument(dir_.Path(), "W", 1);
  XlsxSheet* sheet = control_.Workbook()->Worksheets()[0];
  EXPECT_EQ(Message([&] { control_.SetupRows(sheet, nullptr, 0, 0); }),
            "対象となるﾃﾞｰﾀｺﾚｸｼｮﾝのｲﾝｽﾀﾝｽがｾｯﾄされていません");
  EXPECT_THROW(control_.SetupRows(sheet, &rows, 2147483647, 0), AppError);  // off the sheet
}

TEST_F(ExcelControlTest, SetupDataWithoutSheetOrRows) {
  std::vector<std::string> rows = {"a\x1f"};
  EXPECT_EQ(Message([&] { control_.SetupData(nullptr, &rows, 0, 0); }),
            "対象となるｼｰﾄのｲﾝｽﾀﾝｽがｾｯﾄされていません");
  control_.ExecuteDocument(dir_.Path(), "W", 1);
  XlsxSheet* sheet = control_.Workbook()->Worksheets()[0];
  EXPECT_EQ(Message([&] { control_.SetupData(sheet, nullptr, 0, 0); }),
            "対象となるﾃﾞｰﾀｺﾚｸｼｮﾝのｲﾝｽﾀﾝｽがｾｯﾄされていません");
  EXPECT_THROW(control_.SetupData(sheet, &rows, 2147483647, 0), AppError);  // off the sheet
}

TEST_F(ExcelControlTest, CancelInAnEventEndsTheRunWithItsMessage) {
  owner_.cancel_set = true;
  EXPECT_EQ(Message([&] { control_.ExecuteDocument(dir_.Path(), "W", 2); }),
            "データの書き込みに失敗しました！");
  EXPECT_EQ(owner_.log, std::vector<std::string>{"set:Stat"});
  EXPECT_FALSE(IsExistFile(dir_.File("W.xlsx")));

  owner_.cancel_get = true;
  EXPECT_EQ(Message([&] { control_.GetDocument(); }), "データの書き込みに失敗しました！");

  owner_.cancel_set = false;
  owner_.cancel_print = true;
  EXPECT_EQ(Message([&] { control_.ExecuteDocument(dir_.Path(), "W", 2); }),
            "データの出力に失敗しました！");
  EXPECT_TRUE(IsExistFile(dir_.File("W.xlsx")));  // saved before publishing
}

TEST_F(ExcelControlTest, ATemplateRunNeedsATemplatePath) {
  clsExcelControl control;
  EXPECT_EQ(Message([&] { control.ExecuteDocument(dir_.Path(), "W", 1); }),
            "ﾃﾝﾌﾟﾚｰﾄのﾊﾟｽがｾｯﾄされていません");
  EXPECT_EQ(Message([&] { control.GetDocument(); }), "ﾃﾝﾌﾟﾚｰﾄのﾊﾟｽがｾｯﾄされていません");
}

TEST_F(ExcelControlTest, ATemplateThatVanishedIsNotReadable) {
  std::remove(dir_.File("BowlerData.xlsx").c_str());
  EXPECT_EQ(Message([&] { control_.ExecuteDocument(dir_.Path(), "W", 1); }),
            "テンプレートファイルのコピーに失敗しました！");
  EXPECT_EQ(Message([&] { control_.GetDocument(); }),
            "テンプレートファイルのコピーに失敗しました！");
  EXPECT_TRUE(owner_.log.empty());
}

TEST_F(ExcelControlTest, ADamagedTemplateIsReportedWithTheReasonNestedAndNeverWritten) {
  for (const std::string& damaged : {std::string("not a zip at all"), [] {
                                       XlsxTemplate t;
                                       t.AddSheet("S", "").Omit("xl/worksheets/sheet1.xml");
                                       TempDir d;
                                       t.Write(d.File("x.xlsx"));
                                       return ReadFileBytes(d.File("x.xlsx"));
                                     }()}) {
    MakeFile(dir_.File("BowlerData.xlsx"), damaged);
    try {
      control_.ExecuteDocument(dir_.File("out"), "W", 2);
      ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
      EXPECT_EQ(error.Number(), kNumber);
      EXPECT_EQ(error.Source(), "clsExcelControl");
      EXPECT_EQ(error.Description(), "テンプレートファイルのコピーに失敗しました！");
      try {
        std::rethrow_if_nested(error);
        ADD_FAILURE() << "no nested reason";
      } catch (const AppError& reason) {
        EXPECT_EQ(reason.Number(), kErrFile);
      }
    }
    EXPECT_EQ(ReadFileBytes(dir_.File("BowlerData.xlsx")), damaged);
    EXPECT_FALSE(IsExistFile(dir_.File("out/W.xlsx")));
  }
  EXPECT_TRUE(owner_.log.empty());
}

TEST_F(ExcelControlTest, HandlerErrorsPassThroughAndTheNextRunStartsClean) {
  owner_.on_set = [](XlsxSheet&) {
    throw AppError(kErrNoData, "[test]Fill", "該当するﾃﾞｰﾀは存在しません");
  };
  try {
    control_.ExecuteDocument(dir_.Path(), "W", 1);
    FAIL();
  } catch (const AppError& error) {
    EXPECT_EQ(error.Source(), "[test]Fill");
  }
  EXPECT_NE(control_.Workbook(), nullptr);  // left open until the next run
  owner_.on_set = nullptr;
  control_.ExecuteDocument(dir_.Path(), "W", 2);
  EXPECT_EQ(control_.Workbook(), nullptr);
}

}  // namespace
}  // namespace lanereport
