#include <gtest/gtest.h>

#include "ScoreDb.h"
#include "batch/OutputChoices.h"
#include "batch/SheetForm.h"
#include "database/Recordset.h"
#include "database/clsS_OUTPUT_List.h"
#include "sample/SampleDatabase.h"

namespace lanereport {
namespace {

using testing::ScoreDbFixture;

const std::string kBlank = "----------------------";

std::vector<std::string> NamesInNumberOrder(Database& db, const std::string& table) {
  std::vector<std::string> names;
  auto rs = db.OpenRecordset("Select Name From " + table + " Order By Number");
  for (; !rs->Eof(); rs->MoveNext()) names.push_back(rs->Field("Name").Text());
  return names;
}

TEST(OutputChoicesTest, EmptyMastersLeaveOnlyTheFixedEntries) {
  ScoreDbFixture fx;
  EXPECT_TRUE(BowlerChoices(fx.Db()).empty());
  EXPECT_EQ(AlleyChoices(fx.Db()),
            (std::vector<std::string>{kBlank, "ホームレーン", "ホームレーン以外", kBlank}));
  EXPECT_EQ(LevelChoices(fx.Db()),
            (std::vector<std::string>{kBlank, "成績算出レベル外含むすべて", kBlank}));
}

TEST(OutputChoicesTest, MastersFollowTheFixedEntriesInNumberOrder) {
  ScoreDbFixture fx;
  SampleOptions options;
  options.bowlers = 3;
  options.years = 1;
  options.end_year = 2025;
  FillSampleDatabase(fx.Db(), options);
  std::vector<std::string> alleys = NamesInNumberOrder(fx.Db(), "Alley_Data");
  std::vector<std::string> levels = NamesInNumberOrder(fx.Db(), "Level_Data");
  ASSERT_EQ(alleys.size(), 4u);
  ASSERT_EQ(levels.size(), 3u);
  std::vector<std::string> alley_choices = AlleyChoices(fx.Db());
  ASSERT_EQ(alley_choices.size(), 8u);
  EXPECT_EQ(std::vector<std::string>(alley_choices.begin() + 4, alley_choices.end()), alleys);
  std::vector<std::string> level_choices = LevelChoices(fx.Db());
  ASSERT_EQ(level_choices.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(level_choices.begin() + 3, level_choices.end()), levels);
  EXPECT_EQ(BowlerChoices(fx.Db()), NamesInNumberOrder(fx.Db(), "Bowler_Data"));
}

TEST(OutputChoicesTest, YearsAndMonthsRunUpToToday) {
  std::vector<std::string> years = YearChoices({2025, 3, 9});
  ASSERT_EQ(years.size(), 11u);
  EXPECT_EQ(years.front(), "2015");
  EXPECT_EQ(years.back(), "2025");
  // Ten months back crosses the year.
  std::vector<std::string> months = MonthChoices({2025, 3, 9});
  ASSERT_EQ(months.size(), 11u);
  EXPECT_EQ(months.front(), "2024/05");
  EXPECT_EQ(months[7], "2024/12");
  EXPECT_EQ(months[8], "2025/01");
  EXPECT_EQ(months.back(), "2025/03");
  EXPECT_EQ(MonthChoices({2025, 11, 1}).front(), "2025/01");
  EXPECT_EQ(SlashedDate({2008, 5, 4}), "2008/05/04");
}

TEST(OutputChoicesTest, PeriodIsOutOfOrderOnlyWhenStartSortsAfterEnd) {
  EXPECT_TRUE(PeriodInOrder("2025/01/01", "2025/12/31"));
  EXPECT_TRUE(PeriodInOrder("2025/05/05", "2025/05/05"));
  EXPECT_FALSE(PeriodInOrder("2025/05/06", "2025/05/05"));
  EXPECT_FALSE(PeriodInOrder("2026/01/01", "2025/12/31"));
  EXPECT_TRUE(IsDateText(" 2024/02/29 "));
  EXPECT_FALSE(IsDateText("2025/02/29"));
  EXPECT_FALSE(IsDateText("abc"));
  EXPECT_FALSE(IsDateText(""));
}

class SheetFormTest : public ::testing::Test {
 protected:
  // The definitions as the editor sees them after a refill.
  clsS_OUTPUT_List& Reloaded() {
    list_ = std::make_unique<clsS_OUTPUT_List>(fx_.Db());
    try {
      list_->Load("");
    } catch (const AppError&) {
    }
    return *list_;
  }
  SheetForm Blank(const std::string& name) {
    SheetForm form = SheetToForm(Reloaded(), name, kToday);
    form.name = name;
    return form;
  }
  static constexpr CivilDate kToday{2025, 6, 15};
  ScoreDbFixture fx_;
  std::unique_ptr<clsS_OUTPUT_List> list_;
};

TEST_F(SheetFormTest, UnknownNameShowsTheOpenDefaults) {
  bool found = true;
  SheetForm form = SheetToForm(Reloaded(), "none", kToday, &found);
  EXPECT_FALSE(found);
  EXPECT_EQ(form.id, "");
  EXPECT_EQ(form.name, "");
  EXPECT_EQ(form.alley, kBlank);
  EXPECT_EQ(form.level, kBlank);
  EXPECT_EQ(form.start_date, "2025/01/01");
  EXPECT_EQ(form.end_date, "2025/12/31");
  EXPECT_TRUE(form.start_open);
  EXPECT_TRUE(form.end_open);
}

TEST_F(SheetFormTest, UntouchedDatesStayOpenInLaterYears) {
  SheetForm form = Blank("A");
  form.past_count = "0";
  form.switches[0] = true;
  form.switches[37] = true;
  ASSERT_FALSE(FormToSheet(fx_.Db(), Reloaded(), form, kToday));
  auto rs = fx_.Db().OpenRecordset("Select * From S_OUTPUT");
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->Field("Start_Date").Text(), "");
  EXPECT_EQ(rs->Field("End_Date").Text(), "");
  SheetForm later = SheetToForm(Reloaded(), "A", {2027, 2, 1});
  EXPECT_EQ(later.start_date, "2027/01/01");
  EXPECT_EQ(later.end_date, "2027/12/31");
  EXPECT_TRUE(later.start_open && later.end_open);
  EXPECT_FALSE(later.by_count);
  EXPECT_TRUE(later.switches[0]);
  EXPECT_FALSE(later.switches[1]);
  EXPECT_TRUE(later.switches[37]);
}

TEST_F(SheetFormTest, PickedDatesAreKeptButTodayFloats) {
  SheetForm form = Blank("A");
  form.start_open = false;
  form.start_date = "2024/04/01";
  form.end_open = false;
  form.end_date = "2025/06/15";  // today
  form.alley = "ホームレーン";
  form.level = "成績算出レベル外含むすべて";
  form.past_count = "30";
  ASSERT_FALSE(FormToSheet(fx_.Db(), Reloaded(), form, kToday));
  SheetForm back = SheetToForm(Reloaded(), "A", kToday);
  EXPECT_EQ(back.start_date, "2024/04/01");
  EXPECT_FALSE(back.start_open);
  EXPECT_EQ(back.end_date, "2025/12/31");
  EXPECT_TRUE(back.end_open);
  EXPECT_TRUE(back.by_count);
  EXPECT_EQ(back.past_count, "30");
  EXPECT_EQ(back.alley, "ホームレーン");
  EXPECT_EQ(back.level, "成績算出レベル外含むすべて");
  EXPECT_FALSE(Reloaded().Item("A").Condition());
}

TEST_F(SheetFormTest, AddingAnExistingNameChangesItAndRenamingAddsAnother) {
  SheetForm form = Blank("A");
  ASSERT_FALSE(FormToSheet(fx_.Db(), Reloaded(), form, kToday));
  SheetForm a = SheetToForm(Reloaded(), "A", kToday);
  a.switches[5] = true;
  ASSERT_FALSE(FormToSheet(fx_.Db(), Reloaded(), a, kToday));
  EXPECT_EQ(Reloaded().Count(), 1u);
  EXPECT_TRUE(Reloaded().Item("A").SwitchValue(5));

  SheetForm renamed = SheetToForm(Reloaded(), "A", kToday);
  renamed.name = "B";
  ASSERT_FALSE(FormToSheet(fx_.Db(), Reloaded(), renamed, kToday));
  clsS_OUTPUT_List& both = Reloaded();
  ASSERT_EQ(both.Count(), 2u);
  EXPECT_NE(both.Item("A").Id(), both.Item("B").Id());
  EXPECT_TRUE(both.Item("B").SwitchValue(5));
}

TEST_F(SheetFormTest, AnEmptyNameIsRefusedWithTheRecordsMessage) {
  SheetForm form = Blank("  ");
  std::optional<AppError> refused = FormToSheet(fx_.Db(), Reloaded(), form, kToday);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->Number(), kErrInvalidValue);
  EXPECT_EQ(refused->Description(), "必須項目エラー（SheetName）");
  EXPECT_EQ(Reloaded().Count(), 0u);
}

}  // namespace
}  // namespace lanereport
