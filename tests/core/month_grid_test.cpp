#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "calendar/MonthGrid.h"

namespace lanereport {
namespace {

// The cell's day, or 0 for an empty cell.
int DayAt(const MonthGrid& grid, int index) {
  return grid.Cell(index).day;
}

void ExpectOnlyCellsOfMonthFilled(const MonthGrid& grid, int first, int days) {
  for (int index = 0; index < MonthGrid::kCells; ++index) {
    const int expected = (index >= first && index < first + days) ? index - first + 1 : 0;
    EXPECT_EQ(DayAt(grid, index), expected) << "cell " << index;
    if (expected == 0) {
      EXPECT_EQ(grid.Cell(index).holiday, "") << "cell " << index;
    }
  }
}

TEST(DaysInMonthTest, CountsLeapYearsByTheGregorianRule) {
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2026, 1), 31);
  EXPECT_EQ(DaysInMonth(2026, 4), 30);
  EXPECT_EQ(DaysInMonth(2026, 12), 31);
}

TEST(DaysInMonthTest, MonthOutsideTheYearHasNoDays) {
  EXPECT_EQ(DaysInMonth(2026, 0), 0);
  EXPECT_EQ(DaysInMonth(2026, 13), 0);
}

TEST(WeekdayOfTest, CountsFromMondayAsOne) {
  EXPECT_EQ(WeekdayOf(2026, 2, 1), 7);   // Sunday
  EXPECT_EQ(WeekdayOf(2025, 11, 1), 6);  // Saturday
  EXPECT_EQ(WeekdayOf(2019, 4, 1), 1);   // Monday
  EXPECT_EQ(WeekdayOf(2016, 8, 11), 4);  // Thursday
  EXPECT_EQ(WeekdayOf(1873, 1, 1), 3);   // Wednesday
  EXPECT_EQ(WeekdayOf(9999, 12, 1), 3);  // Wednesday
}

TEST(WeekdayOfTest, DateThatDoesNotExistHasNoWeekday) {
  EXPECT_EQ(WeekdayOf(2026, 2, 29), 0);
  EXPECT_EQ(WeekdayOf(2026, 13, 1), 0);
  EXPECT_EQ(WeekdayOf(2026, 1, 0), 0);
}

TEST(AddMonthsTest, CrossesTheYearEndBothWays) {
  EXPECT_EQ(AddMonths({2025, 12, 15}, 1), (CivilDate{2026, 1, 15}));
  EXPECT_EQ(AddMonths({2026, 1, 15}, -1), (CivilDate{2025, 12, 15}));
  EXPECT_EQ(AddMonths({2026, 1, 15}, -13), (CivilDate{2024, 12, 15}));
  EXPECT_EQ(AddMonths({2025, 11, 3}, 26), (CivilDate{2028, 1, 3}));
}

TEST(AddMonthsTest, DayPastTheEndOfAShorterMonthBecomesItsLastDay) {
  EXPECT_EQ(AddMonths({2024, 1, 31}, 1), (CivilDate{2024, 2, 29}));
  EXPECT_EQ(AddMonths({2023, 1, 31}, 1), (CivilDate{2023, 2, 28}));
  EXPECT_EQ(AddMonths({2025, 3, 31}, -1), (CivilDate{2025, 2, 28}));
  EXPECT_EQ(AddMonths({2025, 5, 31}, 1), (CivilDate{2025, 6, 30}));
  EXPECT_EQ(AddMonths({2024, 2, 29}, 12), (CivilDate{2025, 2, 28}));
}

TEST(AddMonthsTest, ZeroMonthsKeepsTheDate) {
  EXPECT_EQ(AddMonths({2026, 2, 28}, 0), (CivilDate{2026, 2, 28}));
}

