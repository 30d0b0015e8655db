#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "TempDir.h"
#include "database/Database.h"
#include "sample/SampleDatabase.h"
#include "workbook/BowlerWorkbook.h"
#include "workbook/xlsx/XlsxPackage.h"
#include "workbook/xlsx/XlsxSheet.h"
#include "workbook/xlsx/XlsxStyles.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {
namespace {

using namespace testing;

// The default template the program ships (resources/BowlerData.xlsx), filled with the sample
// database by the workbook run as a user first gets it, and read back.
class DefaultTemplateTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    SampleOptions sample;
    sample.years = 1;
    sample.end_year = 2025;
    CreateSampleDatabase(dir_->File("sample.db"), sample);
    std::unique_ptr<Database> db = Database::Open(dir_->File("sample.db"));
    WorkbookState state;
    state.bulk_year = "2025";  // as the bulk run and the demo fill it
    CountingProgress progress;
    RecordingMessages messages;
    BowlerWorkbook run(*db, "sample", state, progress, messages);
    WorkbookRunOptions options;
    options.template_path = std::string(LANEREPORT_RESOURCES) + "/BowlerData.xlsx";
    options.out_folder = dir_->File("out");
    WorkbookRunResult result = run.Run(options);
    ASSERT_FALSE(result.template_missing);
    book_ = XlsxWorkbook::Open(result.workbook_path).release();
  }
  static void TearDownTestSuite() {
    delete book_;
    delete dir_;
  }

  static TempDir* dir_;
  static XlsxWorkbook* book_;
};

TempDir* DefaultTemplateTest::dir_ = nullptr;
XlsxWorkbook* DefaultTemplateTest::book_ = nullptr;

// The width in pixels that a text takes in 11-point Arial (14.67 pixels to the em) with a
// Japanese font for the Japanese letters, rounding each letter's width up: Japanese and
// full-width letters one em, half-width katakana half an em, ASCII by Arial's widths rounded up
// to a few classes.
double TextPixels(std::string_view utf8, bool bold) {
  constexpr double kEm = 11.0 * 96 / 72;
  constexpr std::string_view kThin = "/.,:;' ", kNarrow = "ijl", kSmall = "frt";
  double px = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    int length = c < 0x80 ? 1 : c < 0xe0 ? 2 : c < 0xf0 ? 3 : 4;
    char32_t cp = c < 0x80 ? c : c < 0xe0 ? c & 0x1f : c < 0xf0 ? c & 0x0f : c & 0x07;
    for (int k = 1; k < length && i + k < utf8.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3f);
    i += static_cast<std::size_t>(length);
    double em;
    if (cp >= 0xff61 && cp <= 0xff9f) {
      em = 0.5;
    } else if (cp >= 0x1100) {
      em = 1;
    } else if (cp == '@') {
      em = 1.02;
    } else if (cp >= '0' && cp <= '9') {
      em = 0.56;
    } else if (cp == '-') {
      em = 0.34;
    } else if (kThin.find(static_cast<char>(cp)) != std::string_view::npos) {
      em = 0.3;
    } else if (kNarrow.find(static_cast<char>(cp)) != std::string_view::npos) {
      em = bold ? 0.28 : 0.23;
    } else if (kSmall.find(static_cast<char>(cp)) != std::string_view::npos) {
      em = 0.4;
    } else if (cp == 'm' || cp == 'w' || (cp >= 'A' && cp <= 'Z')) {
      em = bold ? 0.89 : 0.84;
    } else {
      em = bold ? 0.62 : 0.56;
    }
    px += em * kEm;
  }
  return px;
}

// The room for text in a column: Excel gives 11-point Arial 8 pixels per unit of width and
// keeps 2 pixels free on each side.
double RoomPixels(double width) {
  return width * 8 - 4;
}

std::string Shown(XlsxSheet& sheet, int row, int column) {
  return sheet.Cells(row, column).Value();
}

