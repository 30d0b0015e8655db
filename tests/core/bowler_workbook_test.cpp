#include <gtest/gtest.h>

#include <filesystem>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "GameBuilder.h"
#include "ScoreDb.h"
#include "XlsxTemplate.h"
#include "database/clsS_OUTPUT_Data.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/Make.h"
#include "workbook/BowlerWorkbook.h"
#include "workbook/SelectionBuilder.h"
#include "workbook/xlsx/XlsxSheet.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {
namespace {

using namespace testing;

class BowlerWorkbookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Database& db = fx_.Db();
    AddAlley(db, "ホーム", 1, true);
    AddLevel(db, "League", 1, true);
    AddBowler(db, "山田", "yamada", 1);
    AddBowler(db, "佐藤", "sato", 2);
    AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 1, "8", "1");  // 90
    AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 2, "7", "2");  // 90
    AddOpenGame(db, "佐藤", "ホーム", "League", "2003/06/01", 1, "6", "2");  // 80
    clsS_OUTPUT_Data month(db);
    month.Sheetname("Month");
    month.AlleyName(kBlankChoice);
    month.LevelName(kBlankChoice);
    month.Condition(true);
    month.StartDate("2003/05/01");
    month.EndDate("2003/06/30");
    month.Gamecount(true);
    month.MonthAvg(true);
    month.Add();
    // The template: the statistics sheet with a month-link cell and the reload button below the
    // bowler rows, a sheet of its own, and a sheet not to publish.
    XlsxTemplate()
        .AddSheet("Month",
                  "<row r=\"110\"><c r=\"A110\" t=\"inlineStr\"><is><t>&lt;ZEPA_Link_1_0&gt;</t>"
                  "</is></c><c r=\"B110\" t=\"inlineStr\"><is><t>&lt;ZEPA_Link_2_1&gt;</t></is></c>"
                  "<c r=\"C110\" t=\"inlineStr\"><is><t>&lt;ZEPA_R&gt;</t></is></c></row>")
        .AddSheet("Notes",
                  "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>memo</t></is></c></row>")
        .AddSheet("@work", "")
        .Write(fx_.Dir().File("template.xlsx"));
    options_.template_path = fx_.Dir().File("template.xlsx");
    options_.out_folder = fx_.Dir().File("out");
  }

  void MakeDamaged() { MakeFile(options_.template_path, "PK\x03\x04 not really a workbook"); }

  WorkbookRunResult Run() {
    BowlerWorkbook workbook(fx_.Db(), "score", state_, progress_, messages_);
    return workbook.Run(options_);
  }

  ScoreDbFixture fx_;
  WorkbookState state_;
  CountingProgress progress_;
  RecordingMessages messages_;
  WorkbookRunOptions options_;
};

TEST_F(BowlerWorkbookTest, FillsSavesPublishesAndLinksTheYearFolders) {
  state_.bulk_year = "2003";
  options_.html = true;
  WorkbookRunResult result = Run();
  std::string f = fx_.Dir().File("out/score2003");
  EXPECT_EQ(result.workbook_path, f + "/score2003.xlsx");
  EXPECT_EQ(result.pages,
            (std::vector<std::string>{f + "/Month-2003.html", f + "/Notes-2003.html"}));
  EXPECT_FALSE(std::filesystem::exists(f + "/@work-2003.html"));
  EXPECT_TRUE(messages_.shown.empty());

  // The statistics as the spreadsheet stores them: texts as strings, numbers as numbers.
  std::string sheet = *ReadZipPart(result.workbook_path, "xl/worksheets/sheet1.xml");
  SavedCell name = FindSavedCell(sheet, "B4");
  EXPECT_TRUE(name.t == "inlineStr" || name.t == "s") << name.t;
  SavedCell count = FindSavedCell(sheet, "C4");
  EXPECT_EQ(count.t, "");
  EXPECT_EQ(count.v, "2");
  SavedCell may = FindSavedCell(sheet, "D4");
  EXPECT_EQ(may.v, "90");
  EXPECT_FALSE(FindSavedCell(sheet, "E4").found);  // no games in June: left empty
  EXPECT_EQ(FindSavedCell(sheet, "E5").v, "80");
  EXPECT_FALSE(FindSavedCell(sheet, "A3").found);

  std::string page = Cp932ToUtf8(ReadFileBytes(f + "/Month-2003.html"));
  EXPECT_NE(page.find("<a href=\"../score2003/yamada/200305.html\" accesskey=\"l\" "
                      "title=\"yamada_0\">2003年05月</a>"),
            std::string::npos);
  EXPECT_NE(page.find("<a href=\"../score2003/sato/200306.html\" accesskey=\"l\" "
                      "title=\"sato_1\">2003年06月</a>"),
            std::string::npos);
  EXPECT_NE(page.find("value=\"再表示\""), std::string::npos);
  EXPECT_NE(page.find("<title>ExcelOutPut</title>"), std::string::npos);
  EXPECT_EQ(page.find("ZEPA_Link"), std::string::npos);
  // The bowler table is left for the bulk run.
  EXPECT_EQ(state_.bowlers[1].aname, "yamada");
  EXPECT_EQ(state_.bowlers[2].name, "佐藤");
}