TEST(AddMonthsTest, NothingOutsideTheCalendarYears) {
  EXPECT_EQ(AddMonths({1873, 1, 10}, -1), std::nullopt);
  EXPECT_EQ(AddMonths({1873, 2, 10}, -1), (CivilDate{1873, 1, 10}));
  EXPECT_EQ(AddMonths({9999, 12, 1}, 1), std::nullopt);
  EXPECT_EQ(AddMonths({9999, 11, 30}, 1), (CivilDate{9999, 12, 30}));
  EXPECT_EQ(AddMonths({2026, 1, 1}, -2026 * 12), std::nullopt);
}

TEST(AddMonthsTest, NothingForADateThatDoesNotExist) {
  EXPECT_EQ(AddMonths({2026, 2, 30}, 1), std::nullopt);
  EXPECT_EQ(AddMonths({2026, 0, 1}, 1), std::nullopt);
}

TEST(YmdTextTest, EightDigitsBothWays) {
  EXPECT_EQ(DateToYmd({2026, 2, 1}), "20260201");
  EXPECT_EQ(DateToYmd({1873, 12, 31}), "18731231");
  EXPECT_EQ(YmdToDate("20260201"), (CivilDate{2026, 2, 1}));
  EXPECT_EQ(YmdToDate("99991231"), (CivilDate{9999, 12, 31}));
}

TEST(YmdTextTest, RefusesTextThatIsNotARealDateOfTheCalendar) {
  EXPECT_EQ(YmdToDate("20260229"), std::nullopt);
  EXPECT_EQ(YmdToDate("20261301"), std::nullopt);
  EXPECT_EQ(YmdToDate("18721231"), std::nullopt);
  EXPECT_EQ(YmdToDate("2026/02/01"), std::nullopt);
  EXPECT_EQ(YmdToDate("2026021"), std::nullopt);
  EXPECT_EQ(YmdToDate("202602011"), std::nullopt);
  EXPECT_EQ(YmdToDate("2026O201"), std::nullopt);
  EXPECT_EQ(YmdToDate(""), std::nullopt);
}

TEST(ParseCalendarYearTest, TakesDigitsWithinTheCalendarYears) {
  EXPECT_EQ(ParseCalendarYear("2026"), 2026);
  EXPECT_EQ(ParseCalendarYear(" 2026 "), 2026);
  EXPECT_EQ(ParseCalendarYear("1873"), 1873);
  EXPECT_EQ(ParseCalendarYear("9999"), 9999);
}

TEST(ParseCalendarYearTest, RefusesAnythingElse) {
  EXPECT_EQ(ParseCalendarYear("1872"), std::nullopt);
  EXPECT_EQ(ParseCalendarYear("26"), std::nullopt);
  EXPECT_EQ(ParseCalendarYear("10000"), std::nullopt);
  EXPECT_EQ(ParseCalendarYear("02026"), std::nullopt);
  EXPECT_EQ(ParseCalendarYear("20a6"), std::nullopt);
  EXPECT_EQ(ParseCalendarYear("-2026"), std::nullopt);
  EXPECT_EQ(ParseCalendarYear("2026.0"), std::nullopt);
  EXPECT_EQ(ParseCalendarYear(""), std::nullopt);
  EXPECT_EQ(ParseCalendarYear("  "), std::nullopt);
}

TEST(ParseCalendarMonthTest, TakesOneToTwelve) {
  EXPECT_EQ(ParseCalendarMonth("1"), 1);
  EXPECT_EQ(ParseCalendarMonth("01"), 1);
  EXPECT_EQ(ParseCalendarMonth(" 9"), 9);
  EXPECT_EQ(ParseCalendarMonth("12"), 12);
}

TEST(ParseCalendarMonthTest, RefusesAnythingElse) {
  EXPECT_EQ(ParseCalendarMonth("0"), std::nullopt);
  EXPECT_EQ(ParseCalendarMonth("00"), std::nullopt);
  EXPECT_EQ(ParseCalendarMonth("13"), std::nullopt);
  EXPECT_EQ(ParseCalendarMonth("001"), std::nullopt);
  EXPECT_EQ(ParseCalendarMonth("1a"), std::nullopt);
  EXPECT_EQ(ParseCalendarMonth("-1"), std::nullopt);
  EXPECT_EQ(ParseCalendarMonth(""), std::nullopt);
}

