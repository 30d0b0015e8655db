#include <gtest/gtest.h>

#include "ScoreDb.h"
#include "database/Recordset.h"
#include "database/WindowSettings.h"
#include "database/clsS_OUTPUT_List.h"
#include "database/clsS_SYSTEM.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

using testing::ScoreDbFixture;

TEST(WindowSettingsTest, NewDatabaseOpensEmptyButForTheTemplate) {
  ScoreDbFixture fx;
  WindowSettings s = LoadWindowSettings(fx.Db(), TemplateDefaultStore::kYes);
  EXPECT_EQ(s.CharacterColor, "");
  EXPECT_EQ(s.OutFolder, "");
  EXPECT_EQ(s.OutSheet, fx.Dir().Path() + "/BowlerData.xlsx");
  // All eleven keys are stored at once.
  auto rs = fx.Db().OpenRecordset("Select * From S_System");
  rs->MoveLast();
  EXPECT_EQ(rs->RecordCount(), 11);
}

TEST(WindowSettingsTest, ReadingAloneGivesTheDefaultTemplateWithoutStoringIt) {
  ScoreDbFixture fx;
  WindowSettings s = LoadWindowSettings(fx.Db());
  EXPECT_EQ(s.OutSheet, fx.Dir().Path() + "/BowlerData.xlsx");
  auto rs = fx.Db().OpenRecordset("Select * From S_System");
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(LoadWindowSettings(fx.Db(), TemplateDefaultStore::kNo).OutSheet, s.OutSheet);
  EXPECT_TRUE(fx.Db().OpenRecordset("Select * From S_System")->Eof());
}

TEST(WindowSettingsTest, SavingTrimsAndRoundTrips) {
  ScoreDbFixture fx;
  WindowSettings s;
  s.CharacterColor = " #000080 ";
  s.Background = "   ";
  s.Strike = "jpg/strike.jpg";
  s.OutSheet = "/tmp/t.xlsx";
  SaveWindowSettings(fx.Db(), s);
  WindowSettings back = LoadWindowSettings(fx.Db());
  EXPECT_EQ(back.CharacterColor, "#000080");
  EXPECT_EQ(back.Background, "");
  EXPECT_EQ(back.Strike, "jpg/strike.jpg");
  EXPECT_EQ(back.OutSheet, "/tmp/t.xlsx");
  clsS_SYSTEM one(fx.Db());
  one.SsId("Strike");
  one.Load();
  EXPECT_EQ(one.SsContents(), "jpg/strike.jpg");
}

TEST(WindowSettingsTest, LookSettingsMustBeWhatTheirPlaceInAPageHolds) {
  // Colours: the text colour and a background without ".".
  EXPECT_EQ(LookSettingProblem("CharacterColor", " #1c2a44 "), "");
  EXPECT_NE(LookSettingProblem("CharacterColor", "#GGGGGG"), "");
  EXPECT_NE(LookSettingProblem("charactercolor", "red"), "");
  EXPECT_NE(LookSettingProblem("Background", "#FFF"), "");
  EXPECT_EQ(LookSettingProblem("Background", "#ffffff"), "");
  // Images and the style sheet: a path or a web address, nothing that ends the attribute.
  EXPECT_EQ(LookSettingProblem("Background", "jpg/BG.jpg"), "");
  EXPECT_EQ(LookSettingProblem("StyleSheet", "https://example.jp/site.css"), "");
  EXPECT_NE(LookSettingProblem("StyleSheet", "x.css\"><script>"), "");
  EXPECT_NE(LookSettingProblem("Strike", "javascript:alert(1).jpg"), "");
  EXPECT_NE(LookSettingProblem("Frame1", "jpg/wa'ku.jpg"), "");
  // Empty is no setting; the settings no page holds take anything.
  EXPECT_EQ(LookSettingProblem("Space", "  "), "");
  EXPECT_EQ(LookSettingProblem("OutFolder", "/srv/\"site\""), "");
  // The message names the field as the window does and shows the value's controls.
  EXPECT_EQ(LookSettingProblem("CharacterColor", "#12\x1b"),
            "文字色には色を「#」と16進数6桁で指定してください（例 #FFFFFF）：#12\\x1B");
}

TEST(WindowSettingsTest, RefusedLookSettingStoresNothing) {
  ScoreDbFixture fx;
  WindowSettings s;
  s.CharacterColor = "#000080";
  SaveWindowSettings(fx.Db(), s);
  s.StyleSheet = "site.css";
  s.Spare = "\"><img src=x onerror=alert(1)>";
  try {
    SaveWindowSettings(fx.Db(), s);
    FAIL() << "saved";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrInvalidValue);
    EXPECT_TRUE(e.Description().starts_with("Spare画像には")) << e.Description();
  }
  EXPECT_EQ(LoadWindowSettings(fx.Db()).StyleSheet, "");
}