TEST_F(DefaultTemplateTest, EverySheetPrintsOnA4LandscapeFittedToThePageWidth) {
  std::vector<XlsxSheet*> sheets = book_->Worksheets();
  ASSERT_EQ(sheets.size(), 8u);
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    const std::string* xml = book_->Package().Find(sheets[i]->PartName());
    ASSERT_NE(xml, nullptr);
    for (const char* setting :
         {"<pageSetUpPr fitToPage=\"1\"/>", "paperSize=\"9\"", "orientation=\"landscape\"",
          "fitToWidth=\"1\"", "fitToHeight=\"0\""}) {
      EXPECT_NE(xml->find(setting), std::string::npos) << sheets[i]->Name() << " " << setting;
    }
    // The condition row and the heads are printed on every page.
    bool titles = false;
    for (const XlsxDefinedName& name : book_->Names()) {
      titles |= name.name == "_xlnm.Print_Titles" && name.local_sheet == static_cast<int>(i) &&
                name.formula == "'" + sheets[i]->Name() + "'!$1:$2";
    }
    EXPECT_TRUE(titles) << sheets[i]->Name();
  }
}

TEST_F(DefaultTemplateTest, TheHeadsSitRightAboveTheFirstBowler) {
  for (XlsxSheet* sheet : book_->Worksheets()) {
    EXPECT_FALSE(Shown(*sheet, 2, 1).empty()) << sheet->Name();
    EXPECT_TRUE(sheet->RowHidden(3)) << sheet->Name();
    EXPECT_FALSE(sheet->RowHidden(4)) << sheet->Name();
    EXPECT_EQ(Shown(*sheet, 4, 1), "1") << sheet->Name();
  }
}

TEST_F(DefaultTemplateTest, TheFontIsArialWithTheJapaneseCharacterSet) {
  const CellFormat& normal = book_->Styles().Format(0);
  EXPECT_EQ(normal.font_name, "Arial");
  const std::string* styles = book_->Package().Find("xl/styles.xml");
  ASSERT_NE(styles, nullptr);
  EXPECT_EQ(styles->find("Noto"), std::string::npos);
  std::size_t fonts = 0, japanese = 0;
  for (std::size_t at = styles->find("<font>"); at != std::string::npos;
       at = styles->find("<font>", at + 1)) {
    ++fonts;
    std::size_t end = styles->find("</font>", at);
    japanese += styles->substr(at, end - at).find("<charset val=\"128\"/>") != std::string::npos;
  }
  EXPECT_GT(fonts, 0u);
  EXPECT_EQ(japanese, fonts);
}

// A text that runs into a filled neighbour is cut off at the column's edge: the condition row
// and every bowler's texts and numbers fit their columns; the heads, wrapped, fit the height of
// their row.
TEST_F(DefaultTemplateTest, NoConditionHeadOrValueIsCutOff) {
  for (XlsxSheet* sheet : book_->Worksheets()) {
    std::optional<CellArea> used = sheet->UsedRange();
    ASSERT_TRUE(used) << sheet->Name();
    long checked = 0;
    for (int row : {1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}) {
      for (int column = 1; column <= used->last_column; ++column) {
        std::string text = Shown(*sheet, row, column);
        if (text.empty() || text.starts_with("<ZEPA_")) continue;
        if (Shown(*sheet, row, column + 1).empty() && row != 1) continue;
        ++checked;
        EXPECT_LE(TextPixels(text, row == 1), RoomPixels(sheet->ColumnWidth(column)))
            << sheet->Name() << " row " << row << " column " << column << ": " << text;
      }
    }
    EXPECT_GT(checked, 20) << sheet->Name();

    for (int column = 1; column <= used->last_column; ++column) {
      std::string head = Shown(*sheet, 2, column);
      if (head.empty()) continue;
      double lines = std::ceil(TextPixels(head, true) / RoomPixels(sheet->ColumnWidth(column)));
      EXPECT_LE(lines * 15, sheet->RowHeight(2))
          << sheet->Name() << " column " << column << ": " << head;
    }
  }
}

// The texts of the profile columns as the sample database writes them (the longest e-mail
// address, names, titles) are all there to be measured above.
TEST_F(DefaultTemplateTest, TheProfileSheetHoldsTheLongTexts) {
  XlsxSheet* profile = book_->FindWorksheet("Profile");
  ASSERT_NE(profile, nullptr);
  bool mail = false;
  for (int row = 4; row <= 15; ++row)
    mail |= Shown(*profile, row, 11).find('@') != std::string::npos;
  EXPECT_TRUE(mail);
  EXPECT_EQ(Shown(*profile, 2, 11), "メールアドレス");
}

}  // namespace
}  // namespace lanereport