TEST(MonthGridTest, MonthStartingOnSundayFillsTheFirstCell) {
  const MonthGrid grid(2026, 2);
  EXPECT_EQ(grid.Year(), 2026);
  EXPECT_EQ(grid.Month(), 2);
  EXPECT_EQ(grid.Days(), 28);
  EXPECT_EQ(grid.FirstCell(), 0);
  EXPECT_EQ(grid.CellOfDay(1), 0);
  EXPECT_EQ(grid.CellOfDay(28), 27);
  ExpectOnlyCellsOfMonthFilled(grid, 0, 28);
}

TEST(MonthGridTest, MonthStartingOnSaturdayFillsTheLastCellOfTheFirstWeek) {
  const MonthGrid grid(2025, 11);
  EXPECT_EQ(grid.FirstCell(), 6);
  EXPECT_EQ(grid.CellOfDay(1), 6);
  EXPECT_EQ(grid.CellOfDay(30), 35);
  ExpectOnlyCellsOfMonthFilled(grid, 6, 30);
}

TEST(MonthGridTest, LongMonthStartingOnSaturdayNeedsTheSixthWeek) {
  const MonthGrid grid(2026, 8);
  EXPECT_EQ(grid.FirstCell(), 6);
  EXPECT_EQ(grid.CellOfDay(31), 36);
  ExpectOnlyCellsOfMonthFilled(grid, 6, 31);
}

TEST(MonthGridTest, LeapFebruaryHasTwentyNineDays) {
  const MonthGrid grid(2024, 2);  // 2024-02-01 is a Thursday
  EXPECT_EQ(grid.FirstCell(), 4);
  EXPECT_EQ(grid.Days(), 29);
  ExpectOnlyCellsOfMonthFilled(grid, 4, 29);
}

TEST(MonthGridTest, ColumnsRunFromSundayToSaturday) {
  const MonthGrid grid(2025, 11);
  for (int index = 0; index < MonthGrid::kCells; ++index) {
    const int column = index % MonthGrid::kColumns;
    EXPECT_EQ(grid.Cell(index).weekday, column == 0 ? 7 : column) << "cell " << index;
  }
}

TEST(MonthGridTest, DayKindsFollowTheWeekday) {
  const MonthGrid grid(2026, 2);
  EXPECT_EQ(grid.Cell(grid.CellOfDay(1)).kind, DayKind::kSunday);
  EXPECT_EQ(grid.Cell(grid.CellOfDay(2)).kind, DayKind::kWeekday);
  EXPECT_EQ(grid.Cell(grid.CellOfDay(6)).kind, DayKind::kWeekday);
  EXPECT_EQ(grid.Cell(grid.CellOfDay(7)).kind, DayKind::kSaturday);
  EXPECT_EQ(grid.Cell(grid.CellOfDay(8)).kind, DayKind::kSunday);
  EXPECT_EQ(grid.Cell(grid.CellOfDay(2)).holiday, "");
}

TEST(MonthGridTest, HolidaysCarryTheirNameWhateverTheWeekday) {
  const MonthGrid february(2026, 2);
  const GridCell& national_foundation = february.Cell(february.CellOfDay(11));  // Wednesday
  EXPECT_EQ(national_foundation.kind, DayKind::kHoliday);
  EXPECT_EQ(national_foundation.holiday, "建国記念の日");
  const GridCell& birthday = february.Cell(february.CellOfDay(23));  // Monday
  EXPECT_EQ(birthday.kind, DayKind::kHoliday);
  EXPECT_EQ(birthday.holiday, "天皇誕生日");

  const MonthGrid november(2024, 11);
  const GridCell& labour = november.Cell(november.CellOfDay(23));  // Saturday
  EXPECT_EQ(labour.kind, DayKind::kHoliday);
  EXPECT_EQ(labour.holiday, "勤労感謝の日");
}