TEST(WindowSettingsTest, PagesTakeTheDefaultOfAStoredValueTheyCannotHold) {
  WindowSettings stored;
  stored.CharacterColor = "#GGGGGG";
  stored.Background = "#336699";
  stored.StyleSheet = "a\"b.css";
  stored.Strike = "jpg/x.jpg";
  stored.LinkPath = "<anything>";
  std::vector<std::string> replaced;
  WindowSettings look = PageLook(stored, replaced);
  EXPECT_EQ(look.CharacterColor, "#FFFFFF");
  EXPECT_EQ(look.Background, "#336699");
  EXPECT_EQ(look.StyleSheet, "");
  EXPECT_EQ(look.Strike, "jpg/x.jpg");
  EXPECT_EQ(look.LinkPath, "<anything>");
  ASSERT_EQ(replaced.size(), 2u);
  EXPECT_TRUE(replaced[0].starts_with(
      "設定「CharacterColor」の値はページに書けないため、既定値「#FFFFFF」"))
      << replaced[0];
  EXPECT_TRUE(replaced[1].starts_with("設定「StyleSheet」")) << replaced[1];
}

TEST(SystemRecordTest, SeveralRowsOfOneKeyAreRefused) {
  ScoreDbFixture fx;
  fx.Db().Execute("Insert Into S_SYSTEM (SS_ID, SS_Contents) Values ('LinkPath', 'a')");
  fx.Db().Execute("Insert Into S_SYSTEM (SS_ID, SS_Contents) Values ('LinkPath', 'b')");
  clsS_SYSTEM s(fx.Db());
  s.SsId("LinkPath");
  try {
    s.Update();
    FAIL();
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrNoData);
    EXPECT_EQ(e.Source(), "[clsS_System]Update");
    EXPECT_EQ(e.Description(), "該当するﾃﾞｰﾀが複数存在します");
  }
}

TEST(SheetDefinitionTest, AddLoadAndDates) {
  ScoreDbFixture fx;
  clsS_OUTPUT_Data d(fx.Db());
  d.Sheetname("AVG");
  d.StartDate("2008/05/04");
  d.EndDate("");
  d.Pastcount(30);
  d.Totalavg(true);
  d.SwitchValue(37, true);
  d.Add();
  EXPECT_EQ(d.Id(), 1);
  clsS_OUTPUT_Data back(fx.Db());
  back.Sheetname("AVG");
  back.Load();
  EXPECT_EQ(back.StartDate(), "20080504");
  EXPECT_EQ(back.EndDate(), "");
  EXPECT_EQ(back.Pastcount(), 30);
  EXPECT_TRUE(back.Totalavg());
  EXPECT_TRUE(back.MonthAvg());
  EXPECT_FALSE(back.Sex());
  const auto& names = clsS_OUTPUT_Data::SwitchNames();
  EXPECT_EQ(names[2], "Ranka");
  EXPECT_EQ(names[13], "Totalscore");
  EXPECT_EQ(names[20], "Allstrikerate");
  EXPECT_EQ(names[37], "MonthAvg");
  try {
    back.StartDate("2008/13/01");
    FAIL();
  } catch (const AppError& e) {
    EXPECT_EQ(e.Description(), "日付が正しくありません");
    EXPECT_EQ(e.Source(), "S_OUTPUT");
  }
  EXPECT_EQ(back.StartDate(), "20080504");
}

TEST(SheetDefinitionTest, NamesMustBeGivenAndUnique) {
  ScoreDbFixture fx;
  clsS_OUTPUT_Data empty(fx.Db());
  try {
    empty.Add();
    FAIL();
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrInvalidValue);
    EXPECT_EQ(e.Description(), "必須項目エラー（SheetName）");
  }
  for (const char* name : {"AVG", "Rate"}) {
    clsS_OUTPUT_Data d(fx.Db());
    d.Sheetname(name);
    d.Add();
  }
  clsS_OUTPUT_Data dup(fx.Db());
  dup.Sheetname("avg");
  try {
    dup.Add();
    FAIL();
  } catch (const AppError& e) {
    EXPECT_EQ(e.Description(), "同じNameのﾃﾞｰﾀが存在します、追加出来ません");
    EXPECT_EQ(e.Source(), "S_OUTPUT");
  }
  clsS_OUTPUT_Data rate(fx.Db());
  rate.Sheetname("Rate");
  rate.Load();
  rate.Sheetname("AVG");
  try {
    rate.Update();
    FAIL();
  } catch (const AppError& e) {
    EXPECT_EQ(e.Description(), "同じ名前のﾃﾞｰﾀが存在します、更新出来ません");
  }
  rate.Sheetname("Rates");
  rate.Update();
  rate.Delete();
  clsS_OUTPUT_List list(fx.Db());
  list.Load("");
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Item("AVG").Id(), 1);
}

TEST(SheetListTest, EmptyTableAndUnkeyedItems) {
  ScoreDbFixture fx;
  clsS_OUTPUT_List list(fx.Db());
  try {
    list.Load("");
    FAIL();
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrNoData);
    EXPECT_EQ(e.Source(), "S_OUTPUT");
    EXPECT_EQ(e.Description(), "該当するﾃﾞｰﾀは存在しません");
  }
  auto d = std::make_unique<clsS_OUTPUT_Data>(fx.Db());
  d->Sheetname("X");
  list.Additem(std::move(d), "");
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Item(0).Sheetname(), "X");
  EXPECT_EQ(list.Find("X"), nullptr);
}

}  // namespace
}  // namespace lanereport