TEST_F(BowlerWorkbookTest, WithoutPagesTheWorkbookIsOnlySaved) {
  WorkbookRunResult result = Run();
  std::string f = fx_.Dir().File("out/score");
  EXPECT_EQ(result.workbook_path, f + "/score.xlsx");
  EXPECT_TRUE(result.pages.empty());
  EXPECT_TRUE(std::filesystem::exists(result.workbook_path));
  EXPECT_FALSE(std::filesystem::exists(f + "/Month-.html"));
}

TEST_F(BowlerWorkbookTest, ANameHoldingTheFieldSeparatorKeepsEveryValueUnderItsHead) {
  // Another program may store any character in a name, the one with code 31 too.
  const std::string name = "中\x1f村";
  AddBowler(fx_.Db(), name, "nakamura", 3);
  AddOpenGame(fx_.Db(), name, "ホーム", "League", "2003/05/20", 1, "9", "0");  // 90
  WorkbookRunResult result = Run();
  ASSERT_TRUE(std::filesystem::exists(result.workbook_path));

  std::string xml = *ReadZipPart(result.workbook_path, "xl/worksheets/sheet1.xml");
  EXPECT_EQ(FindSavedCell(xml, "A6").v, "3");
  EXPECT_EQ(FindSavedCell(xml, "C6").v, "1");   // ゲーム数
  EXPECT_EQ(FindSavedCell(xml, "D6").v, "90");  // 2003年05月
  EXPECT_FALSE(FindSavedCell(xml, "E6").found);
  EXPECT_FALSE(FindSavedCell(xml, "F6").found);
  // The name cell holds the whole name, as the saved workbook reads back.
  std::unique_ptr<XlsxWorkbook> saved = XlsxWorkbook::Open(result.workbook_path);
  XlsxSheet& sheet = *saved->Worksheets()[0];
  EXPECT_EQ(sheet.Cells(6, 2).Value(), name);
  EXPECT_EQ(sheet.Cells(5, 2).Value(), "佐藤");
  EXPECT_EQ(sheet.Cells(5, 3).Value(), "1");
}

TEST_F(BowlerWorkbookTest, AMissingTemplateIsReportedAndNothingIsMade) {
  options_.template_path = fx_.Dir().File("missing.xlsx");
  WorkbookRunResult result = Run();
  EXPECT_TRUE(result.template_missing);
  EXPECT_EQ(messages_.FirstLines(),
            (std::vector<std::string>{"ボウラー情報用テンプレートファイルが存在しません！"}));
  EXPECT_EQ(messages_.shown[0].message2, "（" + fx_.Dir().File("missing.xlsx") + "）");
  EXPECT_FALSE(std::filesystem::exists(fx_.Dir().File("out")));
}

TEST_F(BowlerWorkbookTest, ADamagedTemplateRaisesAndIsNotWritten) {
  MakeDamaged();
  std::string before = ReadFileBytes(options_.template_path);
  EXPECT_THROW(Run(), AppError);
  EXPECT_EQ(ReadFileBytes(options_.template_path), before);
}

}  // namespace
}  // namespace lanereport