TEST(MonthGridTest, SundayHolidayAndItsSubstitute) {
  const MonthGrid grid(2025, 11);
  const GridCell& labour = grid.Cell(grid.CellOfDay(23));  // Sunday
  EXPECT_EQ(labour.weekday, 7);
  EXPECT_EQ(labour.kind, DayKind::kHoliday);
  EXPECT_EQ(labour.holiday, "勤労感謝の日");
  EXPECT_EQ(grid.Cell(grid.CellOfDay(24)).holiday, "振替休日");
  EXPECT_EQ(grid.Cell(grid.CellOfDay(3)).holiday, "文化の日");
  EXPECT_EQ(grid.Cell(grid.CellOfDay(4)).kind, DayKind::kWeekday);
}

TEST(MonthGridTest, GoldenWeekOfTheEnthronement) {
  const MonthGrid april(2019, 4);
  EXPECT_EQ(april.Cell(april.CellOfDay(29)).holiday, "昭和の日");
  EXPECT_EQ(april.Cell(april.CellOfDay(30)).holiday, "国民の休日");
  const MonthGrid may(2019, 5);
  EXPECT_EQ(may.FirstCell(), 3);
  EXPECT_EQ(may.Cell(3).holiday, "天皇の即位の日");
  EXPECT_EQ(may.Cell(may.CellOfDay(2)).holiday, "国民の休日");
  EXPECT_EQ(may.Cell(may.CellOfDay(3)).holiday, "憲法記念日");
  EXPECT_EQ(may.Cell(may.CellOfDay(4)).holiday, "みどりの日");
  EXPECT_EQ(may.Cell(may.CellOfDay(5)).holiday, "こどもの日");
  EXPECT_EQ(may.Cell(may.CellOfDay(6)).holiday, "振替休日");
  EXPECT_EQ(may.Cell(may.CellOfDay(7)).kind, DayKind::kWeekday);
}

TEST(MonthGridTest, MountainDayFromTwoThousandSixteen) {
  const MonthGrid grid(2016, 8);
  EXPECT_EQ(grid.Cell(grid.CellOfDay(11)).holiday, "山の日");
  const MonthGrid before(2015, 8);
  EXPECT_EQ(before.Cell(before.CellOfDay(11)).kind, DayKind::kWeekday);
}

TEST(MonthGridTest, FirstAndLastMonthsOfTheCalendar) {
  const MonthGrid first(1873, 1);
  EXPECT_EQ(first.FirstCell(), 3);
  ExpectOnlyCellsOfMonthFilled(first, 3, 31);
  const MonthGrid last(9999, 12);
  EXPECT_EQ(last.FirstCell(), 3);
  ExpectOnlyCellsOfMonthFilled(last, 3, 31);
}

TEST(MonthGridTest, RefusesAMonthOutsideTheCalendar) {
  EXPECT_THROW(MonthGrid(1872, 12), std::invalid_argument);
  EXPECT_THROW(MonthGrid(10000, 1), std::invalid_argument);
  EXPECT_THROW(MonthGrid(2026, 0), std::invalid_argument);
  EXPECT_THROW(MonthGrid(2026, 13), std::invalid_argument);
}

TEST(MonthGridTest, NoCellForADayOutsideTheMonth) {
  const MonthGrid grid(2026, 2);
  EXPECT_EQ(grid.CellOfDay(0), -1);
  EXPECT_EQ(grid.CellOfDay(29), -1);
  EXPECT_THROW(grid.Cell(-1), std::out_of_range);
  EXPECT_THROW(grid.Cell(MonthGrid::kCells), std::out_of_range);
}

}  // namespace
}  // namespace lanereport
